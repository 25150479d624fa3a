#pragma once

#include <QWidget>

class QTabBar;

namespace korvane {

// A notebook of pages with tabs on top. Only the page shown is enabled, so
// the others take neither focus nor keys.
class TTabbedNotebook : public QWidget {
  public:
    explicit TTabbedNotebook(QWidget* parent);

    // A new page whose client area lies at 4, 23 inside the notebook.
    QWidget* AddPage(const QString& caption);
    int PageIndex() const;
    void SetPageIndex(int index);
    QWidget* Page(int index) const { return pages_.at(index); }
    QTabBar* Tabs() const { return tabs_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowPage(int index);

    QTabBar* tabs_;
    QList<QWidget*> pages_;
};

} // namespace korvane
