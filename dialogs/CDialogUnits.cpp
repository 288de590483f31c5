#include "dialogs/CDialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QString>

#include <algorithm>

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    const int alphabet = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = std::max(1, (alphabet / 26 + 1) / 2);
    baseY_ = std::max(1, fm.height());
}

namespace {

// The desktop's size for text, a larger one chosen for reading included, but never below the
// 8 pt the layouts were drawn for.
void takeDesktopSize(QFont& font) {
    const QFont desktop = QGuiApplication::font();
    if (desktop.pointSizeF() > 0)
        font.setPointSizeF(std::max(8.0, desktop.pointSizeF()));
    else if (desktop.pixelSize() > 0)
        font.setPixelSize(desktop.pixelSize());
    else
        font.setPointSize(8);
}

} // namespace

QFont CDialogUnits::dialogFont() {
    QFont font = QGuiApplication::font();
    takeDesktopSize(font);
    return font;
}

QFont CDialogUnits::fixedFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    takeDesktopSize(font);
    return font;
}
