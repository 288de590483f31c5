#pragma once

#include <QSize>

class QWidget;

// Makes a window laid out in dialog units hold its texts. Dialog units follow the font's
// average character and its height, but a given label may be wider than the average, and a
// style's frames and paddings do not grow with the font: a control can need more room than its
// units give. Each such control grows into free room beside it first (a label away from its
// alignment, else towards it, a button both ways, every control up and down alike), never over
// another control nor out of the window or the group box around it. Where that is not enough, the
// whole layout and the window grow by the least factor that gives every control its room.
class CLayoutFit {
public:
    // Fits the visible child controls of container (the window itself, or the area that holds
    // its controls). A container of fixed size keeps a fixed size, grown where needed.
    static void fit(QWidget& container);
    // The room a control needs for its text: its size hint, only the height for fields whose
    // width is free (line edits, progress bars), nothing for what scrolls.
    static QSize needed(const QWidget& control);
};
