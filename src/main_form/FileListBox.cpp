#include "FileListBox.h"

#include "CurrentFolder.h"
#include "DirectoryListBox.h"
#include "Drives.h"
#include "PickerLines.h"

#include <QDir>

namespace korvane {

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent), directory_(CurrentFolder()) {
    setFocusPolicy(Qt::ClickFocus);
    setItemDelegate(new PickerLineDelegate(12, this));
    setUniformItemSizes(true);
    Update();
}

QString TFileListBox::Drive() const {
    return DriveOf(directory_);
}

void TFileListBox::SetDirectory(const QString& directory) {
    if (SameFileName(directory, directory_))
        return;
    ChangeFolder(directory);
    directory_ = CurrentFolder();
    Update();
}

void TFileListBox::SetDrive(const QString& drive) {
    if (SameFileName(drive, Drive()))
        return;
    ApplyFilePath(DriveFilePath(drive));
}

void TFileListBox::ApplyFilePath(const QString& path) {
    if (path.isEmpty() || SameFileName(path, SelectedFilePath()))
        return;
    if (dirList_)
        dirList_->SetDirectory(path);
    else
        SetDirectory(path);
}

void TFileListBox::Update() {
    ChangeFolder(directory_);
    ReadFiles();
}

void TFileListBox::ReadFiles() {
    clear();
    addItems(QDir(directory_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QString TFileListBox::SelectedFilePath() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? QDir(directory_).filePath(item->text()) : QString();
}

} // namespace korvane
