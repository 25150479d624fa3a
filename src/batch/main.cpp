#include "BatchFit.h"
#include "BatchOptimise.h"
#include "BatchRun.h"
#include "BatchWhatIf.h"
#include "DecimalSymbol.h"
#include "FloatControl.h"
#include "NumberFormat.h"
#include "Terminal.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

// Text on standard output, which may be a full disk too.
int Print(const char* text, const char* what) {
    std::string error;
    if (korvane::WriteAll(std::cout, text, error))
        return korvane::BatchOk;
    std::cerr << "Can not write " << what << " to standard output (" << error << ")\n";
    return korvane::BatchFailed;
}

} // namespace

int main(int argc, char** argv) {
    korvane::platform::SetExtendedPrecision();
    using korvane::BatchCommand;
    const auto command =
        korvane::ParseBatchArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.Do) {
    case BatchCommand::Action::Usage:
        std::cerr << command.Problem << '\n' << korvane::BatchUsageText;
        return korvane::BatchUsage;
    case BatchCommand::Action::Help:
        return Print(korvane::BatchUsageText, "the usage");
    case BatchCommand::Action::Version:
        return Print("korvane-batch " KORVANE_VERSION "\n", "the version");
    case BatchCommand::Action::Run:
    case BatchCommand::Action::Sweep:
    case BatchCommand::Action::Seek:
    case BatchCommand::Action::Fit:
    case BatchCommand::Action::Optimise:
        break;
    }
    // The window's rule: both read and write the same numbers.
    korvane::SetDecimalSeparator(korvane::UserDecimalSymbol());
    if (command.Do == BatchCommand::Action::Sweep)
        return korvane::RunBatchSweep(command, std::cout, std::cerr,
                                      korvane::platform::StandardErrorIsTerminal());
    if (command.Do == BatchCommand::Action::Seek)
        return korvane::RunBatchSeek(command, std::cout, std::cerr);
    if (command.Do == BatchCommand::Action::Fit)
        return korvane::RunBatchFit(command, std::cout, std::cerr,
                                    korvane::platform::StandardErrorIsTerminal());
    if (command.Do == BatchCommand::Action::Optimise)
        return korvane::RunBatchOptimise(command, std::cout, std::cerr,
                                         korvane::platform::StandardErrorIsTerminal());
    if (!command.Measured.empty())
        return korvane::RunBatchMeasured(command, std::cout, std::cerr);
    return korvane::RunBatch(command.DataFile, command.ResultFile, std::cerr, command.Outputs,
                             &std::cout);
}
