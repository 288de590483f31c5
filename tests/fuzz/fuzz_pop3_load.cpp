// A POP3 login, STAT and LIST through a server whose replies, splits, stalls and drops the
// fuzzer chooses, with or without pipelining, and with or without the memory of an earlier STLS
// offer. TLS cannot start on the fuzzer's connection, so neither the account nor the password
// may reach a server that offered STLS now or before; the count is never above what the program
// lists, and the sizes kept are exactly those of the count, or none when LIST does not bear it
// out.
#include "CFuzzServer.h"
#include "FuzzCheck.h"
#include "platform/CTlsMemory.h"
#include "pop3/CPop3Session.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const bool offeredBefore = provider.ConsumeBool();
    const bool pipelining = provider.ConsumeBool();
    CFuzzServer server;
    while (provider.remaining_bytes() > 0 && server.chunks.size() < 16)
        server.chunks.push_back(provider.ConsumeRandomLengthString(size));

    CFuzzSettingsStore store;
    CTlsMemory memory(store);
    if (offeredBefore)
        memory.remember(CTlsMemory::Offer::Stls, "pop.example", 110);
    CFuzzSocketFactory factory(server);
    CPop3Session session;
    session.setSocketFactory(&factory);
    session.setTlsMemory(&memory);
    session.setHost("pop.example");
    session.setPort(110);
    session.setUser("anna");
    session.setPassword(CSecret("hemligt"));
    session.setPipeliningAllowed(pipelining);
    const bool in = session.login();
    const bool counted = in && session.stat();
    const bool listed = counted && session.list();

    const bool stls = server.sent.find("STLS\r\n") != std::string::npos;
    if (stls || offeredBefore)
        FUZZ_CHECK(server.sent.find("USER") == std::string::npos &&
                   server.sent.find("hemligt") == std::string::npos && !in);
    if (stls)
        FUZZ_CHECK(memory.offeredBefore(CTlsMemory::Offer::Stls, "POP.example", 110));
    if (counted)
        FUZZ_CHECK(session.getMessageCount() <= CPop3Session::kMessagesMax);
    FUZZ_CHECK(session.messageTable().sizeCount() ==
               (listed ? std::max(session.getMessageCount(), 0) : 0));
    return 0;
}
