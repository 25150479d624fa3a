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
            // The platform window exists by now: its events tell when the
            // window manager has put its frame round it.
            if (QWindow* handle = window_->windowHandle())
                handle->installEventFilter(this);
        } else if (window_->isVisible() && FrameMargins(window_) != margins_) {
            // Another frame than the one centred: the window manager's
            // framing, never the user's dragging.
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
        // Until the window manager has framed the window, the frame of its
        // owner is the best guess: asking it to move the window again while
        // it places the window is a race.
        QMargins margins = margins_;
        if (margins.isNull() && window_->parentWidget())
            margins = FrameMargins(window_->parentWidget()->window());
        QRect frame({}, window_->size().grownBy(margins));
        frame.moveCenter(screen->availableGeometry().center());
        const QPoint client = frame.topLeft() + QPoint(margins.left(), margins.top());
        // move() places the frame where it is known, else the client area.
        window_->move(client - (window_->geometry().topLeft() - window_->pos()));
    }

    QWidget* window_;
    QMargins margins_;
};

} // namespace

void CentreOnScreenWhenShown(QWidget* window) {
    new ScreenCentre(window);
}

} // namespace korvane
