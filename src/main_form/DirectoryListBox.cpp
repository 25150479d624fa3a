#include "DirectoryListBox.h"

#include "CurrentFolder.h"
#include "DriveComboBox.h"
#include "Drives.h"
#include "EventGuard.h"
#include "FileListBox.h"
#include "PickerLines.h"

#include <QDir>
#include <QKeyEvent>

namespace korvane {

TDirectoryListBox::TDirectoryListBox(QWidget* parent, ErrorBox& errors)
    : QListWidget(parent), errors_(errors), directory_(CurrentFolder()) {
    setFocusPolicy(Qt::ClickFocus);
    setItemDelegate(new PickerLineDelegate(16, this));
    setUniformItemSizes(true);
    BuildList();
    connect(this, &QListWidget::itemDoubleClicked, this, &TDirectoryListBox::OpenLine);
}

void TDirectoryListBox::SetFileList(TFileListBox* fileList) {
    fileList_ = fileList;
    fileList->SetDirList(this);
}

void TDirectoryListBox::SetDirectory(const QString& path) {
    if (path.isEmpty() || SameFileName(path, directory_))
        return;
    if (driveCombo_ && !SameFileName(DriveOf(path), DriveOf(directory_))) {
        // The drive selector reports back; this list answers below, once.
        inSetDirectory_ = true;
        try {
            driveCombo_->SetDrive(DriveOf(path));
        } catch (...) {
            inSetDirectory_ = false;
            throw;
        }
        inSetDirectory_ = false;
    }
    ChangeFolder(path);
    directory_ = CurrentFolder();
    BuildList();
    Changed();
}

void TDirectoryListBox::DriveChanged(const QString& drive) {
    if (SameFileName(drive, DriveOf(directory_)))
        return;
    ChangeFolder(DriveFolder(drive));
    directory_ = CurrentFolder();
    if (inSetDirectory_)
        return;
    BuildList();
    Changed();
}

void TDirectoryListBox::Changed() {
    if (fileList_)
        fileList_->SetDirectory(directory_);
    if (OnChange)
        OnChange();
}

void TDirectoryListBox::BuildList() {
    clear();
    auto addLine = [this](const QString& text, const QString& path, int level, FolderGlyph glyph) {
        auto* item = new QListWidgetItem(FolderIcon(glyph), text, this);
        item->setData(PathRole, path);
        item->setData(PickerLineDelegate::LevelRole, level);
        return item;
    };
    // The root, then every folder down to the current one.
    const QString root = PathRoot(directory_);
    QStringList parts = QDir::cleanPath(directory_).mid(root.size()).split('/', Qt::SkipEmptyParts);
    QString path = root;
    QListWidgetItem* current = addLine(QDir::toNativeSeparators(root), path, 0,
                                       parts.isEmpty() ? FolderGlyph::Current : FolderGlyph::Open);
    for (int i = 0; i < parts.size(); ++i) {
        path = QDir(path).filePath(parts[i]);
        current = addLine(parts[i], path, i + 1,
                          i + 1 == parts.size() ? FolderGlyph::Current : FolderGlyph::Open);
    }
    const QDir folder(directory_);
    for (const QString& name :
         folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        addLine(name, folder.filePath(name), parts.size() + 1, FolderGlyph::Closed);
    setCurrentItem(current);
}

void TDirectoryListBox::OpenLine(QListWidgetItem* item) {
    if (!item)
        return;
    const QString path = item->data(PathRole).toString();
    Guard(errors_, [&] { SetDirectory(path); });
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OpenLine(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace korvane
