#pragma once

#include "dialogs/CMarkDlgBase.h"

class QLineEdit;

// "Markera" by message number (dialog 209): the first and the last number of a range. Read both
// after run() gave 1.
class CMarkNumberDlg : public CMarkDlgBase {
    Q_OBJECT

public:
    explicit CMarkNumberDlg(QWidget* parent = nullptr);

    int first() const { return first_; }
    int last() const { return last_; }

    // OK and Enter: both numbers, in this order, or neither.
    void accept() override;

protected:
    void initDialog() override;

private:
    int first_ = 0;
    int last_ = 0;
    QLineEdit* firstEdit_ = nullptr;
    QLineEdit* lastEdit_ = nullptr;
};
