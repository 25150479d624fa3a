#include "BatchRun.h"

#include "Calculate.h"
#include "DataFile.h"
#include "Messages.h"
#include "NumberFormat.h"
#include "ResultFile.h"
#include "RunInput.h"

#include <stdexcept>

namespace korvane {

namespace {

class StreamSink : public MessageSink {
  public:
    explicit StreamSink(std::ostream& out) : out_(out) {}
    void ShowMessage(const std::string& text) override {
        out_ << text << '\n' << std::flush;
        ++count_;
    }
    int count() const { return count_; }

  private:
    std::ostream& out_;
    int count_ = 0;
};

} // namespace

int RunBatch(const std::string& dataFile, const std::string& resultFile, std::ostream& err) {
    StreamSink sink(err);
    DataLineArray lines;
    if (!ReadDataLines(dataFile, lines)) {
        sink.ShowMessage(msg::DataFileCanNotOpen);
        return BatchRefused;
    }
    const auto values = ExtractDataValues(lines);
    if (!values) {
        sink.ShowMessage(DataFormatMessage(dataFile));
        return BatchRefused;
    }

    EditTexts boxes;
    for (int line = 1; line <= DataLineCount; ++line)
        boxes[static_cast<std::size_t>(DataLineBox[line])] =
            (*values)[static_cast<std::size_t>(line)];
    boxes[12] = resultFile;
    boxes[30] = resultFile;

    // Zones that do not count keep an all-zero record, as on a window's first run.
    CalcInput = TCalcInput{};
    if (const auto failure = ReadRunInput(boxes, CalcInput)) {
        sink.ShowMessage(*failure);
        return BatchRefused;
    }

    try {
        WriteInputConditions(sink);
        Calculate(sink);
    } catch (const std::exception& error) {
        sink.ShowMessage(error.what());
        return BatchFailed;
    }
    return sink.count() == 0 ? BatchOk : BatchFailed;
}

} // namespace korvane
