#include "dialogs/CMarkTextDlg.h"

#include "dialogs/CUiText.h"

#include <QLabel>
#include <QLineEdit>

namespace {

struct TextLayout {
    ControlId dialog;
    ControlId edit;
    const char* label;
    QRect labelAt;
    QRect editAt;
};

TextLayout layoutOf(CMarkTextDlg::Criterion criterion) {
    if (criterion == CMarkTextDlg::Criterion::Sender)
        return {ControlId::MarkSenderDlg,
                ControlId::MarkSenderEdit,
                QT_TRANSLATE_NOOP("CMarkTextDlg", "Markera alla brev från:"),
                {7, 15, 72, 8},
                {84, 13, 95, 12}};
    return {ControlId::MarkSubjectDlg,
            ControlId::MarkSubjectEdit,
            QT_TRANSLATE_NOOP("CMarkTextDlg", "Markera alla brev med subject:"),
            {7, 15, 98, 8},
            {107, 13, 72, 12}};
}

} // namespace

CMarkTextDlg::CMarkTextDlg(Criterion criterion, QWidget* parent)
    : CMarkDlgBase(layoutOf(criterion).dialog, parent), criterion_(criterion) {
    const TextLayout layout = layoutOf(criterion);
    textEdit_ = addEdit(layout.edit, addLabel(tr(layout.label), layout.labelAt), layout.editAt);
    setFieldOrder({textEdit_});
}

void CMarkTextDlg::initDialog() {
    textEdit_->setText(CUiText::toQString(text_));
}

void CMarkTextDlg::accept() {
    text_ = CUiText::toBytes(textEdit_->text());
    CMarkDlgBase::accept();
}
