#include "ScreenCentre.h"

#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace korvane {

namespace {

QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry(), client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

class ScreenCentre : public QObject {
  public:
    explicit ScreenCentre(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) {
            Centre();
            // The platform window exists by now; its first exposure comes
            // once the window manager has put its frame round it.
            if (QWindow* handle = window_->windowHandle())
                handle->installEventFilter(this);
        } else if (watched != window_ && event->type() == QEvent::Expose &&
                   FrameMargins(window_) != margins_) {
            // Another frame than the one centred, never the user's dragging.
            Centre();
        }
        return false;
    }

  private:
    void Centre() {
        const QScreen* screen = window_->screen();
        if (!screen)
            return;
        margins_ = FrameMargins(window_);
        QRect frame({}, window_->frameGeometry().size());
        frame.moveCenter(screen->availableGeometry().center());
        // The position of a window is that of its frame.
        window_->move(frame.topLeft());
    }

    QWidget* window_;
    QMargins margins_;
};

} // namespace

void CentreOnScreenWhenShown(QWidget* window) {
    new ScreenCentre(window);
}

} // namespace korvane
