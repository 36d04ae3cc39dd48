// Address book interchange: reading 100,000 vCards as a phone exports them (the import
// before the selection dialog), and writing a full table of 500 pals as vCard and CSV.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/yubino_app.h"
#include "storage/address_book_file.h"
#include "storage/pal_csv.h"
#include "storage/pal_vcard.h"

namespace {

CPenPal SamplePal(int i) {
    CPenPal pal;
    pal.m_strHandleName = *cp932::FromUtf8("ゆびの" + std::to_string(i));
    pal.m_strName = *cp932::FromUtf8("山田 太郎");
    pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
    pal.m_strMailAddress2 = "second" + std::to_string(i) + "@example.com";
    pal.m_strMobileAddress = "mobile" + std::to_string(i) + "@docomo.ne.jp";
    pal.m_strTel1 = "03-1234-5678";
    pal.m_strTel2 = "090-1234-5678";
    pal.m_strResidence = *cp932::FromUtf8("東京都");
    pal.m_strHomePage = "https://example.jp/" + std::to_string(i);
    pal.m_strMemo = *cp932::FromUtf8("メモ、少し長めの文章です。");
    pal.m_dtBirthday = COleDateTime(1980, 4, 5);
    pal.m_strLastMailText = *cp932::FromUtf8(std::string(40, 'x') + "\r\x08" + "こんにちは");
    return pal;
}

std::vector<CPenPal> Pals(int count) {
    std::vector<CPenPal> pals;
    pals.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) pals.push_back(SamplePal(i));
    return pals;
}

void BM_ReadHundredThousandVCards(benchmark::State& state) {
    const std::string file = WriteVCards(Pals(100000), VCardVersion::V3, {});
    for (auto _ : state) {
        const AddressBookFile read = ReadAddressBookBytes(file, true);
        if (read.pals.pals.size() != 100000) state.SkipWithError("cards lost");
        benchmark::DoNotOptimize(read);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
    state.counters["cards/s"] =
        benchmark::Counter(100000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadHundredThousandVCards)->Unit(benchmark::kMillisecond);

void BM_ExportFiveHundredPalsAsVCard(benchmark::State& state) {
    const std::vector<CPenPal> pals = Pals(kMaxPals);
    for (auto _ : state) benchmark::DoNotOptimize(WriteVCards(pals, VCardVersion::V4, {}));
}
BENCHMARK(BM_ExportFiveHundredPalsAsVCard)->Unit(benchmark::kMillisecond);

void BM_ExportFiveHundredPalsAsCsv(benchmark::State& state) {
    const std::vector<CPenPal> pals = Pals(kMaxPals);
    for (auto _ : state) benchmark::DoNotOptimize(WritePalCsv(pals, CsvEncoding::Utf8WithBom));
}
BENCHMARK(BM_ExportFiveHundredPalsAsCsv)->Unit(benchmark::kMillisecond);

void BM_ReadFiveHundredPalsCsv(benchmark::State& state) {
    const std::string file = WritePalCsv(Pals(kMaxPals), CsvEncoding::Utf8WithBom);
    for (auto _ : state) benchmark::DoNotOptimize(ReadAddressBookBytes(file, false));
}
BENCHMARK(BM_ReadFiveHundredPalsCsv)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
