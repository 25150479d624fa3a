#include "FinishForm.h"

#include "AppLook.h"
#include "BitBtn.h"
#include "FitLabel.h"
#include "Panel.h"
#include "ScreenCentre.h"

#include <QKeyEvent>
#include <QLabel>

namespace korvane {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, const char* text,
                  int pixelSize, const QColor& color) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    SetLook(label, pixelSize, color);
    return label;
}

} // namespace

TFinishForm::TFinishForm(QWidget* owner)
    // Transient for its owner, so that a window manager that minimises it
    // takes the owner along (alone, it left the owner waiting with nothing to
    // restore); no minimise or maximise button where the hints are heeded.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("FinishForm");
    setWindowTitle("FinishForm");
    setWindowIcon(ProgramIcon());
    setFixedSize(361, 230);
    setFont(UiFont(12));
    setBackgroundRole(QPalette::Button);

    Panel1 = new TPanel(this, TPanel::Bevel::Raised, TPanel::Bevel::Lowered);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, 361, 230);

    Panel2 = new TPanel(Panel1, TPanel::Bevel::Raised);
    Panel2->setObjectName("Panel2");
    Panel2->setGeometry(21, 15, 323, 46);

    Label4 = MakeLabel(Panel2, "Label4", {15, 13, 293, 19},
                       "Calculation is successfully finished !", 19, Qt::blue);
    Label3 = MakeLabel(Panel1, "Label3", {147, 80, 51, 16}, "Ver. 1.2", 16, Qt::blue);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1 = MakeLabel(Panel1, "Label1", {146, 146, 54, 16}, "2008.8.3", 16, WindowTextColor());

    BitBtn1 = new TBitBtn(TBitBtn::Kind::OK, "OK", Panel1);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(126, 178, 100, 29);
    SetLook(BitBtn1, 13, Qt::black);
    BitBtn1->setDefault(true);
    BitBtn1->setFocusPolicy(Qt::StrongFocus);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // Every control in place first: a label grows only into free room.
    for (QLabel* label : {Label4, Label3, Label1})
        FitLabel(label);
    CentreOnScreenWhenShown(this);
}

void TFinishForm::keyPressEvent(QKeyEvent* event) {
    // No cancel button: Escape does nothing.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace korvane
