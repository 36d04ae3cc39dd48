// The mail text parser on a 1 MiB mail, beside a memchr scan and a copy of the same bytes:
// the parser should run at a quarter of the memchr rate or better.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "core/cp932.h"
#include "mail/mail_text_parser.h"

namespace {

constexpr std::size_t kMailSize = 1 << 20;

// A header, then lines of Japanese and ASCII text with a link now and then, to 1 MiB.
const std::string& OneMebibyteMail() {
    static const std::string mail = [] {
        const std::string lines[] = {
            *cp932::FromUtf8("送信者 : \"山田 太郎\" <taro@example.jp>\r\n宛先 : hanako@example.jp\r\n"
                             "件名 : 長いメール\r\n日時 :  2002年 5月 3日 21:04\r\n\r\n"),
            *cp932::FromUtf8("こんにちは。今日はとても良い天気でしたね。散歩に出かけました。\r\n"),
            "The quick brown fox jumps over the lazy dog, again and again.\r\n",
            *cp932::FromUtf8("写真はこちら: http://taro.example.jp/~taro/photos/index.html です。\r\n"),
        };
        std::string text = lines[0];
        for (std::size_t i = 0; text.size() < kMailSize; ++i) text += lines[1 + i % 3];
        text.resize(kMailSize);
        return text;
    }();
    return mail;
}

void BM_ParseMailText(benchmark::State& state) {
    const std::string& mail = OneMebibyteMail();
    for (auto _ : state) {
        MailParseResult result = ParseMailText(mail);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mail.size()));
}
BENCHMARK(BM_ParseMailText);

void BM_MemchrScan(benchmark::State& state) {
    const std::string& mail = OneMebibyteMail();
    for (auto _ : state) {
        // A byte the mail never holds: memchr reads every byte.
        const void* hit = std::memchr(mail.data(), '\x01', mail.size());
        benchmark::DoNotOptimize(hit);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mail.size()));
}
BENCHMARK(BM_MemchrScan);

// The floor for the parser, which must copy the body into the stored form.
void BM_Copy(benchmark::State& state) {
    const std::string& mail = OneMebibyteMail();
    for (auto _ : state) {
        std::string copy(mail);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mail.size()));
}
BENCHMARK(BM_Copy);

}  // namespace

BENCHMARK_MAIN();
