#include "dialogs/CContentDlg.h"

#include "dialogs/CContentText.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CLayoutFit.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

CContentDlg::CContentDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    setObjectName(idText(ControlId::ContentDlg));
    setWindowTitle(tr("Innehåll"));
    setAccessibleName(windowTitle());
    setFont(CDialogUnits::dialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.x(330), du.y(255));

    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setObjectName(idText(ControlId::ContentText));
    textEdit_->setAccessibleName(windowTitle());
    textEdit_->setGeometry(du.rect(7, 7, 316, 214));
    textEdit_->setReadOnly(true);
    // Read-only, yet the reader may move through it and copy from it with the keyboard.
    textEdit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    textEdit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    textEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textEdit_->setTabChangesFocus(true);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(idText(ControlId::Ok));
    ok->setAccessibleName(ok->text());
    ok->setGeometry(du.rect(273, 234, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setTabOrder(textEdit_, ok);
    CLayoutFit::fit(*this);
}

void CContentDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        // Long lines broken and very many cut, so that any text shows at once.
        textEdit_->setPlainText(CUiText::toQString(CContentText::forDisplay(text_)));
        textEdit_->setFocus();
    }
    QDialog::showEvent(event);
}
