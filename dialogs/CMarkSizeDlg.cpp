#include "dialogs/CMarkSizeDlg.h"

#include "dialogs/CDialogUnits.h"
#include "dialogs/IdText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

CMarkSizeDlg::CMarkSizeDlg(QWidget* parent) : CMarkDlgBase(ControlId::MarkSizeDlg, parent) {
    amountEdit_ =
        addEdit(ControlId::MarkAmountEdit,
                addLabel(tr("Markera alla brev större än"), {7, 15, 85, 8}), {97, 13, 23, 12});

    const CDialogUnits du(font());
    unitList_ = new QComboBox(this);
    unitList_->setObjectName(idText(ControlId::MarkUnitList));
    unitList_->setAccessibleName(tr("Enhet"));
    unitList_->setEditable(false);
    unitList_->addItems({QStringLiteral("MB"), QStringLiteral("kB"), QStringLiteral("bytes")});
    // The layout gives 40 x 39 units with the list dropped down; closed, it is as high as the
    // amount beside it.
    unitList_->setGeometry(du.rect(131, 13, 40, 12));
    unitList_->setCurrentIndex(-1);

    setFieldOrder({amountEdit_, unitList_});
}

void CMarkSizeDlg::initDialog() {
    amountEdit_->setText(QString::number(amount_));
    unitList_->setCurrentIndex(unit_);
    unitList_->setCurrentIndex(0);
}

void CMarkSizeDlg::accept() {
    int amount = 0;
    if (!readInteger(amountEdit_, amount))
        return;
    amount_ = amount;
    unit_ = unitList_->currentIndex();
    CMarkDlgBase::accept();
}
