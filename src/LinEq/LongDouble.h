#pragma once

#include <limits>

// Every stored number depends on expressions evaluated with the x87 unit's
// 64-bit significand; any other long double builds a program that disagrees
// with every result file written so far.
static_assert(std::numeric_limits<long double>::digits == 64,
              "Korvane needs long double to be the x87 80-bit extended format (64-bit "
              "significand): build for x86 or x86-64 with GCC or Clang, without -mlong-double-64 "
              "or -mlong-double-128");
