#include "send/CSmtpSession.h"

#include "platform/CCancelRegistry.h"
#include "platform/CSocketFactory.h"
#include "send/CDataEnding.h"
#include "send/CForwardTransfer.h"
#include "send/CMessageComposer.h"
#include "send/CMessageStamps.h"
#include "send/CMxResolver.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpNegotiation.h"
#include "send/CSmtpReply.h"

CSmtpSession::CSmtpSession()
    : ownStamps_(std::make_unique<CMessageStamps>()), stamps_(ownStamps_.get()),
      ownFactory_(std::make_unique<CSocketFactory>()), factory_(ownFactory_.get()) {}

CSmtpSession::~CSmtpSession() = default;

void CSmtpSession::setSocketFactory(ISocketFactory* factory) {
    factory_ = factory ? factory : ownFactory_.get();
}

void CSmtpSession::setMessageStamps(IMessageStamps* stamps) {
    stamps_ = stamps ? stamps : ownStamps_.get();
}

void CSmtpSession::splitAddresses() {
    fromHeader_.clear();
    toHeader_.clear();
    auto split = [](std::string& address, std::string& header) {
        const auto open = address.find('<');
        const auto close = address.find('>');
        header = address;
        if (open == std::string::npos || close == std::string::npos || close < open)
            return;
        address = header.substr(open + 1, close - open - 1);
    };
    split(toAddress_, toHeader_);
    split(fromAddress_, fromHeader_);
}

bool CSmtpSession::refuseLineBreaks(std::initializer_list<const std::string*> texts) {
    for (const std::string* text : texts)
        if (text->find_first_of("\r\n") != std::string::npos) {
            channel_.setStatus(StringId::LineBreakInField);
            return true;
        }
    return false;
}

bool CSmtpSession::refuseMissingSender() {
    if (fromAddress_.find_first_not_of(" \t") != std::string::npos)
        return false;
    channel_.setStatus(StringId::NoSenderAddress);
    return true;
}

bool CSmtpSession::connect() {
    channel_.close();
    // A lookup that found no exchanger leaves the server empty: nothing to try. One the user
    // stopped says so.
    if (server_.empty()) {
        channel_.setStatus(CCancelRegistry::waitsStopped() ? StringId::CancelledByUser
                                                           : StringId::CannotConnect);
        return false;
    }
    // SMTP over TLS has its own port, where TLS starts with the first byte.
    if (!channel_.open(*factory_, server_, port_, port_ == kTlsPort))
        return false;
    const bool extensions = port_ == kTlsPort || port_ == kSubmissionPort;
    return CSmtpNegotiation(channel_, *factory_, tlsMemory_, login_)
        .run(extensions, port_, heloName_);
}

int CSmtpSession::transmitMessage() {
    if (!forwardFile_.empty())
        return forwardFile();
    // Typed text becomes the message's bytes here, in the charset each text fits.
    const std::string date = stamps_->date();
    const std::string id = stamps_->messageId(CMessageStamps::idDomain(fromAddress_));
    const std::string message = CMessageComposer::composeMessage(
        {date, fromHeader_, toHeader_, subject_, id}, body_, quotedPrintable);
    CDataEnding ending;
    if (!channel_.send(SmtpStep::Data, message))
        return 0;
    ending.feed(message);
    return finishData(ending);
}

int CSmtpSession::finishData(const CDataEnding& ending) {
    const std::string_view terminator = ending.terminator();
    if (!terminator.empty() && !channel_.send(SmtpStep::Data, terminator))
        return 0;
    // Only a positive answer means the server took the message. A reply cut after its first
    // byte is judged by that byte: the rest cannot change it.
    CSmtpReply reply(CSmtpReply::Extent::OneReceive);
    if (!channel_.read(SmtpStep::Data, reply, kEndReplyMax))
        return 0;
    if (reply.text().starts_with('2'))
        return 1;
    channel_.refuse(SmtpStep::Data, reply.text());
    return 0;
}

int CSmtpSession::forwardFile() {
    // A file from RETR ends with its own terminating line, so nothing is added to it. Once
    // opened the file is used up, whatever happens to the transfer.
    CForwardTransfer transfer(channel_, progressHost_);
    CDataEnding ending;
    return transfer.open(forwardFile_) && transfer.send(ending) ? finishData(ending) : 0;
}

bool CSmtpSession::sendEnvelope(const std::string& recipientLine, bool quotedSenderRetry) {
    if (!connect() || !channel_.send(SmtpStep::MailFrom, "MAIL FROM: <" + fromAddress_ + ">\r\n"))
        return false;
    if (!channel_.expect(SmtpStep::MailFrom, "250")) {
        // Some servers want the sender quoted; a lost connection gets no second try.
        if (!quotedSenderRetry || !channel_.isOpen() ||
            !channel_.send(SmtpStep::MailFrom, "MAIL FROM: \"" + fromAddress_ + "\"\r\n") ||
            !channel_.expect(SmtpStep::MailFrom, "250"))
            return false;
    }
    return channel_.send(SmtpStep::RcptTo, recipientLine) &&
           channel_.expect(SmtpStep::RcptTo, "250");
}

int CSmtpSession::finish(bool ok, StringId doneText) {
    if (ok) {
        // The server has what it was asked for; whatever QUIT meets changes nothing.
        CSmtpReply reply(CSmtpReply::Extent::OneReceive);
        if (channel_.send(SmtpStep::Quit, "QUIT\r\n"))
            channel_.read(SmtpStep::Quit, reply);
        channel_.setStatus(doneText);
    }
    channel_.close();
    return ok ? 1 : 0;
}

int CSmtpSession::send() {
    return send(CSmtpLogin{});
}

int CSmtpSession::send(const CSmtpLogin& login) {
    login_ = &login;
    const int result = deliver();
    login_ = nullptr;
    forwardFile_.clear();
    return result;
}

int CSmtpSession::testAddress(const std::string& address) {
    return testAddress(address, CSmtpLogin{});
}

int CSmtpSession::testAddress(const std::string& address, const CSmtpLogin& login) {
    login_ = &login;
    const int result = test(address);
    login_ = nullptr;
    return result;
}

int CSmtpSession::deliver() {
    splitAddresses();
    channel_.setCancelledText(forwardFile_.empty() ? StringId::CancelledByUser
                                                   : StringId::ForwardCancelled);
    if (refuseLineBreaks(
            {&fromAddress_, &fromHeader_, &toAddress_, &toHeader_, &heloName_, &subject_}) ||
        refuseMissingSender())
        return 0;
    // Anything but a go-ahead to DATA: the lines of the message would be read as commands.
    const bool ok = sendEnvelope("RCPT TO:<" + toAddress_ + ">\r\n", true) &&
                    channel_.send(SmtpStep::Data, "DATA\r\n") &&
                    channel_.expect(SmtpStep::Data, "3") && transmitMessage();
    return finish(ok, StringId::MessageSent);
}

int CSmtpSession::test(const std::string& address) {
    splitAddresses();
    channel_.setCancelledText(forwardFile_.empty() ? StringId::CancelledByUser
                                                   : StringId::ForwardCancelled);
    if (refuseLineBreaks({&fromAddress_, &fromHeader_, &heloName_, &address}))
        return 0;
    return finish(sendEnvelope("RCPT TO: <" + address + ">\r\n", false),
                  StringId::RecipientAccepted);
}

std::string CSmtpSession::lookupMailExchanger(const std::string& domain) {
    CMxResolver resolver(factory_);
    resolver.setDnsServer(dnsServer);
    resolver.lookup(domain);
    return resolver.getResult();
}
