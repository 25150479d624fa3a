#pragma once

#include "LongDouble.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace korvane {

// A floating-point fault of the computation. The original ran with the x87
// exceptions for invalid operation, division by zero and overflow unmasked;
// these are raised where that unit would have trapped.
class FloatError : public std::runtime_error {
  public:
    enum class Kind { DivideByZero, InvalidOperation, Overflow };

    explicit FloatError(Kind kind);
    Kind kind() const noexcept { return kind_; }

  private:
    Kind kind_;
};

[[noreturn]] void RaiseFloatError(FloatError::Kind kind);

// Rounds an extended-precision result to the double it is stored in; a result
// beyond the range of a double overflows, as the x87 store did.
inline double StoreDouble(long double value) {
    const double stored = static_cast<double>(value);
    if (std::isinf(stored)) [[unlikely]]
        RaiseFloatError(FloatError::Kind::Overflow);
    return stored;
}

// The quotient a / b as the x87 division raises it: a zero divisor gives
// division by zero, or an invalid operation for 0 / 0.
inline long double CheckedDivide(long double a, long double b) {
    if (b == 0.0L) [[unlikely]]
        RaiseFloatError(a == 0.0L ? FloatError::Kind::InvalidOperation
                                  : FloatError::Kind::DivideByZero);
    return a / b;
}

// 1 for an infinity or a NaN, else 0: ORed over a whole system without a
// branch, since a value that is not finite is rare.
inline std::uint64_t NotFinite(double v) {
    constexpr std::uint64_t Exponent = 0x7ff0000000000000;
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return static_cast<std::uint64_t>((bits & Exponent) == Exponent);
}

} // namespace korvane
