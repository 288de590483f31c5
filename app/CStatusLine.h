#pragma once

#include <QLabel>

// The main window's status line: one line of text. Screen readers find it as the window's
// status bar, named by the text it shows, and each text set is announced as a change of that
// name, the same text again too. A text longer than the line is cut with "…" where the line
// ends; the whole text is then its accessible description and its tool tip.
class CStatusLine : public QLabel {
    Q_OBJECT

public:
    explicit CStatusLine(QWidget* parent);

    // text: one line.
    void setStatus(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Shows as much of the text as the line has room for; false when that is what it showed.
    bool showFitting();

    QString full_;
};
