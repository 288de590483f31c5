#include "app/CLoginFields.h"

#include "dialogs/CUiText.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>

namespace {

QString text(const std::string& bytes) {
    return CUiText::toQString(bytes);
}

std::string bytes(const QLineEdit* edit) {
    return CUiText::toBytes(edit->text());
}

} // namespace

CSecret CLoginFields::typedPassword() const {
    QByteArray utf8 = controls_.password->text().toUtf8();
    CSecret password(std::string(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    // The conversion's own copy goes too.
    utf8.fill('\0');
    return password;
}

void CLoginFields::readControls() {
    server_ = bytes(controls_.server);
    account_ = bytes(controls_.account);
    tele2_ = controls_.tele2->isChecked();
    quickFrom_ = bytes(controls_.quickFrom);
    quickText_ = bytes(controls_.quickText);
    quickTo_ = bytes(controls_.quickTo);
}

void CLoginFields::writeControls() {
    controls_.server->setText(text(server_));
    controls_.account->setText(text(account_));
    controls_.tele2->setChecked(tele2_);
    controls_.quickFrom->setText(text(quickFrom_));
    controls_.quickText->setText(text(quickText_));
    controls_.quickTo->setText(text(quickTo_));
}

IMailboxWindow::LoginFields CLoginFields::take() {
    readControls();
    if (tele2_) {
        // No slot for the account's second character: the typed server stays.
        std::string host = ispHostTable_.hostFor(account_);
        if (!host.empty())
            server_ = host;
    }
    writeControls();
    return {server_, account_, typedPassword()};
}

void CLoginFields::clear() {
    readControls();
    server_.clear();
    controls_.password->clear();
    account_.clear();
    savedRecipient_ = quickTo_;
    quickTo_.clear();
    writeControls();
}

void CLoginFields::restore(const IMailboxWindow::LoginFields& last) {
    readControls();
    if (!last.account.empty() && !last.password.empty()) {
        account_ = last.account;
        const std::string_view password = last.password.view();
        controls_.password->setText(
            QString::fromUtf8(password.data(), static_cast<qsizetype>(password.size())));
    }
    if (!savedRecipient_.empty())
        quickTo_ = savedRecipient_;
}

void CLoginFields::onTele2() {
    readControls();
    controls_.server->setEnabled(!tele2_);
    (tele2_ ? controls_.account : controls_.server)->setFocus(Qt::OtherFocusReason);
}

void CLoginFields::focusLoginField() {
    QLineEdit* field = controls_.tele2->isChecked() ? controls_.account : controls_.server;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void CLoginFields::noteFocus(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusIn)
        return;
    if (watched == controls_.account || watched == controls_.password)
        enterConnects_ = true;
    else if (watched == controls_.quickTo)
        enterConnects_ = false;
}
