#pragma once

namespace korvane {

// Exit codes of korvane-batch, which the viewer reads back from its processes.
enum BatchExit {
    BatchOk = 0,
    BatchRefused = 1,    // the data file, an input, or every trial of a sweep or seek was refused
    BatchFailed = 2,     // a file or standard output could not be written, or the run faulted
    BatchNoSolution = 3, // a seek found no value: not bracketed, or neither tolerance met
    BatchOutside = 4,    // --fail-outside: the run is outside its process window
    BatchUsage = 64
};

} // namespace korvane
