#pragma once

#include "dialogs/CMarkDlgBase.h"

#include <string>

class QLineEdit;

// "Markera" by a text to look for: in the senders (dialog 211) or in the subjects (dialog 212).
// Read the text after a run that gave 1.
class CMarkTextDlg : public CMarkDlgBase {
    Q_OBJECT

public:
    enum class Criterion { Sender, Subject };

    explicit CMarkTextDlg(Criterion criterion, QWidget* parent = nullptr);

    Criterion criterion() const { return criterion_; }
    // As typed, blanks and empty included; UTF-8 like the senders and subjects it is compared
    // with.
    const std::string& text() const { return text_; }

    void accept() override;

protected:
    void initDialog() override;

private:
    Criterion criterion_;
    std::string text_;
    QLineEdit* textEdit_ = nullptr;
};
