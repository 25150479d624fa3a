#pragma once

#include "EventGuard.h"
#include "Messages.h"

#include <QStringList>

class QFileDialog;

namespace korvane {

// Everything modal that the window's handlers reach: the message box
// (ShowMessage), the standard error box (ShowError), the open dialog and the
// completion dialog. Tests put their own in place.
class UiServices : public MessageSink, public ErrorBox {
  public:
    // Runs the open dialog; the files chosen, none when cancelled.
    virtual QStringList RunOpenDialog(QFileDialog& dialog) = 0;
    // Shows the completion dialog modally and waits until it is closed.
    virtual void ShowFinishForm() = 0;
};

} // namespace korvane
