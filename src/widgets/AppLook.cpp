#include "AppLook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace korvane {

namespace {
#include "korvane.xpm"
}

QString UiFontFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* name :
             {"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic", "Noto Sans CJK JP", "DejaVu Sans"}) {
            const QString candidate = QString::fromUtf8(name);
            if (installed.contains(candidate))
                return candidate;
        }
        return QApplication::font().family();
    }();
    return family;
}

QFont UiFont(int pixelSize, bool bold) {
    QFont font(UiFontFamily());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QColor WindowTextColor() {
    return QApplication::palette().color(QPalette::WindowText);
}

void SetLook(QWidget* widget, int pixelSize, const QColor& color, bool bold) {
    widget->setFont(UiFont(pixelSize, bold));
    QPalette palette = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Active, role, color),
            palette.setColor(QPalette::Inactive, role, color);
    widget->setPalette(palette);
}

QIcon ProgramIcon() {
    return QIcon(QPixmap(korvane_xpm));
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

} // namespace korvane
