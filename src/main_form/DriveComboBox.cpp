#include "DriveComboBox.h"

#include "CurrentFolder.h"
#include "DirectoryListBox.h"
#include "Drives.h"
#include "EventGuard.h"

namespace korvane {

TDriveComboBox::TDriveComboBox(QWidget* parent, ErrorBox& errors)
    : QComboBox(parent), errors_(errors), drive_(DriveOf(CurrentFolder())) {
    setFocusPolicy(Qt::ClickFocus);
    ReadDrives();
    connect(this, &QComboBox::activated, this,
            [this](int index) { Guard(errors_, [&] { SetDrive(itemData(index).toString()); }); });
}

void TDriveComboBox::ReadDrives() {
    clear();
    for (const QString& drive : AvailableDrives())
        addItem(DriveLabel(drive), drive);
    setCurrentIndex(EntryOf(drive_));
}

int TDriveComboBox::EntryOf(const QString& drive) {
    if (drive.isEmpty()) // a network folder: no drive is selected
        return -1;
    for (int i = 0; i < count(); ++i)
        if (SameFileName(itemData(i).toString(), drive))
            return i;
    // A folder on a file system left out of the list still shows its drive.
    addItem(DriveLabel(drive), drive);
    return count() - 1;
}

void TDriveComboBox::SetDrive(const QString& drive) {
    if (currentIndex() >= 0 && SameFileName(drive, drive_))
        return;
    drive_ = drive;
    setCurrentIndex(EntryOf(drive));
    if (dirList_)
        dirList_->DriveChanged(drive);
    if (OnChange)
        OnChange();
}

void TDriveComboBox::SetDirList(TDirectoryListBox* dirList) {
    dirList_ = dirList;
    dirList->SetDriveCombo(this);
}

void TDriveComboBox::showPopup() {
    // File systems come and go while the program runs.
    ReadDrives();
    QComboBox::showPopup();
}

} // namespace korvane
