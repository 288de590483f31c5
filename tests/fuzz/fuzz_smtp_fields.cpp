// What typed fields put on the wire: the address split into header and envelope, the refusal of
// line breaks and of mail without a sender, and data that no body can end early; any body, the
// text "filfil" too, is composed.
#include "CFuzzServer.h"
#include "FuzzCheck.h"
#include "pop3/CCharset.h"
#include "resources/CStringTable.h"
#include "send/CMessageComposer.h"
#include "send/CMessageStamps.h"
#include "send/CSmtpSession.h"
#include "tests/support/CFixedStamps.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace {

bool hasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

// The envelope address and the header text of a typed address.
void split(const std::string& typed, std::string& address, std::string& header) {
    const std::size_t open = typed.find('<'), close = typed.find('>');
    header = typed;
    address = open != std::string::npos && close != std::string::npos && close > open
                  ? typed.substr(open + 1, close - open - 1)
                  : typed;
}

// Every line end of composed text as it must reach the wire.
std::string withCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string unstuffed(const std::string& data) {
    std::string out;
    bool lineStart = true;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (!(lineStart && data[i] == '.'))
            out += data[i];
        lineStart = data[i] == '\n';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    fuzz::usePrivateRuntimeFolder();
    FuzzedDataProvider provider(data, size);
    const bool addressTest = provider.ConsumeBool();
    const bool quotedPrintable = provider.ConsumeBool();
    const std::string from = provider.ConsumeRandomLengthString(200);
    const std::string to = provider.ConsumeRandomLengthString(200);
    const std::string helo = provider.ConsumeRandomLengthString(100);
    const std::string subject = provider.ConsumeRandomLengthString(200);
    const std::string tested = provider.ConsumeRandomLengthString(200);
    const std::string body = provider.ConsumeRemainingBytesAsString();

    CFuzzServer server;
    server.chunks =
        addressTest ? std::vector<std::string>{"220 x\r\n", "250 x\r\n", "250 x\r\n", "250 x\r\n",
                                               "221 x\r\n"}
                    : std::vector<std::string>{"220 x\r\n", "250 x\r\n", "250 x\r\n", "250 x\r\n",
                                               "354 x\r\n", "250 x\r\n", "221 x\r\n"};
    CFuzzSocketFactory factory(server);
    CFixedStamps stamps;
    CSmtpSession session;
    session.setSocketFactory(&factory);
    session.setMessageStamps(&stamps);
    session.setServer("mail.example");
    session.setHelo(helo);
    session.setFrom(from);
    session.setTo(to);
    session.setSubject(subject);
    session.setBody(body);
    session.setQuotedPrintable(quotedPrintable ? 1 : 0);
    const int result = addressTest ? session.testAddress(tested) : session.send();

    std::string fromAddress, fromHeader, toAddress, toHeader;
    split(from, fromAddress, fromHeader);
    split(to, toAddress, toHeader);
    const bool refused =
        hasLineBreak(from) || hasLineBreak(helo) ||
        (addressTest ? hasLineBreak(tested) : hasLineBreak(to) || hasLineBreak(subject));
    if (refused) {
        // Nothing typed may become a command of its own: the server never hears from us.
        FUZZ_CHECK(result == 0);
        FUZZ_CHECK(factory.streams == 0 && server.sent.empty());
        FUZZ_CHECK(session.getStatusText() == CStringTable::load(StringId::LineBreakInField));
        return 0;
    }

    if (!addressTest && fromAddress.find_first_not_of(" \t") == std::string::npos) {
        // Mail without a sender is not sent.
        FUZZ_CHECK(result == 0 && factory.streams == 0 && server.sent.empty());
        FUZZ_CHECK(session.getStatusText() == CStringTable::load(StringId::NoSenderAddress));
        return 0;
    }
    const std::string commands = "HELO " + helo + "\r\nMAIL FROM: <" + fromAddress + ">\r\n";
    if (addressTest) {
        FUZZ_CHECK(result == 1);
        FUZZ_CHECK(server.sent == commands + "RCPT TO: <" + tested + ">\r\nQUIT\r\n");
        return 0;
    }
    FUZZ_CHECK(result == 1);
    const std::string start = commands + "RCPT TO:<" + toAddress + ">\r\nDATA\r\n";
    FUZZ_CHECK(server.sent.compare(0, start.size(), start) == 0);
    FUZZ_CHECK(server.sent.ends_with("\r\n.\r\nQUIT\r\n"));
    // The data: the header block, the empty line, the text; its only terminator is its last line.
    const std::string wire =
        server.sent.substr(start.size(), server.sent.size() - start.size() - 6);
    // The body goes out in ISO-8859-1 when it fits, else in UTF-8, and says which.
    std::string bodyBytes;
    const std::string_view charset = CCharset::forSending(body, bodyBytes);
    const bool encoded =
        CMessageComposer::choosesQuotedPrintable(bodyBytes, quotedPrintable ? 1 : 0);
    const std::string id = stamps.messageId(CMessageStamps::idDomain(fromAddress));
    const std::string header = CMessageComposer::composeHeader(
        {CFixedStamps::kDate, fromHeader, toHeader, subject, id}, encoded, charset);
    FUZZ_CHECK(wire.compare(0, header.size() + 2, header + "\r\n") == 0);
    FUZZ_CHECK(wire.find("\r\n.\r\n") == wire.size() - 5);
    std::string text = wire.substr(header.size() + 2, wire.size() - header.size() - 2 - 3);
    if (encoded) {
        for (char c : text)
            FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
        return 0;
    }
    // Unstuffed, the text is the body with CR LF line ends, closed by one line end if it was
    // not already.
    const std::string expected = withCrLf(bodyBytes);
    const std::string got = unstuffed(text);
    const bool endsLine = expected.empty() || expected.ends_with("\r\n");
    FUZZ_CHECK(got == (endsLine ? expected : expected + "\r\n"));
    return 0;
}
