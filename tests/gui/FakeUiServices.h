#pragma once

#include "UiServices.h"

#include <QFileDialog>

#include <functional>
#include <string>
#include <vector>

// Records what the handlers show instead of running modal loops.
class FakeUiServices : public korvane::UiServices {
  public:
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    int finishShown = 0;
    int dialogsRun = 0;
    QString dialogFolder;
    QStringList dialogFilters;
    QStringList filesChosen; // what the open dialog returns
    std::function<void()> onFinish;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    QStringList RunOpenDialog(QFileDialog& dialog) override {
        ++dialogsRun;
        dialogFolder = dialog.directory().absolutePath();
        dialogFilters = dialog.nameFilters();
        return filesChosen;
    }
    void ShowFinishForm() override {
        ++finishShown;
        if (onFinish)
            onFinish();
    }
};
