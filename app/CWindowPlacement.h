#pragma once

class CMessageListView;
class ISettingsStore;
class QWidget;

// The main window's size and place on the screen and the widths of the list's columns the user
// dragged, kept between runs in the program's settings ("WindowX", "WindowY", "WindowWidth",
// "WindowHeight", "ColumnWidth0" to "ColumnWidth2"; not in the settings dialog). Without them
// (the first start) the window has its smallest size where the desktop puts it, and the columns
// follow the font.
class CWindowPlacement {
public:
    // Before the window is shown. A size below the window's smallest is raised to it; a place
    // where the title bar would be off every screen is left to the desktop.
    static void restore(ISettingsStore& store, QWidget& window, CMessageListView& list);
    static void save(ISettingsStore& store, const QWidget& window, const CMessageListView& list);
};
