#pragma once

#include "DataFile.h"
#include "ViewerLauncher.h"

#include <QWidget>

#include <array>

class QFileDialog;

namespace korvane {

class TBitBtn;
class TDirectoryListBox;
class TDriveComboBox;
class TEdit;
class TFileListBox;
class TGroupBox;
class TImage;
class TPanel;
class TTabbedNotebook;
class UiServices;

// The main window: every input of a run as the text of an edit box, the save
// name and the folder pickers on both pages, kept equal between the pages.
class TForm1 : public QWidget {
  public:
    explicit TForm1(UiServices& services);

    TTabbedNotebook* TabbedNotebook1;
    // First page.
    TBitBtn* Start;
    TBitBtn* Close;
    TGroupBox* Groui1;
    TImage* Image1;
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TFileListBox* FileListBox1;
    TBitBtn* InputData1;
    // Second page.
    TGroupBox* GroupBox1;
    TGroupBox* GroupBox2;
    TGroupBox* GroupBox3;
    TGroupBox* GroupBox4;
    TGroupBox* GroupBox5;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
    TDriveComboBox* DriveComboBox2;
    TDirectoryListBox* DirectoryListBox2;
    TFileListBox* FileListBox2;
    TBitBtn* InputData2;
    // Edit[1] to Edit[30] and Panel[1] to Panel[33], index 0 unused.
    std::array<TEdit*, 31> Edit{};
    std::array<TPanel*, 34> Panel{};
    QFileDialog* OpenFileDialog;

    // The data file read last: its full path and its first 28 lines.
    QString DataFileName;
    DataLineArray DataLines;

    void StartClick();
    void FormCreate();
    void Edit12Change();
    void Edit30Change();
    void DriveComboBox1Change();
    void DriveComboBox2Change();
    void InputData1Click();
    // Opens the file double-clicked in either file list in korvane-view.
    void FileListBoxDblClick(TFileListBox* list);

    // Who starts korvane-view (tests replace it).
    void SetViewerLauncher(ProcessLauncher& launcher) { launcher_ = &launcher; }

    // Go of the page shown.
    TBitBtn* GoButton() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void ApplyInputData();
    void BuildFirstPage(QWidget* page);
    void BuildSecondPage(QWidget* page);
    void BuildOpenDialog();
    void WireEvents();
    // Runs one of our handlers inside the guard.
    template <class Handler> void Handle(Handler handler);

    UiServices& services_;
    DetachedProcessLauncher detachedLauncher_;
    ProcessLauncher* launcher_ = &detachedLauncher_;
};

} // namespace korvane
