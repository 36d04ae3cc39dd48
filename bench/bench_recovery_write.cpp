// The recovery copy of the largest table (500 pals, each with a 60 KB last mail: about
// 30 MB): the part on the UI thread (making the bytes) and the part on the worker (the
// atomic write with its flush). The UI thread's part is what must stay within 4 ms. Also
// the cost of recording one undo step on that table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/silent_user_interface.h"
#include "core/table_steps.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "storage/recovery_file.h"

namespace {

constexpr std::size_t kLastMailSize = 60 * 1000;

CYubinoApp& FullTable() {
    static CSilentUserInterface ui;
    static CYubinoApp app = [] {
        CYubinoApp table(ui);
        for (int i = 0; i < kMaxPals; ++i) {
            CPenPal pal;
            pal.m_strHandleName = "pal " + std::to_string(i);
            pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
            pal.m_strLastMailText.assign(kLastMailSize, static_cast<char>('a' + i % 26));
            table.AddPal(pal);
        }
        return table;
    }();
    return app;
}

void BM_RecoveryBytesOnUiThread(benchmark::State& state) {
    CYubinoApp& app = FullTable();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string data = WritePalData(app);
        bytes = data.size();
        benchmark::DoNotOptimize(data);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_RecoveryBytesOnUiThread)->Unit(benchmark::kMillisecond);

void BM_RecoveryWriteOnWorker(benchmark::State& state) {
    const std::string data = WritePalData(FullTable());
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path file =
        std::filesystem::path(tmp ? tmp : "/tmp") / ("yubino-bench-recovery-" + std::to_string(::getpid()));
    for (auto _ : state) benchmark::DoNotOptimize(WriteRecoveryFile(file, data).ok);
    std::filesystem::remove(file);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_RecoveryWriteOnWorker)->Unit(benchmark::kMillisecond);

// What recording an undo step costs a command on the largest table: the snapshot before,
// the comparison after, the one changed row kept.
void BM_UndoStepOfOneEdit(benchmark::State& state) {
    CYubinoApp& app = FullTable();
    std::size_t rows = 0;
    app.SetStepSink([&](PalTableStep&& step) { rows = step.after.size(); });
    int x = 0;
    for (auto _ : state) {
        CTableChange change(app, StepKind::MoveOnMap);
        CPenPal pal;
        app.GetPal(250, pal);
        pal.m_nMapX = ++x % 300;
        app.ReplacePal(pal);
    }
    app.SetStepSink(nullptr);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_UndoStepOfOneEdit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
