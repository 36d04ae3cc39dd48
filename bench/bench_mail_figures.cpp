// The mail charts' figures from a full archive: 100,000 mails of about 2 KB over 500 pals
// and two years and a half, read as the analysis dialog reads them when it opens. The
// archive is made once in the working directory ("bench_mail_figures.mails.sqlite") and
// reused by later runs.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "archive/mail_archive.h"
#include "archive/mail_figures.h"

namespace {

constexpr int kPals = 500;
constexpr int kMails = 100000;
constexpr int kBatch = 2000;
const std::filesystem::path kFile = "bench_mail_figures.mails.sqlite";
const CalendarDay kToday = CalendarDay::FromDate(2026, 12, 7);

void MakeArchive() {
    CMailArchive archive;
    archive.Open(kFile, false);
    if (archive.MailCount("pal0@example.jp").value > 0) return;
    const char* words[] = {"こんにちは", "お元気ですか", "今日は", "天気が", "よくて", "散歩に", "行きました", "。\n"};
    std::mt19937 random(5);
    for (int first = 0; first < kMails; first += kBatch) {
        std::vector<MailRecord> mails;
        for (int i = first; i < first + kBatch; ++i) {
            MailRecord mail;
            mail.pal = "pal" + std::to_string(i % kPals) + "@example.jp";
            mail.direction = random() % 2 ? MailDirection::Sent : MailDirection::Received;
            const CalendarDay day{kToday.number - 900 + i * 900LL / kMails};
            mail.date = day.Format() + "T" + std::to_string(10 + random() % 10) + ":00:00";
            while (mail.body.size() < 2000) mail.body += words[random() % std::size(words)];
            const std::string n = std::to_string(i);
            mail.messageId = "m" + n + "@bench";
            mail.source = "bench";
            mails.push_back(std::move(mail));
        }
        archive.Store(mails);
    }
}

void BM_MailFigures(benchmark::State& state) {
    MakeArchive();
    for (auto _ : state) benchmark::DoNotOptimize(ReadMailFigures(kFile, kToday));
}
BENCHMARK(BM_MailFigures)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
