#pragma once

#include "dialogs/CMarkDlgBase.h"

#include <string>

class QLineEdit;

// "Markera" by subject (dialog 212): a text to look for in the subjects. Read it after run()
// gave 1.
class CMarkSubjectDlg : public CMarkDlgBase {
    Q_OBJECT

public:
    explicit CMarkSubjectDlg(QWidget* parent = nullptr);

    // As typed, blanks and empty included; ISO-8859-1 like the subjects it is compared with.
    const std::string& text() const { return text_; }

    void accept() override;

protected:
    void initDialog() override;

private:
    std::string text_;
    QLineEdit* textEdit_ = nullptr; // 1073
};
