#pragma once

#include <QDialog>

class QLabel;

namespace korvane {

class TBitBtn;
class TPanel;

// The completion dialog: shown modally after a run, it only tells the user
// that the run has ended. It belongs to the main window, its owner, but is
// centred on the screen.
class TFinishForm : public QDialog {
  public:
    explicit TFinishForm(QWidget* owner);

    TPanel* Panel1;
    TPanel* Panel2;
    QLabel* Label4;
    QLabel* Label3;
    QLabel* Label1;
    TBitBtn* BitBtn1;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace korvane
