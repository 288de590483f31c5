#include "send/CQuickSendPanel.h"

#include "app/CMaroketDlg.h"
#include "resources/CStringTable.h"
#include "send/CMessageFlows.h"

namespace {

constexpr int kSending = 132;
constexpr int kCheckingAddress = 139;
constexpr int kAddressValid = 141;
constexpr int kWaitingForDns = 160;
constexpr int kMessageSent = 533;

} // namespace

void CQuickSendPanel::testQuickAddress(const std::string& from, const std::string& to) {
    CSmtpSession& smtp = window_.smtp();
    const AppSettings& settings = window_.settings();
    smtp.setFrom(from);
    smtp.setTo(to);
    smtp.setHelo(settings.helo);
    smtp.dnsServer = settings.dns;
    if (to.find('@') == std::string::npos) {
        // A domain: only its exchanger is shown, no mail server is asked.
        window_.setStatus(kWaitingForDns);
        window_.setStatus(smtp.lookupMailExchanger(to));
        return;
    }
    CMessageFlows::chooseServer(smtp, settings, to, true);
    smtp.setPort(settings.smtpPort);
    smtp.setSubject("");
    window_.setStatus(kCheckingAddress);
    if (smtp.testAddress(to))
        window_.setStatus(kAddressValid);
    else
        window_.setStatus(smtp.getStatusText());
}

void CQuickSendPanel::sendQuickText(const std::string& from, const std::string& to,
                                    const std::string& text) {
    CSmtpSession& smtp = window_.smtp();
    const AppSettings& settings = window_.settings();
    window_.setStatus(kSending);
    smtp.setFrom(from);
    smtp.setTo(to);
    smtp.setHelo(settings.helo);
    // No "Direkt" here: a configured DNS server always means direct delivery.
    CMessageFlows::chooseServer(smtp, settings, to, true);
    window_.setStatus(CStringTable::load(kSending) + " " + smtp.getServer());
    smtp.setPort(settings.smtpPort);
    // Subject and encoding stay as the last new message or reply left them.
    smtp.setBody(text);
    if (smtp.send())
        window_.setStatus(kMessageSent);
    else
        window_.setStatus(smtp.getStatusText());
}
