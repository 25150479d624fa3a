#pragma once

#include <QListWidget>

namespace korvane {

class TDirectoryListBox;

// The file list: every file of one folder ("*.*"), hidden ones left out, in
// case-insensitive name order.
class TFileListBox : public QListWidget {
  public:
    explicit TFileListBox(QWidget* parent);

    QString Directory() const { return directory_; }
    QString Drive() const;
    // Does nothing when the directory is unchanged.
    void SetDirectory(const QString& directory);
    // Applies the drive's own current folder ("c:") on Windows; on Linux a
    // drive has none, and this does nothing.
    void SetDrive(const QString& drive);
    // Opens a folder through the bound directory list (or this list alone);
    // does nothing for an empty path or the selected file's own path.
    void ApplyFilePath(const QString& path);
    // Makes the folder current again and re-reads it.
    void Update();
    // Re-reads the folder as it is now, the current directory left alone.
    void ReadFiles();
    QString SelectedFilePath() const;
    void SetDirList(TDirectoryListBox* dirList) { dirList_ = dirList; }

  private:
    QString directory_;
    TDirectoryListBox* dirList_ = nullptr;
};

} // namespace korvane
