#include "FloatError.h"

namespace korvane {

namespace {
const char* MessageOf(FloatError::Kind kind) {
    switch (kind) {
    case FloatError::Kind::DivideByZero:
        return "Floating point division by zero";
    case FloatError::Kind::InvalidOperation:
        return "Invalid floating point operation";
    case FloatError::Kind::Overflow:
        return "Floating point overflow";
    }
    return "Invalid floating point operation";
}
} // namespace

FloatError::FloatError(Kind kind) : std::runtime_error(MessageOf(kind)), kind_(kind) {}

void RaiseFloatError(FloatError::Kind kind) {
    throw FloatError(kind);
}

} // namespace korvane
