#pragma once

#include "Edit.h"
#include "FakeUiServices.h"
#include "MainForm.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include <memory>

// The base of the window's test classes: a window whose pickers show a fresh
// temporary folder, which is also the current directory.
class WindowTest : public QObject {
  protected:
    // False when the folder could not be made or entered.
    bool OpenWindow() {
        folder_ = std::make_unique<QTemporaryDir>();
        if (!folder_->isValid())
            return false;
        path_ = QDir(folder_->path()).canonicalPath();
        if (!QDir::setCurrent(path_))
            return false;
        services_ = std::make_unique<FakeUiServices>();
        form_ = std::make_unique<korvane::TForm1>(*services_);
        for (int box = 1; box <= 30; ++box)
            before_[box] = form_->Edit[box]->text();
        return true;
    }

    void CloseWindow() {
        form_.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // A file of the test folder; its full path, empty when it cannot be written.
    QString Write(const QString& name, const QByteArray& data) {
        QFile file(path_ + "/" + name);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(data);
        return file.fileName();
    }

    std::unique_ptr<QTemporaryDir> folder_;
    QString path_;
    std::unique_ptr<FakeUiServices> services_;
    std::unique_ptr<korvane::TForm1> form_;
    QString before_[31]; // the box texts as the window was built
};
