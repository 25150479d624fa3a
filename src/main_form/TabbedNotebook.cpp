#include "TabbedNotebook.h"

#include <QPainter>
#include <QTabBar>

namespace korvane {

namespace {

constexpr int TabHeight = 21;
constexpr QMargins PageMargins(4, 23, 4, 4);

class NotebookTabs : public QTabBar {
  public:
    using QTabBar::QTabBar;

  protected:
    QSize tabSizeHint(int index) const override {
        return {QTabBar::tabSizeHint(index).width(), TabHeight};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
};

} // namespace

TTabbedNotebook::TTabbedNotebook(QWidget* parent) : QWidget(parent), tabs_(new NotebookTabs(this)) {
    setFocusPolicy(Qt::NoFocus);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    QPalette palette = tabs_->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ButtonText));
    tabs_->setPalette(palette);
    connect(tabs_, &QTabBar::currentChanged, this, &TTabbedNotebook::ShowPage);
}

QWidget* TTabbedNotebook::AddPage(const QString& caption) {
    auto* page = new QWidget(this);
    page->setGeometry(QRect(QPoint(), size()).marginsRemoved(PageMargins));
    pages_.append(page);
    tabs_->addTab(caption);
    tabs_->setGeometry(2, 2, width() - 4, TabHeight);
    ShowPage(tabs_->currentIndex());
    return page;
}

int TTabbedNotebook::PageIndex() const {
    return tabs_->currentIndex();
}

void TTabbedNotebook::SetPageIndex(int index) {
    tabs_->setCurrentIndex(index);
}

void TTabbedNotebook::ShowPage(int index) {
    if (index < 0 || index >= pages_.size())
        return;
    QWidget* shown = pages_[index];
    shown->setEnabled(true);
    shown->show();
    // Hiding the old page moves the focus on to the page now shown.
    for (QWidget* page : pages_)
        if (page != shown)
            page->hide(), page->setEnabled(false);
    QWidget* focus = window()->focusWidget();
    if (!isVisible() || (focus && shown->isAncestorOf(focus)))
        return;
    for (QWidget* next = shown->nextInFocusChain(); next != shown;
         next = next->nextInFocusChain()) {
        if (shown->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) &&
            next->isEnabled() && next->isVisible()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TTabbedNotebook::paintEvent(QPaintEvent*) {
    // A raised frame around the pages, in the pages' own colour.
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, TabHeight + 1, -1, -1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawLine(frame.topRight(), frame.bottomRight());
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(frame.topRight() + QPoint(-1, 1), frame.bottomRight() + QPoint(-1, -1));
    painter.drawLine(frame.bottomLeft() + QPoint(1, -1), frame.bottomRight() + QPoint(-1, -1));
}

} // namespace korvane
