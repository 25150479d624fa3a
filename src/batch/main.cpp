#include "BatchRun.h"
#include "FloatControl.h"
#include "NumberFormat.h"

#include <iostream>

int main(int argc, char** argv) {
    korvane::platform::SetExtendedPrecision();
    if (argc != 3) {
        std::cerr << "usage: korvane-batch DATAFILE RESULTFILE\n";
        return korvane::BatchUsage;
    }
    korvane::SetDecimalSeparator(korvane::LocaleDecimalSeparator());
    return korvane::RunBatch(argv[1], argv[2], std::cerr);
}
