#include "dialogs/CMarkNumberDlg.h"

#include <QLabel>
#include <QLineEdit>

CMarkNumberDlg::CMarkNumberDlg(QWidget* parent) : CMarkDlgBase(ControlId::MarkNumberDlg, parent) {
    firstEdit_ = addEdit(ControlId::MarkFirstEdit,
                         addLabel(tr("Markera alla brev från"), {7, 15, 70, 8}), {84, 13, 17, 12});
    lastEdit_ =
        addEdit(ControlId::MarkLastEdit, addLabel(tr("till"), {109, 15, 8, 8}), {125, 13, 17, 12});
    setFieldOrder({firstEdit_, lastEdit_});
}

void CMarkNumberDlg::initDialog() {
    firstEdit_->setText(QString::number(first_));
    lastEdit_->setText(QString::number(last_));
}

void CMarkNumberDlg::accept() {
    int first = 0;
    int last = 0;
    if (!readInteger(firstEdit_, first) || !readInteger(lastEdit_, last))
        return;
    first_ = first;
    last_ = last;
    CMarkDlgBase::accept();
}
