#include "MainForm.h"

#include "Calculate.h"
#include "Edit.h"
#include "FileListBox.h"
#include "ResultFile.h"
#include "RunInput.h"
#include "UiServices.h"

#include <QFile>

namespace korvane {

namespace {

// Passes the run's messages on and remembers whether there was one.
class CountingSink : public MessageSink {
  public:
    explicit CountingSink(MessageSink& shown) : shown_(shown) {}
    void ShowMessage(const std::string& text) override {
        ++count_;
        shown_.ShowMessage(text);
    }
    int Count() const { return count_; }

  private:
    MessageSink& shown_;
    int count_ = 0;
};

} // namespace

void TForm1::StartClick() {
    EditTexts boxes;
    for (std::size_t i = 1; i < boxes.size(); ++i)
        boxes[i] = Edit[i]->text().toStdString();
    // The save name reaches the file system as its own bytes.
    boxes[12] = QFile::encodeName(Edit[12]->text()).toStdString();
    if (const auto failure = ReadRunInput(boxes, CalcInput)) {
        services_.ShowMessage(*failure);
        return;
    }

    // Floating-point faults and write errors end the command here, in the
    // guard's error box: no completion dialog and no re-reading.
    CountingSink messages(services_);
    WriteInputConditions(messages);
    Calculate(messages);
    // A run that reported a failure is not announced as a success.
    if (messages.Count() == 0)
        services_.ShowFinishForm();
    FileListBox1->Update();
    FileListBox2->Update();
}

} // namespace korvane
