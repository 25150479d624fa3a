#include "MainForm.h"

#include "Cp932.h"
#include "DirectoryListBox.h"
#include "Edit.h"
#include "Messages.h"
#include "UiServices.h"

#include <QFile>
#include <QFileDialog>

namespace korvane {

void TForm1::InputData1Click() {
    OpenFileDialog->setDirectory(DirectoryListBox1->Directory());
    const QStringList chosen = services_.RunOpenDialog(*OpenFileDialog);
    if (chosen.size() != 1) {
        services_.ShowMessage(msg::SelectOneDataFile);
        return;
    }
    DataFileName = chosen.first();
    if (!ReadDataLines(QFile::encodeName(DataFileName).toStdString(), DataLines)) {
        services_.ShowMessage(msg::DataFileCanNotOpen);
        return;
    }
    ApplyInputData();
}

void TForm1::ApplyInputData() {
    const auto values = ExtractDataValues(DataLines);
    if (!values) {
        services_.ShowMessage(DataFormatMessage(DataFileName.toStdString()));
        return;
    }
    for (int line = 1; line <= DataLineCount; ++line) {
        TEdit* box = Edit[static_cast<std::size_t>(DataLineBox[static_cast<std::size_t>(line)])];
        if (!OwnEnabled(box))
            continue;
        // The box keeps maxLength() characters, made of at most twice as many
        // bytes; decoding all of a long value would freeze the window for seconds.
        const std::string& value = (*values)[static_cast<std::size_t>(line)];
        box->SetTextIfChanged(
            DecodeCp932(value.substr(0, 2 * static_cast<std::size_t>(box->maxLength()))));
    }
}

} // namespace korvane
