#include "AppLook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPalette>
#include <QPixmap>
#include <QRawFont>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>

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

QFont InstalledFont(const QFont& wanted, bool fixedPitch) {
    // A family may be listed as a substitute (Wine lists a few) and still
    // resolve to another face: only what it resolves to counts.
    const auto resolves = [](const QFont& font) {
        return QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0;
    };
    if (resolves(wanted))
        return wanted;
    static const QStringList sans = {"Segoe UI",  "Tahoma",      "Arial",
                                     "Helvetica", "DejaVu Sans", "Liberation Sans",
                                     "Noto Sans", "Nimbus Sans", "FreeSans"};
    static const QStringList mono = {"Consolas",        "Courier New", "DejaVu Sans Mono",
                                     "Liberation Mono", "Noto Mono",   "Nimbus Mono PS"};
    QFont font = wanted;
    font.setStyleHint(fixedPitch ? QFont::Monospace : QFont::SansSerif);
    for (const QString& name : fixedPitch ? mono : sans) {
        font.setFamily(name);
        if (resolves(font))
            return font;
    }
    font.setFamily(QString());
    return font;
}

QString CelsiusShown(const QString& text) {
    if (!text.contains(QChar(0x2103)) ||
        QRawFont::fromFont(QApplication::font()).supportsCharacter(QChar(0x2103)))
        return text;
    return QString(text).replace(QChar(0x2103), QString::fromUtf8("\u00b0C"));
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

double ContrastRatio(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

// The text colour moved towards its background as far as a contrast of 4.5:1
// allows (the least that reads well), and no further than half way.
QColor ReadableDisabled(const QColor& text, const QColor& background) {
    for (int percent = 50; percent > 0; percent -= 5) {
        const double t = percent / 100.0;
        const QColor mixed =
            QColor::fromRgbF(static_cast<float>(text.redF() * (1 - t) + background.redF() * t),
                             static_cast<float>(text.greenF() * (1 - t) + background.greenF() * t),
                             static_cast<float>(text.blueF() * (1 - t) + background.blueF() * t));
        if (ContrastRatio(mixed, background) >= 4.5)
            return mixed;
    }
    return text;
}

} // namespace

void SetLook(QWidget* widget, int pixelSize, const QColor& color, bool bold) {
    widget->setFont(UiFont(pixelSize, bold));
    QPalette palette = widget->palette();
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> roles[] = {
        {QPalette::WindowText, QPalette::Window},
        {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button}};
    for (const auto& [role, background] : roles) {
        palette.setColor(QPalette::Active, role, color);
        palette.setColor(QPalette::Inactive, role, color);
        palette.setColor(QPalette::Disabled, role,
                         ReadableDisabled(color, palette.color(QPalette::Disabled, background)));
    }
    widget->setPalette(palette);
}

QIcon ProgramIcon() {
    return QIcon(QPixmap(korvane_xpm));
}

} // namespace korvane
