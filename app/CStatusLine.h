#pragma once

#include <QLabel>

// The main window's status line: one line of text. Screen readers find it as the window's
// status bar, named by the text it shows, and each text set is announced as a change of that
// name, the same text again too.
class CStatusLine : public QLabel {
    Q_OBJECT

public:
    explicit CStatusLine(QWidget* parent);

    void setStatus(const QString& text);
};
