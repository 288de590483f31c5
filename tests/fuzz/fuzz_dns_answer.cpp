// The reader of a DNS answer: names at any offset, the first-record walk, and the lookup that
// keeps at most 256 bytes of the datagram.
#include "CFuzzServer.h"
#include "FuzzCheck.h"
#include "pop3/CCharset.h"
#include "send/CDnsPacket.h"
#include "send/CMxResolver.h"

#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view datagram = fuzz::asText(data, size);
    // What the resolver keeps, in a block of exactly that size.
    const std::size_t kept = std::min<std::size_t>(size, 256);
    auto bytes = std::make_unique<char[]>(kept);
    datagram.copy(bytes.get(), kept);
    const std::string_view answer(bytes.get(), kept);

    for (std::size_t offset = 0; offset <= kept; ++offset) {
        const auto name = CDnsPacket::readName(answer, offset);
        if (!name)
            continue;
        FUZZ_CHECK(name->text.size() <= CDnsPacket::kMaxNameLength);
        // The zero byte that ended it lies inside the answer; a pointer ends at most at its end.
        FUZZ_CHECK(name->endedInPointer ? name->offset <= kept : name->offset < kept);
    }

    const std::string exchanger = CDnsPacket::firstExchanger(answer);
    FUZZ_CHECK(exchanger.size() <= CDnsPacket::kMaxNameLength);

    CFuzzServer server;
    CFuzzSocketFactory factory(server);
    factory.datagram = std::string(datagram);
    CMxResolver resolver(&factory);
    resolver.setDnsServer("127.0.0.1");
    FUZZ_CHECK(resolver.lookup("example.org") == 1);
    // The name as text: its bytes when they are UTF-8, else read as Windows-1252.
    FUZZ_CHECK(resolver.getResult() == CCharset::fromUnknown(exchanger));

    // The same bytes as a domain: a query that can be written reads back as that domain.
    const std::string domain(datagram.substr(0, 300));
    const std::string query = CDnsPacket::buildQuery(domain);
    if (!query.empty()) {
        FUZZ_CHECK(query.size() == domain.size() + 18);
        const auto back = CDnsPacket::readName(query, CDnsPacket::kHeaderLength);
        FUZZ_CHECK(back && back->text == domain && !back->endedInPointer);
        FUZZ_CHECK(back->offset + 5 == query.size());
    }
    return 0;
}
