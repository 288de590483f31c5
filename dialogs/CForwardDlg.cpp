#include "dialogs/CForwardDlg.h"

#include "dialogs/CDialogUnits.h"
#include "dialogs/CLayoutFit.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CForwardDlg::CForwardDlg(QWidget* parent) : QDialog(parent) {
    // Caption without system menu: the dialog ends through its buttons or the keyboard only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setObjectName(idText(ControlId::ForwardDlg));
    setWindowTitle(tr("Forward"));
    setAccessibleName(windowTitle());
    setFont(CDialogUnits::dialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.x(165), du.y(89));

    auto* label = new QLabel(tr("Adress:"), this);
    label->setGeometry(du.rect(13, 16, 40, 13));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    addressEdit_ = new QLineEdit(this);
    addressEdit_->setObjectName(idText(ControlId::ForwardAddressEdit));
    addressEdit_->setAccessibleName(tr("Adress"));
    addressEdit_->setGeometry(du.rect(58, 16, 100, 14));
    label->setBuddy(addressEdit_);

    deleteCheck_ = new QCheckBox(tr("Radera originalbrev"), this);
    deleteCheck_->setObjectName(idText(ControlId::DeleteAfterBox));
    deleteCheck_->setAccessibleName(deleteCheck_->text());
    deleteCheck_->setGeometry(du.rect(58, 42, 77, 10));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(idText(ControlId::Ok));
    ok->setAccessibleName(ok->text());
    ok->setGeometry(du.rect(48, 68, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(tr("Avbryt"), this);
    cancel->setObjectName(idText(ControlId::Cancel));
    cancel->setAccessibleName(cancel->text());
    cancel->setGeometry(du.rect(108, 68, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(addressEdit_, deleteCheck_);
    setTabOrder(deleteCheck_, ok);
    setTabOrder(ok, cancel);
    addressEdit_->setFocus();
    CLayoutFit::fit(*this);
}

void CForwardDlg::accept() {
    address_ = CUiText::toBytes(addressEdit_->text());
    deleteAfter_ = deleteCheck_->isChecked();
    QDialog::accept();
}
