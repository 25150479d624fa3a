#include "FloatControl.h"

namespace korvane::platform {

// The same two instructions on every x86 system this builds for.
std::uint16_t FloatControlWord() {
    std::uint16_t word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

void SetFloatControlWord(std::uint16_t word) {
    __asm__ volatile("fldcw %0" : : "m"(word));
}

void SetExtendedPrecision() {
    const std::uint16_t word = FloatControlWord();
    SetFloatControlWord(static_cast<std::uint16_t>((word & ~(PrecisionMask | RoundingMask)) |
                                                   Precision64 | RoundNearest));
}

} // namespace korvane::platform
