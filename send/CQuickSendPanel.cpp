#include "send/CQuickSendPanel.h"

#include "platform/AppSettings.h"
#include "platform/CCancelRegistry.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"
#include "send/CMessageFlows.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpSession.h"
#include "send/ISendWindow.h"

void CQuickSendPanel::setStatus(StringId id) {
    window_.setStatus(CStringTable::load(id));
}

void CQuickSendPanel::testQuickAddress(const std::string& from, const std::string& to) {
    CSmtpSession& smtp = window_.smtp();
    const AppSettings& settings = window_.settings();
    smtp.setFrom(from);
    smtp.setTo(to);
    smtp.setHelo(settings.helo);
    smtp.dnsServer = settings.dns;
    if (to.find('@') == std::string::npos) {
        // A domain: only its exchanger is shown, no mail server is asked.
        setStatus(StringId::WaitingForDns);
        const std::string exchanger = smtp.lookupMailExchanger(to);
        if (CCancelRegistry::waitsStopped())
            setStatus(StringId::CancelledByUser);
        else
            window_.setStatus(exchanger);
        return;
    }
    if (!CMessageFlows::chooseServer(smtp, settings, to, true)) {
        setStatus(StringId::NoSmtpServer);
        return;
    }
    smtp.setPort(settings.smtpPort);
    smtp.setSubject("");
    setStatus(StringId::CheckingAddress);
    if (smtp.testAddress(to, CMessageFlows::loginFor(window_)))
        setStatus(StringId::AddressValid);
    else
        window_.setStatus(smtp.getStatusText());
}

void CQuickSendPanel::sendQuickText(const std::string& from, const std::string& to,
                                    const std::string& text) {
    CSmtpSession& smtp = window_.smtp();
    const AppSettings& settings = window_.settings();
    setStatus(StringId::Sending);
    smtp.setFrom(from);
    smtp.setTo(to);
    smtp.setHelo(settings.helo);
    // No "Direkt" here: a configured DNS server always means direct delivery.
    if (!CMessageFlows::chooseServer(smtp, settings, to, true)) {
        setStatus(StringId::NoSmtpServer);
        return;
    }
    window_.setStatus(CStringTable::load(StringId::Sending) + " " + smtp.getServer());
    smtp.setPort(settings.smtpPort);
    // Subject and encoding stay as the last new message or reply left them.
    smtp.setBody(text);
    const CSmtpLogin login = CMessageFlows::loginFor(window_);
    if (smtp.send(login))
        window_.setStatus(CMessageFlows::sentText(login));
    else
        window_.setStatus(smtp.getStatusText());
}
