#pragma once

#include "UiServices.h"

namespace korvane {

class TFinishForm;

// The dialogs as the user sees them.
class QtUiServices : public UiServices {
  public:
    void SetFinishForm(TFinishForm* finishForm) { finishForm_ = finishForm; }

    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    QStringList RunOpenDialog(QFileDialog& dialog) override;
    void ShowFinishForm() override;

  private:
    TFinishForm* finishForm_ = nullptr;
};

} // namespace korvane
