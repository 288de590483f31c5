#include "send/CSmtpSession.h"

#include "platform/CCancelRegistry.h"
#include "platform/CConnectFailureText.h"
#include "platform/CFile.h"
#include "platform/CProgressThread.h"
#include "platform/CSocketFactory.h"
#include "platform/CTlsMemory.h"
#include "pop3/CCharset.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"
#include "send/CMessageComposer.h"
#include "send/CMessageStamps.h"
#include "send/CMxResolver.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpReply.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

StringId labelOf(CSmtpSession::SmtpStep step) {
    switch (step) {
    case CSmtpSession::StepHelo:
        return StringId::HeloLabel;
    case CSmtpSession::StepEhlo:
        return StringId::EhloLabel;
    case CSmtpSession::StepStartTls:
        return StringId::StartTlsLabel;
    case CSmtpSession::StepAuth:
        return StringId::AuthLabel;
    case CSmtpSession::StepMailFrom:
        return StringId::MailFromLabel;
    case CSmtpSession::StepRcptTo:
        return StringId::RcptToLabel;
    default:
        return StringId::DataLabel;
    }
}

// The reply code test: the first characters of the reply (as many as the code has), case ignored.
// A reply shorter than the code is refused.
bool beginsWith(std::string_view reply, std::string_view code) {
    return CCharset::startsWithIgnoringCase(reply, code);
}

int clampToInt(long long value) {
    return static_cast<int>(std::min<long long>(value, INT_MAX));
}

// prefix, the bytes in base64 and CR LF: a line of the login, built in place so that no copy of
// the secret is left behind in memory that was given back.
std::string encodedLine(std::string_view prefix, std::string_view bytes) {
    std::string line(prefix.size() + 4 * ((bytes.size() + 2) / 3) + 3, '\0');
    std::copy(prefix.begin(), prefix.end(), line.begin());
    const int length = EVP_EncodeBlock(
        reinterpret_cast<unsigned char*>(line.data() + prefix.size()),
        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    line.resize(prefix.size() + static_cast<std::size_t>(std::max(length, 0)));
    line += "\r\n";
    return line;
}

} // namespace

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

void CSmtpSession::setStatusFromTable(StringId id) {
    statusText_ = CStringTable::load(id);
}

bool CSmtpSession::isConnected() const {
    return socket_ && socket_->isOpen();
}

void CSmtpSession::closeSocket() {
    if (socket_)
        socket_->close();
    socket_.reset();
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
            setStatusFromTable(StringId::LineBreakInField);
            return true;
        }
    return false;
}

bool CSmtpSession::refuseMissingSender() {
    if (fromAddress_.find_first_not_of(" \t") != std::string::npos)
        return false;
    setStatusFromTable(StringId::NoSenderAddress);
    return true;
}

void CSmtpSession::failStep(SmtpStep step, StringId reasonId) {
    const std::string reason = CStringTable::load(reasonId);
    if (step == StepGreeting)
        statusText_ = CStringTable::load(StringId::GreetingRefused) + " " + reason;
    else
        statusText_ = server_ + ": " + CStringTable::load(labelOf(step)) + " " + reason;
    // Whatever the server sends later could not be told apart from the next reply.
    closeSocket();
}

bool CSmtpSession::connectAndGreet() {
    closeSocket();
    // A lookup that found no exchanger leaves the server empty: nothing to try. One the user
    // stopped says so.
    if (server_.empty()) {
        setStatusFromTable(CCancelRegistry::waitsStopped() ? StringId::CancelledByUser
                                                           : StringId::CannotConnect);
        return false;
    }
    // SMTP over TLS has its own port, where TLS starts with the first byte.
    secure_ = port_ == kTlsPort;
    socket_ = factory_->createStream(secure_ ? StreamSecurity::Tls : StreamSecurity::Plain);
    if (!socket_ || !socket_->connect(server_, port_)) {
        statusText_ = CConnectFailureText::of(
            socket_ ? socket_->connectFailure() : ConnectFailure::Unspecified, server_, port_);
        closeSocket();
        return false;
    }
    if (!speaksExtensions())
        return checkReply(StepGreeting) == 1;
    // Before EHLO the whole greeting is read, so that none of its lines is taken for the reply
    // to EHLO.
    CSmtpReply greeting;
    if (!receiveWhole(StepGreeting, greeting))
        return false;
    if (beginsWith(greeting.text(), "220"))
        return true;
    setStatusFromTable(StringId::GreetingRefused);
    return false;
}

bool CSmtpSession::receiveWhole(SmtpStep step, CSmtpReply& reply) {
    while (!reply.complete()) {
        std::string_view chunk;
        if (!receiveReply(step, kReplyMax, chunk))
            return false;
        reply.feed(chunk);
    }
    return true;
}

bool CSmtpSession::introduce() {
    if (!speaksExtensions())
        return sendLine(StepHelo, "HELO " + heloName_ + "\r\n") && checkReply(StepHelo);
    CSmtpReply offer;
    if (!ehlo(offer))
        return false;
    // TLS first where offered; what the server listed in clear counts for nothing afterwards.
    if (!secure_ && (!tlsAsBefore(offer.offersStartTls()) ||
                     (offer.offersStartTls() && (!startTls() || !ehlo(offer)))))
        return false;
    return logIn(offer);
}

bool CSmtpSession::tlsAsBefore(bool offered) {
    if (!tlsMemory_)
        return true;
    if (offered) {
        tlsMemory_->remember(CTlsMemory::Offer::StartTls, server_, port_);
        return true;
    }
    if (!tlsMemory_->offeredBefore(CTlsMemory::Offer::StartTls, server_, port_))
        return true;
    statusText_ = CStringTable::load(StringId::CannotConnect) + " " +
                  CStringTable::load(StringId::StartTlsWithdrawn);
    closeSocket();
    return false;
}

bool CSmtpSession::ehlo(CSmtpReply& offer) {
    offer = CSmtpReply{};
    if (!sendLine(StepEhlo, "EHLO " + heloName_ + "\r\n") || !receiveWhole(StepEhlo, offer))
        return false;
    if (beginsWith(offer.text(), "250"))
        return true;
    refuse(StepEhlo, offer.text());
    return false;
}

bool CSmtpSession::startTls() {
    CSmtpReply reply;
    if (!sendLine(StepStartTls, "STARTTLS\r\n") || !receiveWhole(StepStartTls, reply))
        return false;
    const bool refused = !beginsWith(reply.text(), "220");
    // Bytes after the go-ahead would be read as if TLS had protected them.
    if (refused || reply.hasTrailing()) {
        statusText_ = CConnectFailureText::of(ConnectFailure::HandshakeFailed);
        if (refused)
            statusText_ += " " + CStringTable::load(StringId::StartTlsLabel) + " " + reply.text();
        closeSocket();
        return false;
    }
    socket_ = factory_->startTls(std::move(socket_), server_);
    if (isConnected()) {
        secure_ = true;
        return true;
    }
    statusText_ = CConnectFailureText::of(
        socket_ ? socket_->connectFailure() : ConnectFailure::HandshakeFailed, server_, port_);
    closeSocket();
    return false;
}

bool CSmtpSession::logIn(const CSmtpReply& offer) {
    if (!login_ || login_->empty())
        return true;
    const bool plain = offer.listsAuth("PLAIN");
    // A server that offers neither mechanism says at MAIL FROM whether it wants a login.
    if (!plain && !offer.listsAuth("LOGIN"))
        return true;
    if (!secure_) {
        statusText_ = server_ + ": " + CStringTable::load(StringId::AuthLabel) + " " +
                      CStringTable::load(StringId::PasswordNeedsTls);
        closeSocket();
        return false;
    }
    const std::string& account = login_->account();
    const std::string_view password = login_->secret().view();
    if (!plain)
        return authStep("AUTH LOGIN\r\n", "334") && authStep(encodedLine("", account), "334") &&
               authStep(encodedLine("", password), "235");
    std::string credentials;
    credentials.reserve(account.size() + password.size() + 2);
    credentials.append(1, '\0').append(account).append(1, '\0').append(password);
    std::string line = encodedLine("AUTH PLAIN ", credentials);
    CSecret::wipe(credentials);
    return authStep(std::move(line), "235");
}

bool CSmtpSession::authStep(std::string line, std::string_view code) {
    const bool sent = sendLine(StepAuth, line);
    CSecret::wipe(line);
    CSmtpReply reply;
    if (!sent || !receiveWhole(StepAuth, reply))
        return false;
    if (beginsWith(reply.text(), code))
        return true;
    refuse(StepAuth, reply.text());
    return false;
}

bool CSmtpSession::sendLine(SmtpStep step, std::string_view line) {
    if (!isConnected()) {
        failStep(step, StringId::ConnectionLost);
        return false;
    }
    if (!socket_->send(line)) {
        if (socket_->sendStatus() == IoStatus::Cancelled)
            endCancelled();
        else
            failStep(step, StringId::ConnectionLost);
        return false;
    }
    return true;
}

void CSmtpSession::endCancelled() {
    setStatusFromTable(forwardFile_.empty() ? StringId::CancelledByUser
                                            : StringId::ForwardCancelled);
    // The server is in the middle of the data: the connection cannot be used again.
    closeSocket();
}

bool CSmtpSession::sendData(std::string_view bytes, CDataEnding& ending) {
    if (bytes.empty())
        return true;
    if (!sendLine(StepData, bytes))
        return false;
    ending.feed(bytes);
    return true;
}

bool CSmtpSession::receiveReply(SmtpStep step, std::size_t max, std::string_view& reply) {
    if (!isConnected()) {
        failStep(step, StringId::ConnectionLost);
        return false;
    }
    replyArea_.assign(max, '\0');
    const IoResult r = socket_->receive(replyArea_.data(), max);
    if (r.status == IoStatus::Ok && r.count > 0) {
        reply = std::string_view(replyArea_.data(), r.count);
        return true;
    }
    if (r.status == IoStatus::Cancelled)
        endCancelled();
    else
        failStep(step,
                 r.status == IoStatus::TimedOut ? StringId::TimedOut : StringId::ConnectionLost);
    return false;
}

int CSmtpSession::checkReply(SmtpStep step) {
    std::string_view reply;
    if (!receiveReply(step, kReplyMax, reply))
        return 0;
    switch (step) {
    case StepGreeting:
        if (beginsWith(reply, "220"))
            return 1;
        setStatusFromTable(StringId::GreetingRefused);
        return 0;
    case StepHelo:
    case StepMailFrom:
    case StepRcptTo:
        if (beginsWith(reply, "250"))
            return 1;
        refuse(step, reply);
        return 0;
    case StepData:
        // Anything but a go-ahead: the lines of the message would be read as commands.
        if (beginsWith(reply, "3"))
            return 1;
        refuse(step, reply);
        return 0;
    case StepQuit:
        return 1;
    case StepEhlo:
    case StepStartTls:
    case StepAuth:
        break; // read whole, by receiveWhole
    }
    return 0;
}

void CSmtpSession::refuse(SmtpStep step, std::string_view reply) {
    // The server's own words, in whatever charset it chose, become text here.
    statusText_ =
        server_ + ": " + CStringTable::load(labelOf(step)) + " " + CCharset::fromUnknown(reply);
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
    if (!sendData(message, ending))
        return 0;
    return finishData(ending);
}

int CSmtpSession::finishData(const CDataEnding& ending) {
    CDataEnding unused;
    if (!sendData(ending.terminator(), unused))
        return 0;
    // Only a positive answer means the server took the message. A reply cut after its first
    // byte is judged by that byte: the rest cannot change it.
    std::string_view reply;
    if (!receiveReply(StepData, kEndReplyMax, reply))
        return 0;
    if (beginsWith(reply, "2"))
        return 1;
    refuse(StepData, reply);
    return 0;
}

int CSmtpSession::forwardFile() {
    const std::string unreadable = CStringTable::load(StringId::RetrievedUnreadable);
    const std::string path = forwardFile_;
    CFile file;
    const long long length = file.openForRead(path) ? file.size() : -1;
    if (length < 0) {
        statusText_ = unreadable + " " + path + ": " + file.errorText();
        return 0;
    }
    // From here on the file is used up, whatever happens to the transfer.
    CDataEnding ending;
    long long lastRead = 0;
    const FileTransfer transfer = length <= kProgressThreshold
                                      ? sendFileWhole(file, length, ending, lastRead)
                                      : sendFileInPieces(file, length, ending, lastRead);
    if (transfer == FileTransfer::ReadFailed)
        statusText_ =
            unreadable + " " + path + ": " + (lastRead < 0 ? file.errorText() : std::strerror(EIO));
    // A file from RETR ends with its own terminating line, so nothing is added to it.
    const int result = transfer == FileTransfer::Sent ? finishData(ending) : 0;
    file.close();
    CFile::remove(path);
    return result;
}

CSmtpSession::FileTransfer CSmtpSession::sendFileWhole(CFile& file, long long length,
                                                       CDataEnding& ending, long long& lastRead) {
    std::string all(static_cast<std::size_t>(length), '\0');
    for (long long done = 0; done < length;) {
        lastRead = file.read(all.data() + done, static_cast<std::size_t>(length - done));
        if (lastRead <= 0)
            return FileTransfer::ReadFailed;
        done += lastRead;
    }
    return sendData(all, ending) ? FileTransfer::Sent : FileTransfer::Stopped;
}

CSmtpSession::FileTransfer CSmtpSession::sendFileInPieces(CFile& file, long long length,
                                                          CDataEnding& ending,
                                                          long long& lastRead) {
    CProgressThread progress;
    progress.SetTotal(clampToInt(length));
    progress.start(progressHost_);
    char piece[kForwardPiece];
    for (long long done = 0; done < length;) {
        const auto want = static_cast<std::size_t>(
            std::min<long long>(static_cast<long long>(sizeof piece), length - done));
        lastRead = file.read(piece, want);
        if (lastRead <= 0)
            return FileTransfer::ReadFailed;
        if (!sendData(std::string_view(piece, static_cast<std::size_t>(lastRead)), ending))
            return FileTransfer::Stopped;
        if (!progress.IsProgressRunning()) {
            setStatusFromTable(StringId::ForwardCancelled);
            return FileTransfer::Stopped;
        }
        done += lastRead;
        progress.SetProgress(clampToInt(done));
    }
    progress.SetProgress(clampToInt(length));
    return FileTransfer::Sent;
}

bool CSmtpSession::sendEnvelope(const std::string& recipientLine, bool quotedSenderRetry) {
    if (!connectAndGreet() || !introduce() ||
        !sendLine(StepMailFrom, "MAIL FROM: <" + fromAddress_ + ">\r\n"))
        return false;
    if (!checkReply(StepMailFrom)) {
        // Some servers want the sender quoted; a lost connection gets no second try.
        if (!quotedSenderRetry || !isConnected() ||
            !sendLine(StepMailFrom, "MAIL FROM: \"" + fromAddress_ + "\"\r\n") ||
            !checkReply(StepMailFrom))
            return false;
    }
    return sendLine(StepRcptTo, recipientLine) && checkReply(StepRcptTo);
}

int CSmtpSession::finish(bool ok, StringId doneText) {
    if (ok) {
        // The server has what it was asked for; whatever QUIT meets changes nothing.
        if (isConnected() && socket_->send("QUIT\r\n"))
            checkReply(StepQuit);
        setStatusFromTable(doneText);
    }
    closeSocket();
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
    if (refuseLineBreaks(
            {&fromAddress_, &fromHeader_, &toAddress_, &toHeader_, &heloName_, &subject_}) ||
        refuseMissingSender())
        return 0;
    const bool ok = sendEnvelope("RCPT TO:<" + toAddress_ + ">\r\n", true) &&
                    sendLine(StepData, "DATA\r\n") && checkReply(StepData) && transmitMessage();
    return finish(ok, StringId::MessageSent);
}

int CSmtpSession::test(const std::string& address) {
    splitAddresses();
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
