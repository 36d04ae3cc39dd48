// Placing a full table of 500 pals from their residences (the "住所から地図に配置" command on
// every pal, and `yubino-cli place --all`): must take under 5 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "core/pal_placement.h"
#include "core/silent_user_interface.h"
#include "core/texts.h"
#include "core/yubino_app.h"

namespace {

// Residences as users write them: prefectures, addresses, cities, abroad, and nothing known;
// many pals share a place, so the spread has work to do.
void AddResidents(CYubinoApp& app) {
    const char* residences[] = {
        "東京都世田谷区", "神奈川県横浜市青葉区",
        "大阪市北区",     "Tokyo",
        "ﾎｯｶｲﾄﾞｳ",        "福岡県",
        "名古屋",         "さいたま市",
        "London, UK",     "アメリカ",
        "ひみつ",         "京都府京都市左京区",
        "沖縄",           "Seoul",
        "千葉県船橋市",   "不明",
        "台湾",           "兵庫県神戸市",
        "広島",
    };
    for (int i = 0; i < kMaxPals; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        pal.m_strResidence = Cp932Text(residences[i % std::size(residences)]);
        app.AddPal(pal);
    }
}

void BM_PlaceFiveHundredPals(benchmark::State& state) {
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    AddResidents(app);
    const std::vector<std::string> everyone = PalsToPlace(app, true);
    PlaceStoredPals(app, everyone);  // the place index is built once per run, as in the program
    for (auto _ : state) {
        auto placed = PlaceStoredPals(app, everyone);
        benchmark::DoNotOptimize(placed.data());
    }
}
BENCHMARK(BM_PlaceFiveHundredPals)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
