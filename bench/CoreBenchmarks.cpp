// Throughput of the code every load and download runs through, one benchmark per parser.
#include "pop3/CEndOfData.h"
#include "pop3/CHeaderDecoder.h"
#include "pop3/CMessageText.h"
#include "pop3/CReplyParser.h"
#include "send/CDnsPacket.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A realistic header block of about 4 KB: Received lines first, the summary fields late.
std::string headerBlock() {
    std::string h;
    for (int i = 0; h.size() < 3600; ++i)
        h += "Received: from relay" + std::to_string(i) +
             ".example.net (relay.example.net [192.0.2." + std::to_string(i) +
             "])\r\n\tby mx.example.org with ESMTPS id 4F2A9C; Tue, 8 Dec 2026 10:00:00 +0100\r\n";
    h += "From: =?UTF-8?B?w4VzYSBMaW5k?= <asa@example.net>\r\n"
         "Subject: =?iso-8859-1?Q?R=E4kning_f=F6r_?=\r\n =?utf-8?q?december?=\r\n"
         "Date: Tue, 8 Dec 2026 10:00:00 +0100\r\n\r\n.\r\n";
    return h;
}

void BM_HeaderSummary(benchmark::State& state) {
    const std::string top = headerBlock();
    for (auto _ : state)
        benchmark::DoNotOptimize(CHeaderDecoder::summarize(top, "-saknas-"));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(top.size()));
}
BENCHMARK(BM_HeaderSummary);

void BM_PreviewDecode(benchmark::State& state) {
    std::string text = "Content-Type: text/plain; charset=iso-8859-1\r\n"
                       "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    while (text.size() < 65536)
        text += "Hej! H=E4r kommer r=E4kningen f=F6r m=E5naden, v=E4nligen betala i tid.=\r\n";
    text += ".\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(CMessageText::preview(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_PreviewDecode);

void BM_ListParse(benchmark::State& state) {
    std::string list;
    for (int i = 1; i <= 10000; ++i)
        list += std::to_string(i) + " " + std::to_string(1000 + i * 37) + "\r\n";
    list += ".\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(CReplyParser::parseListSizes(list));
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ListParse);

void BM_EndOfData(benchmark::State& state) {
    const std::size_t total = 20u << 20, chunk = 65535;
    std::string stream;
    while (stream.size() < total)
        stream += "Det h\xE4r \xE4r en rad i ett stort brev, som slutar med CR LF.\r\n";
    stream += ".\r\n";
    for (auto _ : state) {
        CEndOfData end;
        for (std::size_t at = 0; at < stream.size() && !end.complete(); at += chunk)
            end.feed(std::string_view(stream).substr(at, chunk));
        benchmark::DoNotOptimize(end.complete());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_EndOfData)->Unit(benchmark::kMillisecond);

void BM_DnsAnswer(benchmark::State& state) {
    // The query for example.org, one MX answer with a compressed owner and exchanger name.
    std::string answer = CDnsPacket::buildQuery("example.org");
    answer[2] = '\x81';
    answer[3] = '\x80';
    answer[7] = 1;
    const char record[] = {'\xC0', 12, 0,  15, 0,   1,   0,   0,   0x0E,   0x10, 0,
                           9,      0,  10, 4,  'm', 'a', 'i', 'l', '\xC0', 12};
    answer.append(record, sizeof record);
    for (auto _ : state)
        benchmark::DoNotOptimize(CDnsPacket::firstExchanger(answer));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DnsAnswer);

} // namespace

BENCHMARK_MAIN();
