// The SMTP reply check, step by step, through a scripted server whose replies, splits, stalls and
// drops the fuzzer chooses; then the same replies to the submission port with a login, where TLS
// cannot start on the fuzzer's connection, so that no login may reach the server, nor (where the
// server offered STARTTLS before) the envelope.
#include "CFuzzServer.h"
#include "FuzzCheck.h"
#include "platform/CTlsMemory.h"
#include "resources/CStringTable.h"
#include "send/CSmtpLogin.h"
#include "send/CSmtpReply.h"
#include "send/CSmtpSession.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <string>

namespace {

bool accepted(const CFuzzServer::Receipt& r, std::string_view code) {
    if (r.status != IoStatus::Ok || r.bytes.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(r.bytes[i])) != code[i])
            return false;
    return true;
}

// Walks the receipts as the dialogue must: each step takes one receive; the first refused step
// ends it. Returns the expected outcome and how many receives it takes.
int expectedSend(const std::vector<CFuzzServer::Receipt>& r, std::size_t& used) {
    used = 0;
    auto next = [&](auto test) { return used < r.size() && test(r[used++]); };
    auto code = [](std::string_view c) {
        return [c](const CFuzzServer::Receipt& x) { return accepted(x, c); };
    };
    // From DATA on the first byte of a reply decides it.
    auto first = [](char c) {
        return [c](const CFuzzServer::Receipt& x) {
            return x.status == IoStatus::Ok && !x.bytes.empty() && x.bytes[0] == c;
        };
    };
    if (!next(code("220")) || !next(code("250")))
        return 0;
    if (!next(code("250"))) {
        // Refused: one more try with the quoted form; lost: none.
        if (r[used - 1].status != IoStatus::Ok || !next(code("250")))
            return 0;
    }
    if (!next(code("250")) || !next(first('3')) || !next(first('2')))
        return 0;
    // QUIT's answer changes nothing, but it is read when the server is still there.
    if (used < r.size())
        ++used;
    return 1;
}

int expectedTest(const std::vector<CFuzzServer::Receipt>& r, std::size_t& used) {
    used = 0;
    for (std::string_view c : {"220", "250", "250", "250"})
        if (used >= r.size() || !accepted(r[used++], c))
            return 0;
    if (used < r.size())
        ++used;
    return 1;
}

// The same replies to the submission port, with a login, and to the reader of whole replies.
void checkSubmission(const std::vector<std::string>& chunks) {
    CFuzzServer server;
    server.chunks = chunks;
    CFuzzSocketFactory factory(server);
    CSmtpSession session;
    session.setSocketFactory(&factory);
    session.setServer("mail.example");
    session.setPort(CSmtpSession::kSubmissionPort);
    session.setFrom("anna@example.org");
    session.setTo("bo@example.org");
    session.send(CSmtpLogin("anna", "hemligt"));
    for (const char* secret : {"AUTH", "hemligt", "aGVtbGlndA"})
        FUZZ_CHECK(server.sent.find(secret) == std::string::npos);

    // A server that offered STARTTLS before gets not even the envelope in clear text.
    CFuzzServer remembering;
    remembering.chunks = chunks;
    CFuzzSocketFactory again(remembering);
    CFuzzSettingsStore store;
    CTlsMemory memory(store);
    memory.remember(CTlsMemory::Offer::StartTls, "mail.example", CSmtpSession::kSubmissionPort);
    session.setSocketFactory(&again);
    session.setTlsMemory(&memory);
    session.send(CSmtpLogin("anna", "hemligt"));
    for (const char* secret : {"AUTH", "MAIL", "RCPT", "DATA"})
        FUZZ_CHECK(remembering.sent.find(secret) == std::string::npos);
    CSmtpReply reply;
    for (const std::string& chunk : chunks)
        reply.feed(chunk);
    FUZZ_CHECK(reply.text().size() <= CSmtpReply::kKeptMax);
    (void)reply.lists("STARTTLS");
    (void)reply.listsAuth("PLAIN");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const bool addressTest = provider.ConsumeBool();
    CFuzzServer server;
    server.refuseConnect = provider.ConsumeIntegralInRange<int>(0, 15) == 0;
    while (provider.remaining_bytes() > 0 && server.chunks.size() < 12)
        server.chunks.push_back(provider.ConsumeRandomLengthString(700));

    CFuzzSocketFactory factory(server);
    CSmtpSession session;
    session.setSocketFactory(&factory);
    session.setServer("mail.example");
    session.setHelo("nada");
    session.setFrom("anna@example.org");
    session.setTo("bo@example.org");
    session.setBody("Hej!");
    const int result = addressTest ? session.testAddress("bo@example.org") : session.send();

    FUZZ_CHECK(result == 0 || result == 1);
    FUZZ_CHECK(!session.getStatusText().empty());
    FUZZ_CHECK(factory.streams == 1 && server.connections == 1);
    checkSubmission(server.chunks);
    if (server.refuseConnect) {
        FUZZ_CHECK(result == 0 && server.receipts.empty() && server.sent.empty());
        return 0;
    }
    std::size_t used = 0;
    const int expected =
        addressTest ? expectedTest(server.receipts, used) : expectedSend(server.receipts, used);
    FUZZ_CHECK(result == expected);
    // No receive after the step that failed.
    FUZZ_CHECK(server.receipts.size() == used);
    const std::string done =
        CStringTable::load(addressTest ? StringId::RecipientAccepted : StringId::MessageSent);
    FUZZ_CHECK((result == 1) == (session.getStatusText() == done));
    return 0;
}
