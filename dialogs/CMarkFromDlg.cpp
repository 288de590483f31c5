#include "dialogs/CMarkFromDlg.h"

#include "app/CUiText.h"

#include <QLabel>
#include <QLineEdit>

CMarkFromDlg::CMarkFromDlg(QWidget* parent) : CMarkDlgBase(211, parent) {
    textEdit_ = addEdit("1055", addLabel(QStringLiteral("Markera alla brev från:"), {7, 15, 72, 8}),
                        {84, 13, 95, 12});
    setFieldOrder({textEdit_});
}

void CMarkFromDlg::initDialog() {
    textEdit_->setText(CUiText::toQString(text_));
}

void CMarkFromDlg::accept() {
    text_ = CUiText::toBytes(textEdit_->text());
    CMarkDlgBase::accept();
}
