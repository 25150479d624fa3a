#include "BatchRun.h"
#include "DecimalSymbol.h"
#include "FloatControl.h"
#include "NumberFormat.h"

#include <iostream>

int main(int argc, char** argv) {
    korvane::platform::SetExtendedPrecision();
    if (argc != 3) {
        std::cerr << "usage: korvane-batch DATAFILE RESULTFILE\n";
        return korvane::BatchUsage;
    }
    // The window's rule: both read and write the same numbers.
    korvane::SetDecimalSeparator(korvane::UserDecimalSymbol());
    return korvane::RunBatch(argv[1], argv[2], std::cerr);
}
