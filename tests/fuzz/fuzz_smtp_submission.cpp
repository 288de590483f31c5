// The submission dialogue with a login, through a scripted server whose replies, splits, stalls
// and drops the fuzzer chooses, and the reader of multi-line replies on the same bytes. TLS
// cannot start on the fuzzer's connection, so whatever the server offers or answers, the
// password must never reach it.
#include "CFuzzServer.h"
#include "FuzzCheck.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpReply.h"
#include "send/CSmtpSession.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

namespace {

// The reader against a plain reading of all the chunks: the reply ends with the first line
// that has no "-" after its code.
void checkReader(const std::vector<std::string>& chunks) {
    CSmtpReply reply;
    std::string all;
    for (const std::string& chunk : chunks) {
        reply.feed(chunk);
        all += chunk;
    }
    std::size_t end = std::string::npos;
    for (std::size_t start = 0, lf; (lf = all.find('\n', start)) != std::string::npos;
         start = lf + 1) {
        const std::string_view line(all.data() + start, lf + 1 - start);
        if (line.size() < 4 || line[3] != '-') {
            end = lf + 1;
            break;
        }
    }
    FUZZ_CHECK(reply.complete() == (end != std::string::npos));
    const std::size_t used = reply.complete() ? end : all.size();
    FUZZ_CHECK(reply.text() == all.substr(0, std::min(used, CSmtpReply::kKeptMax)));
    FUZZ_CHECK(reply.hasTrailing() == (reply.complete() && end < all.size()));
    // Offers of any shape are looked at without harm.
    (void)reply.lists("STARTTLS");
    (void)reply.listsAuth("PLAIN");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const bool addressTest = provider.ConsumeBool();
    CFuzzServer server;
    while (provider.remaining_bytes() > 0 && server.chunks.size() < 12)
        server.chunks.push_back(provider.ConsumeRandomLengthString(700));
    checkReader(server.chunks);

    CFuzzSocketFactory factory(server);
    CSmtpSession session;
    session.setSocketFactory(&factory);
    session.setServer("mail.example");
    session.setPort(CSmtpSession::kSubmissionPort);
    session.setHelo("nada");
    session.setFrom("anna@example.org");
    session.setTo("bo@example.org");
    session.setBody("Hej!");
    const CSmtpLogin login("anna", "hemligt");
    const int result =
        addressTest ? session.testAddress("bo@example.org", login) : session.send(login);

    FUZZ_CHECK(result == 0 || result == 1);
    FUZZ_CHECK(!session.getStatusText().empty());
    const std::string& sent = server.sent;
    FUZZ_CHECK(sent.empty() || sent.starts_with("EHLO nada\r\n"));
    // No login and no password, in clear or in base64, alone or with the account.
    for (const char* secret : {"AUTH", "hemligt", "aGVtbGlndA", "AGFubmEAaGVtbGlndA"})
        FUZZ_CHECK(sent.find(secret) == std::string::npos);
    // A STARTTLS that TLS could not follow is the last thing sent.
    const std::size_t startTls = sent.find("STARTTLS\r\n");
    FUZZ_CHECK(startTls == std::string::npos || startTls + 10 == sent.size());
    return 0;
}
