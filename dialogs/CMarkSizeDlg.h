#pragma once

#include "dialogs/CMarkDlgBase.h"

class QComboBox;
class QLineEdit;

// "Markera" by size (dialog 210): an amount and its unit, "MB" (0), "kB" (1) or "bytes" (2).
// Read both after run() gave 1.
class CMarkSizeDlg : public CMarkDlgBase {
    Q_OBJECT

public:
    explicit CMarkSizeDlg(QWidget* parent = nullptr);

    int amount() const { return amount_; }
    // The selected item of the unit list; -1 when none is selected.
    int unit() const { return unit_; }

    // OK and Enter: the amount, then the unit, or neither.
    void accept() override;

protected:
    // Shows the fields, then selects "MB".
    void initDialog() override;

private:
    int amount_ = 0;
    int unit_ = -1;
    QLineEdit* amountEdit_ = nullptr;
    QComboBox* unitList_ = nullptr;
};
