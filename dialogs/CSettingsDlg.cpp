#include "dialogs/CSettingsDlg.h"

#include "dialogs/CDialogUnits.h"
#include "dialogs/CIntegerRule.h"
#include "dialogs/CLayoutFit.h"
#include "dialogs/CUiLanguage.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <limits>
#include <utility>

namespace {

constexpr int timeoutLow = 1;
constexpr int timeoutHigh = 10;

constexpr Qt::Alignment top = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment middle = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
constexpr Qt::Alignment rightMiddle = Qt::AlignRight | Qt::AlignVCenter;

} // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent) : QDialog(parent), refusal_(this) {
    // Caption without system menu and without close box: the dialog ends through its buttons,
    // Enter or Escape.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(tr("Inställningar"));
    setFont(CDialogUnits::dialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.x(220), du.y(193));

    buildListFields();
    buildServerFields();
    buildButtons();
    // The DNS field follows the buttons in the tab order.
    dnsEdit_ = addField(ControlId::DnsEdit, tr("DNS:"), {63, 153, 18, 8}, top, {85, 151, 118, 12});
    CLayoutFit::fit(*this);
}

QLabel* CSettingsDlg::addLabel(const QString& text, QRect units, Qt::Alignment align) {
    const CDialogUnits du(font());
    auto* label = new QLabel(text, this);
    label->setGeometry(du.rect(units.x(), units.y(), units.width(), units.height()));
    label->setAlignment(align);
    return label;
}

// An edit named after the label before it, for tests by its id and for screen readers by its
// caption. Edits are created in tab order, so the focus chain follows without help.
QLineEdit* CSettingsDlg::addEdit(ControlId id, QLabel* caption, QRect at) {
    const CDialogUnits du(font());
    auto* edit = new QLineEdit(this);
    edit->setObjectName(idText(id));
    edit->setAccessibleName(caption->text());
    caption->setBuddy(edit);
    edit->setGeometry(du.rect(at.x(), at.y(), at.width(), at.height()));
    edit->setMaxLength(std::numeric_limits<int>::max()); // no limit on what may be typed
    return edit;
}

QLineEdit* CSettingsDlg::addField(ControlId id, const QString& caption, QRect captionAt,
                                  Qt::Alignment align, QRect at) {
    return addEdit(id, addLabel(caption, captionAt, align), at);
}

void CSettingsDlg::buildListFields() {
    quickLoginEdit_ = addField(ControlId::QuickLoginEdit, tr("Snabbinloggning vid fler än"),
                               {15, 14, 90, 10}, top, {105, 12, 23, 12});
    addLabel(tr("brev."), {133, 14, 17, 8}, top);
    linesEdit_ = addField(ControlId::LinesEdit, tr("Vid granskning, visa"), {36, 31, 65, 8}, middle,
                          {105, 29, 23, 12});
    addLabel(tr("rader."), {133, 31, 19, 8}, top);

    // The idle time-out is exchanged and checked like the other fields, but the user never
    // sees it: its controls exist and stay hidden.
    QLabel* timeoutBefore = addLabel(tr("Koppla från efter"), {48, 48, 53, 8}, top);
    timeoutEdit_ = addEdit(ControlId::TimeoutEdit, timeoutBefore, {105, 46, 23, 12});
    QLabel* timeoutAfter = addLabel(tr("minuters inaktivitet."), {132, 48, 61, 8}, top);
    timeoutBefore->hide();
    timeoutEdit_->hide();
    timeoutAfter->hide();
}

void CSettingsDlg::buildServerFields() {
    portEdit_ = addField(ControlId::PortEdit, tr("Pop3-port:"), {45, 71, 34, 10}, rightMiddle,
                         {85, 70, 23, 12});
    smtpPortEdit_ = addField(ControlId::SmtpPortEdit, tr("Smtp-port:"), {123, 72, 33, 9},
                             rightMiddle, {161, 70, 23, 12});
    heloEdit_ = addField(ControlId::HeloEdit, tr("Identifiering för HELO:"), {10, 94, 70, 13},
                         rightMiddle, {85, 94, 118, 12});
    smtpServerEdit_ = addField(ControlId::SmtpServerEdit, tr("SMTP-server:"), {36, 112, 44, 14},
                               rightMiddle, {85, 113, 118, 12});
    addressEdit_ = addField(ControlId::AddressEdit, tr("E-postadress:"), {36, 135, 44, 8}, right,
                            {85, 133, 118, 12});
}

void CSettingsDlg::buildButtons() {
    const CDialogUnits du(font());
    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(idText(ControlId::Ok));
    okButton_->setAccessibleName(tr("OK"));
    okButton_->setGeometry(du.rect(104, 174, 50, 14));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    cancelButton_ = new QPushButton(tr("Avbryt"), this);
    cancelButton_->setObjectName(idText(ControlId::Cancel));
    cancelButton_->setAccessibleName(tr("Avbryt"));
    cancelButton_->setGeometry(du.rect(164, 175, 50, 14));
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
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
    linesEdit_->setText(QString::number(settings_.lines));
    portEdit_->setText(QString::number(settings_.port));
    heloEdit_->setText(CUiText::toQString(settings_.helo));
    smtpServerEdit_->setText(CUiText::toQString(settings_.smtpServer));
    smtpPortEdit_->setText(QString::number(settings_.smtpPort));
    addressEdit_->setText(CUiText::toQString(settings_.address));
    quickLoginEdit_->setText(QString::number(settings_.quickLogin));
    timeoutEdit_->setText(QString::number(settings_.timeout));
    dnsEdit_->setText(CUiText::toQString(settings_.dns));
}

void CSettingsDlg::accept() {
    // Read into a copy and take it over only when all nine pass, so that an OK refused half way
    // leaves nothing behind for a later Avbryt to keep.
    AppSettings read = settings_;
    if (!refusal_.readInteger(linesEdit_, read.lines) ||
        !refusal_.readInteger(portEdit_, read.port))
        return;
    read.helo = CUiText::toBytes(heloEdit_->text());
    read.smtpServer = CUiText::toBytes(smtpServerEdit_->text());
    if (!refusal_.readInteger(smtpPortEdit_, read.smtpPort))
        return;
    read.address = CUiText::toBytes(addressEdit_->text());
    if (!refusal_.readInteger(quickLoginEdit_, read.quickLogin) ||
        !refusal_.readInteger(timeoutEdit_, read.timeout))
        return;
    if (read.timeout < timeoutLow || read.timeout > timeoutHigh) {
        const std::string pattern = CUiText::toBytes(
            CUiLanguage::translate("CIntegerRule", CIntegerRule::rangePattern.data()));
        refusal_.refuse(timeoutEdit_, CUiText::toQString(CIntegerRule::rangeMessage(
                                          timeoutLow, timeoutHigh, pattern)));
        return;
    }
    read.dns = CUiText::toBytes(dnsEdit_->text());
    settings_ = std::move(read);
    QDialog::accept();
}
