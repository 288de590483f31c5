#include "dialogs/CComposeDlg.h"

#include "dialogs/CDialogUnits.h"
#include "dialogs/CLayoutFit.h"
#include "dialogs/CQuoting.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBlock>

namespace {

const QString crLf = QStringLiteral("\r\n");

// A fixed-pitch font is wider than the one the layout was drawn with: the layout's fit gives a
// label the room before the field it names, or after the field before it.
QLabel* addLabel(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(rect);
    return label;
}

QLineEdit* addLineEdit(QWidget* parent, ControlId id, const QString& name, const QRect& rect) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(idText(id));
    edit->setAccessibleName(name);
    edit->setGeometry(rect);
    return edit;
}

// The edit's text with CR LF line ends, also for lines broken with Shift+Enter. Reads the
// blocks themselves: toPlainText() would turn no-break spaces into plain ones.
QString textWithCrLf(const QPlainTextEdit* edit) {
    QString text;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        if (block != edit->document()->begin())
            text += crLf;
        text += block.text().replace(QChar::LineSeparator, crLf);
    }
    return text;
}

} // namespace

CComposeDlg::CComposeDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    setObjectName(idText(ControlId::ComposeDlg));
    setWindowTitle(tr("Nytt brev"));
    setAccessibleName(windowTitle());
    // Fixed pitch, so that quoted text keeps its columns.
    setFont(CDialogUnits::fixedFont());
    const CDialogUnits du(font());
    setFixedSize(du.x(351), du.y(254));

    addLabel(this, tr("Från:"), du.rect(11, 14, 17, 8));
    addLabel(this, tr("Till:"), du.rect(118, 14, 21, 8));
    addLabel(this, tr("Ärende:"), du.rect(231, 14, 31, 8));

    bodyEdit_ = new QPlainTextEdit(this);
    bodyEdit_->setObjectName(idText(ControlId::BodyEdit));
    bodyEdit_->setAccessibleName(tr("Brevtext"));
    bodyEdit_->setGeometry(du.rect(7, 32, 337, 192));
    bodyEdit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    bodyEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bodyEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Enter starts a new line here; Tab moves on, as in every other field of a dialog.
    bodyEdit_->setTabChangesFocus(true);

    fromEdit_ = addLineEdit(this, ControlId::FromEdit, tr("Från"), du.rect(33, 12, 79, 12));
    subjectEdit_ =
        addLineEdit(this, ControlId::SubjectEdit, tr("Ärende"), du.rect(262, 13, 79, 12));
    toEdit_ = addLineEdit(this, ControlId::ToEdit, tr("Till"), du.rect(141, 12, 79, 12));

    directCheck_ = new QCheckBox(tr("Direkt"), this);
    directCheck_->setObjectName(idText(ControlId::DirectBox));
    directCheck_->setAccessibleName(directCheck_->text());
    directCheck_->setGeometry(du.rect(195, 235, 40, 10));

    auto* send = new QPushButton(tr("Skicka"), this);
    send->setObjectName(idText(ControlId::Ok));
    send->setAccessibleName(send->text());
    send->setGeometry(du.rect(239, 233, 50, 14));
    send->setDefault(true);
    connect(send, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(tr("Avbryt"), this);
    cancel->setObjectName(idText(ControlId::Cancel));
    cancel->setAccessibleName(cancel->text());
    cancel->setGeometry(du.rect(294, 233, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(fromEdit_, toEdit_);
    setTabOrder(toEdit_, subjectEdit_);
    setTabOrder(subjectEdit_, bodyEdit_);
    setTabOrder(bodyEdit_, directCheck_);
    setTabOrder(directCheck_, send);
    setTabOrder(send, cancel);
    CLayoutFit::fit(*this);
}

void CComposeDlg::SetQuotedBody(const std::string& text) {
    body_ = CQuoting::quote(text);
}

void CComposeDlg::accept() {
    controlsToFields();
    QDialog::accept();
}

void CComposeDlg::reject() {
    // Typed text is never thrown away without a question; an untouched window just closes.
    if (isVisible() && shownTexts() != opened_) {
        const QString question = CUiText::toQString(CStringTable::load(StringId::DiscardMessage));
        const bool discard = ask_ ? ask_(question)
                                  : QMessageBox::question(this, QStringLiteral("Maroket"), question,
                                                          QMessageBox::Yes | QMessageBox::No,
                                                          QMessageBox::No) == QMessageBox::Yes;
        if (!discard)
            return;
    }
    QDialog::reject();
}

void CComposeDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        fieldsToControls();
        opened_ = shownTexts();
        chooseFocus();
    }
    QDialog::showEvent(event);
}

QStringList CComposeDlg::shownTexts() const {
    return {textWithCrLf(bodyEdit_), fromEdit_->text(), subjectEdit_->text(), toEdit_->text()};
}

// Both directions in the same order: body, from, subject, to, direct.
void CComposeDlg::fieldsToControls() {
    bodyEdit_->setPlainText(CUiText::toQString(body_));
    fromEdit_->setText(CUiText::toQString(from_));
    subjectEdit_->setText(CUiText::toQString(subject_));
    toEdit_->setText(CUiText::toQString(to_));
    directCheck_->setChecked(direct_);
}

void CComposeDlg::controlsToFields() {
    body_ = CUiText::toBytes(textWithCrLf(bodyEdit_));
    from_ = CUiText::toBytes(fromEdit_->text());
    subject_ = CUiText::toBytes(subjectEdit_->text());
    to_ = CUiText::toBytes(toEdit_->text());
    direct_ = directCheck_->isChecked();
}

// A reply (from and to known) starts in the body, a new message from a known sender in the to
// field. Without a sender no control is chosen: the dialog itself holds the focus, so the
// window does not hand it to the first field, and Tab reaches "Från" first.
void CComposeDlg::chooseFocus() {
    if (!fromEdit_->text().isEmpty()) {
        if (!toEdit_->text().isEmpty())
            bodyEdit_->setFocus();
        else
            toEdit_->setFocus();
    } else {
        setFocus();
    }
}
