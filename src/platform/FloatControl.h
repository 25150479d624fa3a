#pragma once

#include <cstdint>

namespace korvane::platform {

// The x87 control word: precision in bits 8-9, rounding in bits 10-11.
inline constexpr std::uint16_t PrecisionMask = 0x0300;
inline constexpr std::uint16_t Precision64 = 0x0300;
inline constexpr std::uint16_t Precision53 = 0x0200;
inline constexpr std::uint16_t RoundingMask = 0x0C00;
inline constexpr std::uint16_t RoundNearest = 0x0000;

// Long double intermediates round to a 64-bit significand, to nearest, only
// when the unit is set so: Windows starts threads at 53 bits, and a DLL may
// change the word. The exception masks are left as they are.
void SetExtendedPrecision();

std::uint16_t FloatControlWord();
void SetFloatControlWord(std::uint16_t word);

} // namespace korvane::platform
