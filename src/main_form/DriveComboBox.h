#pragma once

#include <QComboBox>

#include <functional>

namespace korvane {

class ErrorBox;
class TDirectoryListBox;

// The drive selector: holds one drive and tells its directory list when the
// drive changes, then raises OnChange.
class TDriveComboBox : public QComboBox {
  public:
    TDriveComboBox(QWidget* parent, ErrorBox& errors);

    QString Drive() const { return drive_; }
    // Does nothing when the drive is already selected.
    void SetDrive(const QString& drive);
    void SetDirList(TDirectoryListBox* dirList);

    std::function<void()> OnChange;

  protected:
    void showPopup() override;

  private:
    void ReadDrives();
    int EntryOf(const QString& drive);

    ErrorBox& errors_;
    QString drive_;
    TDirectoryListBox* dirList_ = nullptr;
};

} // namespace korvane
