#pragma once

#include <QDialog>

#include <string>

class QPlainTextEdit;

// "Innehåll": shows the text of one message read-only. Set the text, run it; nothing is read
// back.
class CContentDlg : public QDialog {
    Q_OBJECT

public:
    explicit CContentDlg(QWidget* parent = nullptr);

    // UTF-8; copied, and shown as CContentText::forDisplay lays it out.
    void SetText(const std::string& text) { text_ = text; }
    const std::string& text() const { return text_; }

    // Runs through DialogResult::run: 1 after OK or Enter, 2 after Escape or the close box.

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::string text_;
    QPlainTextEdit* textEdit_ = nullptr;
};
