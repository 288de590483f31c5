#pragma once

#include <QFont>
#include <QRect>

// Windows of this program are laid out in dialog units of their own font, so that they grow
// with the desktop's fonts: the average character width (taken over the alphabet) is 4 units
// across, the font's height 8 units down. CLayoutFit then gives each control the room its
// text needs beyond that.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int x(int units) const { return (units * baseX_ + 2) / 4; }
    int y(int units) const { return (units * baseY_ + 4) / 8; }
    QRect rect(int ux, int uy, int uw, int uh) const { return {x(ux), y(uy), x(uw), y(uh)}; }

    // The desktop's font at the desktop's size, never below the 8 pt the layouts were made for.
    static QFont dialogFont();
    // The desktop's fixed-pitch font at that size, for windows that show text in columns.
    static QFont fixedFont();

private:
    int baseX_;
    int baseY_;
};
