#include "MainForm.h"

#include "AppLook.h"
#include "BitBtn.h"
#include "DirectoryListBox.h"
#include "DriveComboBox.h"
#include "Edit.h"
#include "FileListBox.h"
#include "GroupBox.h"
#include "RegionalSettings.h"
#include "ScreenCentre.h"
#include "TabbedNotebook.h"
#include "UiServices.h"

#include <QEvent>
#include <QKeyEvent>

#include <stdexcept>

namespace korvane {

TForm1::TForm1(UiServices& services) : services_(services) {
    setObjectName("Form1");
    setWindowTitle("Korvane ");
    setWindowIcon(ProgramIcon());
    setFixedSize(689, 477);
    setFont(UiFont(12));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    TabbedNotebook1 = new TTabbedNotebook(this);
    TabbedNotebook1->setObjectName("TabbedNotebook1");
    TabbedNotebook1->setGeometry(0, 0, 689, 477);
    BuildFirstPage(TabbedNotebook1->AddPage("Main Condition"));
    BuildSecondPage(TabbedNotebook1->AddPage("Zone Condition"));
    TabbedNotebook1->SetPageIndex(0);
    BuildOpenDialog();
    WireEvents();
    CentreOnScreenWhenShown(this);
    Edit[4]->setFocus();
    Handle([this] { FormCreate(); });
}

template <class Handler> void TForm1::Handle(Handler handler) {
    Guard(services_, handler);
}

void TForm1::WireEvents() {
    for (TBitBtn* go : {Start, BitBtn1})
        connect(go, &QPushButton::clicked, this, [this] { Handle([this] { StartClick(); }); });
    for (TBitBtn* read : {InputData1, InputData2})
        connect(read, &QPushButton::clicked, this,
                [this] { Handle([this] { InputData1Click(); }); });
    GroupBox1->OnClick = [this] { Handle([this] { InputData1Click(); }); };
    connect(Edit[12], &QLineEdit::textChanged, this,
            [this] { Handle([this] { Edit12Change(); }); });
    connect(Edit[30], &QLineEdit::textChanged, this,
            [this] { Handle([this] { Edit30Change(); }); });
    for (TFileListBox* list : {FileListBox1, FileListBox2})
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this, list] { Handle([this, list] { FileListBoxDblClick(list); }); });
    // These run inside the picker's own guarded event.
    DriveComboBox1->OnChange = DirectoryListBox1->OnChange = [this] { DriveComboBox1Change(); };
    DriveComboBox2->OnChange = DirectoryListBox2->OnChange = [this] { DriveComboBox2Change(); };
}

void TForm1::FormCreate() {
    Edit[30]->SetTextIfChanged(Edit[12]->text());
}

void TForm1::Edit12Change() {
    Edit[30]->SetTextIfChanged(Edit[12]->text());
}

void TForm1::Edit30Change() {
    Edit[12]->SetTextIfChanged(Edit[30]->text());
}

void TForm1::DriveComboBox1Change() {
    DriveComboBox2->SetDrive(DriveComboBox1->Drive());
    DirectoryListBox2->SetDirectory(DirectoryListBox1->Directory());
    FileListBox2->SetDrive(FileListBox1->Drive());
    FileListBox2->ApplyFilePath(FileListBox1->Directory());
}

void TForm1::DriveComboBox2Change() {
    DriveComboBox1->SetDrive(DriveComboBox2->Drive());
    DirectoryListBox1->SetDirectory(DirectoryListBox2->Directory());
    FileListBox1->SetDrive(FileListBox2->Drive());
    FileListBox1->ApplyFilePath(FileListBox2->Directory());
}

void TForm1::PickerErrors::ShowError(const std::string& text) {
    form_.services_.ShowError(text);
    for (auto [dirList, fileList] : {std::pair(form_.DirectoryListBox1, form_.FileListBox1),
                                     std::pair(form_.DirectoryListBox2, form_.FileListBox2)}) {
        dirList->BuildList();
        fileList->ReadFiles();
    }
}

void TForm1::FileListBoxDblClick(TFileListBox* list) {
    const QString file = list->SelectedFilePath();
    if (file.isEmpty())
        return;
    const QString viewer = ViewerProgram();
    if (viewer.isEmpty())
        throw std::runtime_error("korvane-view was found neither next to korvane nor on the PATH.");
    if (!launcher_->StartDetached(viewer, {file}))
        throw std::runtime_error("korvane-view could not be started.");
}

TBitBtn* TForm1::GoButton() const {
    return TabbedNotebook1->PageIndex() == 0 ? Start : BitBtn1;
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took (an edit box's among them) is the default
    // button's: Go of the page shown. Escape does nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        GoButton()->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange)
        ReadRegionalSettings();
    QWidget::changeEvent(event);
}

} // namespace korvane
