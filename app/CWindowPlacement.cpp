#include "app/CWindowPlacement.h"

#include "app/CMessageListView.h"
#include "platform/ISettingsStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <climits>
#include <string>

namespace {

constexpr int kAbsent = INT_MIN;
// How much of the title bar must lie on a screen for the stored place to be used.
constexpr int kTitleBarShown = 48;

std::string columnKey(int column) {
    return "ColumnWidth" + std::to_string(column);
}

bool titleBarOnAScreen(const QPoint& at, int width) {
    const QRect titleBar(at, QSize(width, kTitleBarShown));
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(titleBar);
        if (shown.width() >= kTitleBarShown && shown.height() >= kTitleBarShown / 2)
            return true;
    }
    return false;
}

} // namespace

void CWindowPlacement::restore(ISettingsStore& store, QWidget& window, CMessageListView& list) {
    const int width = store.readInt("WindowWidth", kAbsent);
    const int height = store.readInt("WindowHeight", kAbsent);
    if (width > 0 && height > 0)
        window.resize(QSize(width, height).expandedTo(window.minimumSizeHint()));
    const int x = store.readInt("WindowX", kAbsent);
    const int y = store.readInt("WindowY", kAbsent);
    if (x != kAbsent && y != kAbsent && titleBarOnAScreen({x, y}, window.width()))
        window.move(x, y);
    // The size column is not kept: it follows its texts and the room.
    for (int c = 0; c < CMessageListView::kSizeColumn; ++c)
        list.setDraggedWidth(c, store.readInt(columnKey(c), kAbsent));
}

void CWindowPlacement::save(ISettingsStore& store, const QWidget& window,
                            const CMessageListView& list) {
    // A maximised window keeps the size it comes back to.
    const QRect normal = window.isMaximized() ? window.normalGeometry() : window.geometry();
    store.writeInt("WindowX", window.isMaximized() ? normal.x() : window.x());
    store.writeInt("WindowY", window.isMaximized() ? normal.y() : window.y());
    store.writeInt("WindowWidth", normal.width());
    store.writeInt("WindowHeight", normal.height());
    for (int c = 0; c < CMessageListView::kSizeColumn; ++c)
        if (const int width = list.draggedWidth(c); width > 0)
            store.writeInt(columnKey(c), width);
}
