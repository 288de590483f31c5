#include "dialogs/CSettingsDlg.h"

#include "app/CUiText.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CIntegerRule.h"
#include "dialogs/DialogResult.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include <limits>

namespace {

constexpr int timeoutLow = 1;
constexpr int timeoutHigh = 10;

} // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent) : QDialog(parent) {
    // Caption without system menu and without close box: the dialog ends through its buttons,
    // Enter or Escape.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Inställningar"));
    setFont(CDialogUnits::dialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.x(220), du.y(193));

    const auto label = [this, &du](const QString& text, QRect units, Qt::Alignment align) {
        auto* l = new QLabel(text, this);
        l->setGeometry(du.rect(units.x(), units.y(), units.width(), units.height()));
        l->setAlignment(align);
        return l;
    };
    // An edit named after the label before it, for tests by its id and for screen readers by
    // its caption. Edits are created in tab order, so the focus chain follows without help.
    const auto edit = [this, &du](const char* id, QLabel* caption, QRect at) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(id));
        e->setAccessibleName(caption->text());
        caption->setBuddy(e);
        e->setGeometry(du.rect(at.x(), at.y(), at.width(), at.height()));
        e->setMaxLength(std::numeric_limits<int>::max()); // no limit on what may be typed
        return e;
    };
    const auto field = [&label, &edit](const char* id, const QString& caption, QRect captionAt,
                                       Qt::Alignment align, QRect at) {
        return edit(id, label(caption, captionAt, align), at);
    };
    const Qt::Alignment top = Qt::AlignLeft | Qt::AlignTop;
    const Qt::Alignment middle = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    const Qt::Alignment rightMiddle = Qt::AlignRight | Qt::AlignVCenter;

    quickLoginEdit_ = field("1100", QStringLiteral("Snabbinloggning vid fler än"), {15, 14, 90, 10},
                            top, {105, 12, 23, 12});
    label(QStringLiteral("brev."), {133, 14, 17, 8}, top);
    linesEdit_ = field("1036", QStringLiteral("Vid granskning, visa"), {36, 31, 65, 8}, middle,
                       {105, 29, 23, 12});
    label(QStringLiteral("rader."), {133, 31, 19, 8}, top);

    // The idle time-out is exchanged and checked like the other fields, but the user never
    // sees it: its controls exist and stay hidden.
    QLabel* timeoutBefore = label(QStringLiteral("Koppla från efter"), {48, 48, 53, 8}, top);
    timeoutEdit_ = edit("1101", timeoutBefore, {105, 46, 23, 12});
    QLabel* timeoutAfter = label(QStringLiteral("minuters inaktivitet."), {132, 48, 61, 8}, top);
    timeoutBefore->hide();
    timeoutEdit_->hide();
    timeoutAfter->hide();

    portEdit_ = field("1034", QStringLiteral("Pop3-port:"), {45, 71, 34, 10}, rightMiddle,
                      {85, 70, 23, 12});
    smtpPortEdit_ = field("1043", QStringLiteral("Smtp-port:"), {123, 72, 33, 9}, rightMiddle,
                          {161, 70, 23, 12});
    heloEdit_ = field("1041", QStringLiteral("Identifiering för HELO:"), {10, 94, 70, 13},
                      rightMiddle, {85, 94, 118, 12});
    smtpServerEdit_ = field("1042", QStringLiteral("SMTP-server:"), {36, 112, 44, 14}, rightMiddle,
                            {85, 113, 118, 12});
    addressEdit_ =
        field("1092", QStringLiteral("E-postadress:"), {36, 135, 44, 8}, right, {85, 133, 118, 12});

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("1"));
    okButton_->setAccessibleName(QStringLiteral("OK"));
    okButton_->setGeometry(du.rect(104, 174, 50, 14));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    cancelButton_ = new QPushButton(QStringLiteral("Avbryt"), this);
    cancelButton_->setObjectName(QStringLiteral("2"));
    cancelButton_->setAccessibleName(QStringLiteral("Avbryt"));
    cancelButton_->setGeometry(du.rect(164, 175, 50, 14));
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    // The DNS field follows the buttons in the tab order.
    dnsEdit_ = field("1110", QStringLiteral("DNS:"), {63, 153, 18, 8}, top, {85, 151, 118, 12});
}

int CSettingsDlg::run() {
    return DialogResult::run(*this);
}

void CSettingsDlg::showEvent(QShowEvent* event) {
    // Every opening, however it is started, shows the values as they are now. A show that
    // comes from the window system (restoring the window) must not overwrite what was typed.
    if (!event->spontaneous()) {
        putFields();
        quickLoginEdit_->setFocus();
        quickLoginEdit_->selectAll();
    }
    QDialog::showEvent(event);
}

void CSettingsDlg::putFields() {
    linesEdit_->setText(QString::number(lines_));
    portEdit_->setText(QString::number(port_));
    heloEdit_->setText(CUiText::toQString(helo_));
    smtpServerEdit_->setText(CUiText::toQString(smtpServer_));
    smtpPortEdit_->setText(QString::number(smtpPort_));
    addressEdit_->setText(CUiText::toQString(address_));
    quickLoginEdit_->setText(QString::number(quickLogin));
    timeoutEdit_->setText(QString::number(timeout));
    dnsEdit_->setText(CUiText::toQString(dns));
}

void CSettingsDlg::accept() {
    // Read into copies and take them over only when all nine pass, so that an OK refused half
    // way leaves nothing behind for a later Avbryt to keep.
    int lines = 0;
    int port = 0;
    int smtpPort = 0;
    int quick = 0;
    int idle = 0;
    if (!readInteger(linesEdit_, lines) || !readInteger(portEdit_, port))
        return;
    std::string helo = CUiText::toBytes(heloEdit_->text());
    std::string smtpServer = CUiText::toBytes(smtpServerEdit_->text());
    if (!readInteger(smtpPortEdit_, smtpPort))
        return;
    std::string address = CUiText::toBytes(addressEdit_->text());
    if (!readInteger(quickLoginEdit_, quick) || !readInteger(timeoutEdit_, idle))
        return;
    if (idle < timeoutLow || idle > timeoutHigh) {
        refuse(timeoutEdit_,
               CUiText::toQString(CIntegerRule::rangeMessage(timeoutLow, timeoutHigh)));
        return;
    }
    std::string dnsServer = CUiText::toBytes(dnsEdit_->text());

    lines_ = lines;
    port_ = port;
    helo_ = std::move(helo);
    smtpServer_ = std::move(smtpServer);
    smtpPort_ = smtpPort;
    address_ = std::move(address);
    quickLogin = quick;
    timeout = idle;
    dns = std::move(dnsServer);
    QDialog::accept();
}

bool CSettingsDlg::readInteger(QLineEdit* edit, int& value) {
    // A character outside Latin-1 turns into "?", which the rule refuses like any other.
    if (CIntegerRule::parse(CUiText::toBytes(edit->text()), value))
        return true;
    refuse(edit, CUiText::toQString(std::string(CIntegerRule::notAnInteger)));
    return false;
}

void CSettingsDlg::refuse(QLineEdit* edit, const QString& text) {
    if (warningHook_) {
        warningHook_(text);
    } else {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Maroket"), text, QMessageBox::Ok,
                        this);
        box.exec();
    }
    // The refused field gets the focus with its text selected, ready to be typed over. The
    // hidden idle time-out cannot take it: there the focus stays where it was, rather than
    // pointing at a visible field that is not at fault; the message names the range.
    if (edit->isVisibleTo(this)) {
        edit->setFocus();
        edit->selectAll();
    }
}
