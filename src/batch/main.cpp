#include "BatchRun.h"
#include "BatchWhatIf.h"
#include "DecimalSymbol.h"
#include "FloatControl.h"
#include "NumberFormat.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    korvane::platform::SetExtendedPrecision();
    using korvane::BatchCommand;
    const auto command =
        korvane::ParseBatchArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.Do) {
    case BatchCommand::Action::Usage:
        std::cerr << korvane::BatchUsageText;
        return korvane::BatchUsage;
    case BatchCommand::Action::Help:
        std::cout << korvane::BatchUsageText;
        return korvane::BatchOk;
    case BatchCommand::Action::Version:
        std::cout << "korvane-batch " KORVANE_VERSION "\n";
        return korvane::BatchOk;
    case BatchCommand::Action::Run:
    case BatchCommand::Action::Sweep:
    case BatchCommand::Action::Seek:
        break;
    }
    // The window's rule: both read and write the same numbers.
    korvane::SetDecimalSeparator(korvane::UserDecimalSymbol());
    if (command.Do == BatchCommand::Action::Sweep)
        return korvane::RunBatchSweep(command, std::cout, std::cerr);
    if (command.Do == BatchCommand::Action::Seek)
        return korvane::RunBatchSeek(command, std::cout, std::cerr);
    return korvane::RunBatch(command.DataFile, command.ResultFile, std::cerr, command.Outputs);
}
