// Loading and saving a full table of 500 pals, each with a 64 KiB last mail, beside a
// plain memcpy of the same bytes: reading and writing should each reach half its rate.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "core/silent_user_interface.h"

namespace {

constexpr std::size_t kLastMailSize = 64 * 1024;

void FillTable(CYubinoApp& app) {
    for (int i = 0; i < kMaxPals; ++i) {
        CPenPal pal;
        pal.m_strHandleName = "pal " + std::to_string(i);
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        pal.m_strLastMailText.assign(kLastMailSize, static_cast<char>('a' + i % 26));
        app.AddPal(pal);
    }
}

const std::string& FileBytes() {
    static const std::string bytes = [] {
        CSilentUserInterface ui;
        CYubinoApp app(ui);
        FillTable(app);
        return WritePalData(app);
    }();
    return bytes;
}

void Throughput(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_Memcpy(benchmark::State& state) {
    const std::string& bytes = FileBytes();
    std::string copy(bytes.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::ClobberMemory();
    }
    Throughput(state, bytes.size());
}

// The same bytes copied in pieces of a last mail's size into buffers made once: loading
// copies as many bytes, but into fresh strings and from unaligned places in the file.
void BM_MemcpyInMailSizedPieces(benchmark::State& state) {
    const std::string& bytes = FileBytes();
    std::vector<std::string> pieces(bytes.size() / kLastMailSize + 1, std::string(kLastMailSize, '\0'));
    for (auto _ : state) {
        for (std::size_t i = 0, offset = 0; offset < bytes.size(); ++i, offset += kLastMailSize) {
            std::memcpy(pieces[i].data(), bytes.data() + offset, std::min(kLastMailSize, bytes.size() - offset));
        }
        benchmark::ClobberMemory();
    }
    Throughput(state, bytes.size());
}

void BM_LoadPalData(benchmark::State& state) {
    const std::string& bytes = FileBytes();
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    for (auto _ : state) {
        ReadPalData(app, bytes);
        benchmark::DoNotOptimize(app.GetPalCount());
    }
    if (app.GetPalCount() != kMaxPals) state.SkipWithError("the file did not load whole");
    Throughput(state, bytes.size());
}

void BM_SavePalData(benchmark::State& state) {
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    FillTable(app);
    std::size_t size = 0;
    for (auto _ : state) {
        std::string bytes = WritePalData(app);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    Throughput(state, size);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyInMailSizedPieces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPalData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePalData)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
