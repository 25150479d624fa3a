// Writes the example's logger profile: the exact solution at the inputs of a
// data file, as a logger riding through the line would record it.
//   make_logger_example DATAFILE OUTFILE [SEED [INTERVAL]]
#include "FloatControl.h"
#include "LoggerExample.h"
#include "RunExport.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    korvane::platform::SetExtendedPrecision();
    if (argc < 3 || argc > 5) {
        std::cerr << "usage: make_logger_example DATAFILE OUTFILE [SEED [INTERVAL]]\n";
        return 64;
    }
    try {
        const auto input = korvane::testing::InputOfDataFile(argv[1]);
        korvane::testing::SyntheticLogger logger;
        if (argc >= 4)
            logger.Seed = static_cast<unsigned>(std::stoul(argv[3]));
        if (argc == 5)
            logger.Interval = std::stod(argv[4]);
        const auto text =
            korvane::testing::ExampleLoggerText(korvane::testing::MakeProfile(input, logger));
        std::string error;
        if (!korvane::WriteWholeFile(argv[2], text, error)) {
            std::cerr << argv[2] << ": " << error << '\n';
            return 2;
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
