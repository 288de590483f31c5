#pragma once

class ISettingsStore;
class QTreeWidget;
class QWidget;

// The main window's size and place on the screen and the list's column widths, kept between
// runs in the program's settings ("WindowX", "WindowY", "WindowWidth", "WindowHeight",
// "ColumnWidth0" to "ColumnWidth3"; not in the settings dialog). Without them (the first
// start) the window has its smallest size where the desktop puts it, and the columns their
// widths of 240, 140, 133 and 64 pixels.
class CWindowPlacement {
public:
    // Before the window is shown. A size below the window's smallest is raised to it; a place
    // where the title bar would be off every screen is left to the desktop.
    static void restore(ISettingsStore& store, QWidget& window, QTreeWidget& list);
    static void save(ISettingsStore& store, const QWidget& window, const QTreeWidget& list);
};
