#pragma once

#include "UiServices.h"

class QWidget;

namespace korvane {

class TFinishForm;

// The dialogs as the user sees them, every one owned by the main window.
class QtUiServices : public UiServices {
  public:
    void SetWindows(QWidget* form1, TFinishForm* finishForm) {
        form1_ = form1;
        finishForm_ = finishForm;
    }

    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    QStringList RunOpenDialog(QFileDialog& dialog) override;
    void ShowFinishForm() override;

  private:
    QWidget* form1_ = nullptr;
    TFinishForm* finishForm_ = nullptr;
};

} // namespace korvane
