#include "NumericLocale.h"

#include <cstdlib>

namespace korvane::platform {

namespace {
std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
} // namespace

NumericLocale ReadNumericLocale() {
    return {std::nullopt, Variable("LC_ALL"), Variable("LC_NUMERIC"), Variable("LANG")};
}

} // namespace korvane::platform
