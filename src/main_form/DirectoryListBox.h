#pragma once

#include <QListWidget>

#include <functional>

namespace korvane {

class ErrorBox;
class TDriveComboBox;
class TFileListBox;

// The directory list: the root, the folders down to the current one and the
// current folder's subfolders. Opening a line (double click or Enter) makes
// that folder current for the list, its file list and the process.
class TDirectoryListBox : public QListWidget {
  public:
    static constexpr int PathRole = Qt::UserRole;

    TDirectoryListBox(QWidget* parent, ErrorBox& errors);

    QString Directory() const { return directory_; }
    // Does nothing when the path is empty or the directory already.
    void SetDirectory(const QString& path);
    // Called by the drive selector after it changed drives.
    void DriveChanged(const QString& drive);
    void SetFileList(TFileListBox* fileList);
    void SetDriveCombo(TDriveComboBox* driveCombo) { driveCombo_ = driveCombo; }
    // Rebuilds the lines from the folders as they are now, the current
    // folder's line selected.
    void BuildList();

    std::function<void()> OnChange;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OpenLine(QListWidgetItem* item);
    void Changed();

    ErrorBox& errors_;
    QString directory_;
    TDriveComboBox* driveCombo_ = nullptr;
    TFileListBox* fileList_ = nullptr;
    bool inSetDirectory_ = false;
};

} // namespace korvane
