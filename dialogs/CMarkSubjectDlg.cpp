#include "dialogs/CMarkSubjectDlg.h"

#include "app/CUiText.h"

#include <QLabel>
#include <QLineEdit>

CMarkSubjectDlg::CMarkSubjectDlg(QWidget* parent) : CMarkDlgBase(212, parent) {
    textEdit_ =
        addEdit("1073", addLabel(QStringLiteral("Markera alla brev med subject:"), {7, 15, 98, 8}),
                {107, 13, 72, 12});
    setFieldOrder({textEdit_});
}

void CMarkSubjectDlg::initDialog() {
    textEdit_->setText(CUiText::toQString(text_));
}

void CMarkSubjectDlg::accept() {
    text_ = CUiText::toBytes(textEdit_->text());
    CMarkDlgBase::accept();
}
