#include "core/residence_place.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "core/maps.h"
#include "core/texts.h"

namespace {

std::optional<ResidencePlace> Find(const char* utf8) { return FindResidencePlace(Cp932Text(utf8)); }

// The prefectural capitals as the map generator drew them: code -> map and pixel of the dot.
std::map<int, ResidencePlace> CapitalsOnRegionMaps() {
    std::ifstream in(YUBINO_MAPS_JSON);
    std::stringstream text;
    text << in.rdbuf();
    const std::string json = text.str();
    std::map<int, ResidencePlace> capitals;
    int map = -1;
    std::size_t pos = 0;
    for (std::string line; pos < json.size();) {
        const std::size_t end = json.find('\n', pos);
        line = json.substr(pos, end - pos);
        pos = end == std::string::npos ? json.size() : end + 1;
        // Lines such as "index": 2, and "13": { "name": "東京", "lat": …, "lon": …, "x": 212, "y": 180 }
        if (const std::size_t at = line.find("\"index\": "); at != std::string::npos) map = std::stoi(line.substr(at + 9));
        const std::size_t x = line.find("\"x\": "), y = line.find("\"y\": ");
        if (map < 8 && line.find("\"lat\": ") != std::string::npos && x != std::string::npos && y != std::string::npos)
            capitals[std::stoi(line.substr(line.find('"') + 1))] = {map, std::stoi(line.substr(x + 5)),
                                                                     std::stoi(line.substr(y + 5))};
    }
    return capitals;
}

struct PrefectureWritings {
    int code;
    const char* writings[6];  // kanji, kanji with suffix, hiragana, katakana, romaji, romaji with suffix
};

const PrefectureWritings kPrefectures[] = {
    {1, {"北海道", "北海道", "ほっかいどう", "ホッカイドウ", "Hokkaido", "HOKKAIDO"}},
    {2, {"青森", "青森県", "あおもり", "アオモリ", "Aomori", "AOMORI-KEN"}},
    {3, {"岩手", "岩手県", "いわて", "イワテ", "Iwate", "IWATE-KEN"}},
    {4, {"宮城", "宮城県", "みやぎ", "ミヤギ", "Miyagi", "MIYAGI-KEN"}},
    {5, {"秋田", "秋田県", "あきた", "アキタ", "Akita", "AKITA-KEN"}},
    {6, {"山形", "山形県", "やまがた", "ヤマガタ", "Yamagata", "YAMAGATA-KEN"}},
    {7, {"福島", "福島県", "ふくしま", "フクシマ", "Fukushima", "FUKUSHIMA-KEN"}},
    {8, {"茨城", "茨城県", "いばらき", "イバラキ", "Ibaraki", "IBARAKI-KEN"}},
    {9, {"栃木", "栃木県", "とちぎ", "トチギ", "Tochigi", "TOCHIGI-KEN"}},
    {10, {"群馬", "群馬県", "ぐんま", "グンマ", "Gunma", "GUNMA-KEN"}},
    {11, {"埼玉", "埼玉県", "さいたま", "サイタマ", "Saitama", "SAITAMA-KEN"}},
    {12, {"千葉", "千葉県", "ちば", "チバ", "Chiba", "CHIBA-KEN"}},
    {13, {"東京", "東京都", "とうきょう", "トウキョウ", "Tokyo", "TOKYO-TO"}},
    {14, {"神奈川", "神奈川県", "かながわ", "カナガワ", "Kanagawa", "KANAGAWA-KEN"}},
    {15, {"新潟", "新潟県", "にいがた", "ニイガタ", "Niigata", "NIIGATA-KEN"}},
    {16, {"富山", "富山県", "とやま", "トヤマ", "Toyama", "TOYAMA-KEN"}},
    {17, {"石川", "石川県", "いしかわ", "イシカワ", "Ishikawa", "ISHIKAWA-KEN"}},
    {18, {"福井", "福井県", "ふくい", "フクイ", "Fukui", "FUKUI-KEN"}},
    {19, {"山梨", "山梨県", "やまなし", "ヤマナシ", "Yamanashi", "YAMANASHI-KEN"}},
    {20, {"長野", "長野県", "ながの", "ナガノ", "Nagano", "NAGANO-KEN"}},
    {21, {"岐阜", "岐阜県", "ぎふ", "ギフ", "Gifu", "GIFU-KEN"}},
    {22, {"静岡", "静岡県", "しずおか", "シズオカ", "Shizuoka", "SHIZUOKA-KEN"}},
    {23, {"愛知", "愛知県", "あいち", "アイチ", "Aichi", "AICHI-KEN"}},
    {24, {"三重", "三重県", "みえ", "ミエ", "Mie", "MIE-KEN"}},
    {25, {"滋賀", "滋賀県", "しが", "シガ", "Shiga", "SHIGA-KEN"}},
    {26, {"京都", "京都府", "きょうと", "キョウト", "Kyoto", "KYOTO-FU"}},
    {27, {"大阪", "大阪府", "おおさか", "オオサカ", "Osaka", "OSAKA-FU"}},
    {28, {"兵庫", "兵庫県", "ひょうご", "ヒョウゴ", "Hyogo", "HYOGO-KEN"}},
    {29, {"奈良", "奈良県", "なら", "ナラ", "Nara", "NARA-KEN"}},
    {30, {"和歌山", "和歌山県", "わかやま", "ワカヤマ", "Wakayama", "WAKAYAMA-KEN"}},
    {31, {"鳥取", "鳥取県", "とっとり", "トットリ", "Tottori", "TOTTORI-KEN"}},
    {32, {"島根", "島根県", "しまね", "シマネ", "Shimane", "SHIMANE-KEN"}},
    {33, {"岡山", "岡山県", "おかやま", "オカヤマ", "Okayama", "OKAYAMA-KEN"}},
    {34, {"広島", "広島県", "ひろしま", "ヒロシマ", "Hiroshima", "HIROSHIMA-KEN"}},
    {35, {"山口", "山口県", "やまぐち", "ヤマグチ", "Yamaguchi", "YAMAGUCHI-KEN"}},
    {36, {"徳島", "徳島県", "とくしま", "トクシマ", "Tokushima", "TOKUSHIMA-KEN"}},
    {37, {"香川", "香川県", "かがわ", "カガワ", "Kagawa", "KAGAWA-KEN"}},
    {38, {"愛媛", "愛媛県", "えひめ", "エヒメ", "Ehime", "EHIME-KEN"}},
    {39, {"高知", "高知県", "こうち", "コウチ", "Kochi", "KOCHI-KEN"}},
    {40, {"福岡", "福岡県", "ふくおか", "フクオカ", "Fukuoka", "FUKUOKA-KEN"}},
    {41, {"佐賀", "佐賀県", "さが", "サガ", "Saga", "SAGA-KEN"}},
    {42, {"長崎", "長崎県", "ながさき", "ナガサキ", "Nagasaki", "NAGASAKI-KEN"}},
    {43, {"熊本", "熊本県", "くまもと", "クマモト", "Kumamoto", "KUMAMOTO-KEN"}},
    {44, {"大分", "大分県", "おおいた", "オオイタ", "Oita", "OITA-KEN"}},
    {45, {"宮崎", "宮崎県", "みやざき", "ミヤザキ", "Miyazaki", "MIYAZAKI-KEN"}},
    {46, {"鹿児島", "鹿児島県", "かごしま", "カゴシマ", "Kagoshima", "KAGOSHIMA-KEN"}},
    {47, {"沖縄", "沖縄県", "おきなわ", "オキナワ", "Okinawa", "OKINAWA-KEN"}},
};

TEST(ResidencePlaceTest, EveryPrefectureInEveryWritingIsAtItsCapital) {
    const auto capitals = CapitalsOnRegionMaps();
    ASSERT_EQ(capitals.size(), 47u);
    for (const auto& row : kPrefectures) {
        for (const char* writing : row.writings) EXPECT_EQ(Find(writing), capitals.at(row.code)) << writing;
    }
}

// The regions as the maps are drawn, not as school atlases group them.
TEST(ResidencePlaceTest, PrefecturesFallIntoTheMapsAsDrawn) {
    const struct {
        const char* residence;
        const char* map;
    } rows[] = {
        {"北海道", "北海道"}, {"福島県", "東北"}, {"茨城県", "関東"}, {"山梨県", "中部"}, {"新潟県", "中部"},
        {"三重県", "近畿"},   {"山口県", "中国"}, {"高知県", "四国"}, {"沖縄県", "九州"}, {"鹿児島県", "九州"},
    };
    for (const auto& row : rows) {
        const auto place = Find(row.residence);
        ASSERT_TRUE(place) << row.residence;
        EXPECT_EQ(g_apszMapNames[place->nMap], Cp932Text(row.map)) << row.residence;
    }
}

TEST(ResidencePlaceTest, WidthsAndCasesAreFolded) {
    const struct {
        const char* name;
        const char* residence;
        const char* same_as;
    } rows[] = {
        {"half-width katakana", "ﾄｳｷｮｳ", "東京都"},
        {"half-width voiced katakana", "ｷﾞﾌｹﾝ", "岐阜県"},
        {"half-width semi-voiced mark", "ﾆｯﾎﾟﾝ", "日本"},
        {"full-width romaji", "ＴＯＫＹＯ", "東京都"},
        {"full-width romaji with suffix", "Ｏｓａｋａ－ｆｕ", "大阪府"},
        {"mixed case with space", "hiroshima Ken", "広島県"},
        {"katakana then kanji", "カナガワケン横浜市", "神奈川県"},
        {"full-width space before", "　京都府京都市", "京都府"},
        {"U.S.A. with dots", "U.S.A.", "米国"},
    };
    for (const auto& row : rows) {
        const auto place = Find(row.residence);
        ASSERT_TRUE(place) << row.name;
        EXPECT_EQ(place, Find(row.same_as)) << row.name;
    }
}

// A residence is an address: the place it starts with, narrowed to the city when it names one.
TEST(ResidencePlaceTest, AddressesGiveTheirInnermostKnownPlace) {
    const struct {
        const char* residence;
        const char* same_as;
    } rows[] = {
        {"神奈川県横浜市青葉区", "横浜"},
        {"神奈川県川崎市中原区", "川崎市"},
        {"大阪市北区", "大阪市"},
        {"北海道函館市", "函館"},
        {"静岡県浜松市中区", "浜松"},
        {"〒100-0001 東京都千代田区", "東京都"},
        {"日本 東京都", "東京都"},
        {"東京在住", "東京都"},
        {"Shibuya, Tokyo, Japan", "東京都"},
        {"Yokohama, Kanagawa", "横浜"},
        {"アメリカ ニューヨーク", "ニューヨーク"},
        {"London, UK", "ロンドン"},
    };
    for (const auto& row : rows) {
        const auto place = Find(row.residence);
        ASSERT_TRUE(place) << row.residence;
        EXPECT_EQ(place, Find(row.same_as)) << row.residence;
    }
    EXPECT_NE(Find("川崎市"), Find("神奈川県"));
    EXPECT_NE(Find("函館"), Find("北海道"));
}

TEST(ResidencePlaceTest, CitiesWrittenAloneAreOnTheirPrefecturesMap) {
    const struct {
        const char* city;
        const char* prefecture;
    } rows[] = {
        // the designated cities
        {"札幌", "北海道"},
        {"仙台市", "宮城"},
        {"さいたま市", "埼玉"},
        {"千葉市", "千葉"},
        {"川崎", "神奈川"},
        {"横浜", "神奈川"},
        {"相模原市", "神奈川"},
        {"新潟市", "新潟"},
        {"静岡市", "静岡"},
        {"浜松", "静岡"},
        {"名古屋", "愛知"},
        {"京都市", "京都"},
        {"大阪市", "大阪"},
        {"堺市", "大阪"},
        {"神戸", "兵庫"},
        {"岡山市", "岡山"},
        {"広島市", "広島"},
        {"北九州市", "福岡"},
        {"福岡市", "福岡"},
        {"熊本市", "熊本"},
        // capitals not named like their prefecture, in several writings
        {"盛岡", "岩手"},
        {"水戸市", "茨城"},
        {"うつのみや", "栃木"},
        {"Maebashi", "群馬"},
        {"金沢", "石川"},
        {"甲府", "山梨"},
        {"津", "三重"},
        {"津市", "三重"},
        {"大津", "滋賀"},
        {"マツエ", "島根"},
        {"高松市", "香川"},
        {"MATSUYAMA", "愛媛"},
        {"那覇市", "沖縄"},
        {"Nagoya-shi", "愛知"},
        {"堺", "大阪"},
        {"さっぽろし", "北海道"},
        {"Kobe City", "兵庫"},
        // capitals named like their prefecture
        {"青森市", "青森"},
        {"秋田市", "秋田"},
        {"山形市", "山形"},
        {"福島市", "福島"},
        {"富山市", "富山"},
        {"福井市", "福井"},
        {"長野市", "長野"},
        {"岐阜市", "岐阜"},
        {"奈良市", "奈良"},
        {"和歌山市", "和歌山"},
        {"鳥取市", "鳥取"},
        {"山口市", "山口"},
        {"徳島市", "徳島"},
        {"高知市", "高知"},
        {"佐賀市", "佐賀"},
        {"長崎市", "長崎"},
        {"大分市", "大分"},
        {"宮崎市", "宮崎"},
        {"鹿児島市", "鹿児島"},
    };
    for (const auto& row : rows) {
        const auto city = Find(row.city);
        const auto prefecture = Find(row.prefecture);
        ASSERT_TRUE(city) << row.city;
        ASSERT_TRUE(prefecture) << row.prefecture;
        EXPECT_EQ(city->nMap, prefecture->nMap) << row.city;
        EXPECT_GE(city->nX, 0) << row.city;
        EXPECT_LT(city->nX, 400) << row.city;
    }
    EXPECT_EQ(Find("那覇"), Find("沖縄県"));  // in the Kyushu map's inset, as the capital
}

TEST(ResidencePlaceTest, CountriesAndCitiesAbroadInBothLanguagesAreOnTheWorldMap) {
    const struct {
        const char* japanese;
        const char* english;
    } rows[] = {
        {"アメリカ", "USA"},
        {"米国", "United States"},
        {"カナダ", "Canada"},
        {"メキシコ", "Mexico"},
        {"ブラジル", "Brazil"},
        {"アルゼンチン", "Argentina"},
        {"イギリス", "United Kingdom"},
        {"英国", "UK"},
        {"フランス", "France"},
        {"ドイツ", "Germany"},
        {"イタリア", "Italy"},
        {"スペイン", "Spain"},
        {"オランダ", "Netherlands"},
        {"スイス", "Switzerland"},
        {"スウェーデン", "Sweden"},
        {"ロシア", "Russia"},
        {"トルコ", "Turkey"},
        {"エジプト", "Egypt"},
        {"ケニア", "Kenya"},
        {"南アフリカ", "South Africa"},
        {"インド", "India"},
        {"中国", "China"},
        {"韓国", "South Korea"},
        {"台湾", "Taiwan"},
        {"タイ", "Thailand"},
        {"ベトナム", "Vietnam"},
        {"フィリピン", "Philippines"},
        {"インドネシア", "Indonesia"},
        {"オーストラリア", "Australia"},
        {"ニュージーランド", "New Zealand"},
        {"ニューヨーク", "New York"},
        {"ロンドン", "London"},
        {"パリ", "Paris"},
        {"ソウル", "Seoul"},
        {"北京", "Beijing"},
        {"シドニー", "Sydney"},
        {"ホノルル", "Honolulu"},
        {"香港", "Hong Kong"},
        {"コートジボワール", "Ivory Coast"},
    };
    for (const auto& row : rows) {
        const auto japanese = Find(row.japanese);
        ASSERT_TRUE(japanese) << row.japanese;
        EXPECT_EQ(japanese->nMap, 8) << row.japanese;
        EXPECT_EQ(japanese, Find(row.english)) << row.english;
    }
    EXPECT_NE(Find("ニューヨーク"), Find("アメリカ"));
    EXPECT_NE(Find("Niger"), Find("Nigeria"));
}

// Text that names no place, or names one only in passing, places nobody.
TEST(ResidencePlaceTest, TextsThatNameNoPlaceGiveNoPlace) {
    const char* rows[] = {
        "",
        "不明",
        "ひみつ",
        "？",
        "東京タワーが好き",
        "とうきょうにすみたい",
        "津軽",
        "Indiana",
        "Tokyoite",
        "ニューヨーカー",
        "中部地方",
        "地球",
        "秘密です",
        "  ",
        "〒100-0001",
    };
    for (const char* residence : rows) EXPECT_FALSE(Find(residence)) << residence;
}

TEST(ResidencePlaceTest, LongAndBrokenTextsAreReadSafely) {
    std::string longTail = Cp932Text("東京都");
    while (longTail.size() < 20000) longTail += Cp932Text("あ");
    EXPECT_EQ(FindResidencePlace(longTail), Find("東京都"));

    EXPECT_FALSE(FindResidencePlace(std::string(10000, '\x81')));               // lead bytes only
    EXPECT_FALSE(FindResidencePlace(std::string(10000, '\xFF')));               // no character at all
    EXPECT_FALSE(FindResidencePlace(std::string("\x93\x8c\x00\x8b\x9e", 5)));   // a NUL inside
    EXPECT_EQ(FindResidencePlace(Cp932Text("大阪") + "\x82"), Find("大阪府"));  // a lead byte at the end

    std::mt19937 random(18);
    for (int i = 0; i < 200; ++i) {
        std::string bytes(static_cast<std::size_t>(random() % 64), '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        const auto place = FindResidencePlace(bytes);
        if (place) {
            EXPECT_TRUE(place->nMap >= 0 && place->nMap < kMapCount && place->nX < 400 && place->nY < 400);
        }
    }
}

}  // namespace
