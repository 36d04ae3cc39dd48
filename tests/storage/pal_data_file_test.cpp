#include "storage/pal_data_file.h"

#include <gtest/gtest.h>

#include <random>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"

namespace {

// "08 59 42" -> the three bytes.
std::string Hex(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(static_cast<char>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

const std::string kMagic = Hex("08 59 42 46 20 32 2E 30 30");
const std::string kDate2000 = Hex("00 00 00 00 00 00 00 00 C0 D5 E1 40");
// A freshly constructed CPenPal as one record: fields 1-9, 10-12, 13-16, 17, 18, 19, 20,
// 21, 22, 23, 24-26.
const std::string kFreshRecord = Hex("00 00 02 81 48 02 81 48 00 00 00 00 00") + kDate2000 + kDate2000 + kDate2000 +
                                 Hex("00 00 00 02 81 48 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                     "00 00 00");

CPenPal Pal(int n) {
    CPenPal pal;
    pal.m_strHandleName = Sjis("ゆびの") + std::to_string(n);
    pal.m_strMailAddress = "pal" + std::to_string(n) + "@example.jp";
    pal.m_strAge = Sjis("２") + std::to_string(n % 10);
    pal.m_dtFirstMail = COleDateTime(2001, 1 + n % 12, 1 + n % 28, n % 24, 30, 15);
    pal.m_dtBirthday = COleDateTime(n % 7 == 0 ? 2.5 : 100.25 + n, COleDateTime::DateTimeStatus(n % 3));
    pal.m_nFaceIcon = n % 116 - 1;
    pal.m_nMapX = n * 3 - 200;
    pal.m_nMapY = -n;
    pal.m_strMapName = Sjis("関東");
    pal.m_strLastMailText = std::string(static_cast<std::size_t>(n % 300), 'a') + "\x08" + Sjis("本文");
    pal.m_strMemo = std::string(static_cast<std::size_t>(n) * 137, 'm');
    return pal;
}

class PalDataFileTest : public testing::Test {
protected:
    std::string Write(const std::vector<CPenPal>& pals) {
        CYubinoApp source(ui);
        for (const CPenPal& pal : pals) source.AddPal(pal);
        return WritePalData(source);
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(PalDataFileTest, EmptyTableIsTheMagicAlone) {
    EXPECT_EQ(WritePalData(app), kMagic);
    EXPECT_EQ(kMagic.size(), 9u);
    EXPECT_EQ(kMagic, kPalDataMagic);
}

TEST_F(PalDataFileTest, FreshRecordIsItsSeventySevenBytes) {
    ASSERT_EQ(kFreshRecord.size(), 77u);
    EXPECT_EQ(Write({CPenPal()}), kMagic + kFreshRecord);

    PalDataReadResult result = ReadPalData(app, kMagic + kFreshRecord);
    EXPECT_EQ(result.status, PalDataReadResult::Status::Loaded);
    EXPECT_TRUE(result.complete);
    ASSERT_EQ(app.GetPalCount(), 1);
    EXPECT_EQ(app.Pals()[0], CPenPal());
}

TEST_F(PalDataFileTest, StringLengthPrefixes) {
    struct Row {
        const char* name;
        std::size_t length;
        std::string prefix;
    };
    const Row rows[] = {
        {"empty", 0, Hex("00")},
        {"longest one-byte", 254, Hex("FE")},
        {"shortest 16-bit", 255, Hex("FF FF 00")},
        {"longest 16-bit", 65533, Hex("FF FD FF")},
        {"shortest 32-bit", 65534, Hex("FF FF FF FE FF 00 00")},
        {"64 KiB", 65536, Hex("FF FF FF 00 00 01 00")},
        {"long mail", 70000, Hex("FF FF FF 70 11 01 00")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CPenPal pal;
        pal.m_strHandleName = std::string(row.length, 'x');
        const std::string bytes = Write({pal});
        EXPECT_EQ(bytes, kMagic + row.prefix + pal.m_strHandleName + kFreshRecord.substr(1));

        ReadPalData(app, bytes);
        ASSERT_EQ(app.GetPalCount(), 1);
        EXPECT_EQ(app.Pals()[0], pal);
    }
}

TEST_F(PalDataFileTest, LongLastMailRoundTrips) {
    CPenPal pal = Pal(1);
    pal.m_strLastMailText = std::string(70000, 'a') + Sjis("おわり");
    ReadPalData(app, Write({pal}));
    ASSERT_EQ(app.GetPalCount(), 1);
    EXPECT_EQ(app.Pals()[0], pal);
}

TEST_F(PalDataFileTest, StringFormsThatAreReadButNeverWritten) {
    struct Row {
        const char* name;
        std::string field;  // the handle name as stored
        std::string text;   // code page 932
    };
    const Row rows[] = {
        {"16-bit prefix for a short string", Hex("FF 03 00 61 62 63"), "abc"},
        {"32-bit prefix for a short string", Hex("FF FF FF 03 00 00 00 61 62 63"), "abc"},
        {"UTF-16 with one-byte length", Hex("FF FE FF 03 86 30 73 30 41 00"), Sjis("ゆびA")},
        {"UTF-16 with 16-bit length", Hex("FF FE FF FF 02 00 6E 30 0D 54"), Sjis("の名")},
        {"UTF-16 with 32-bit length", Hex("FF FE FF FF FF FF 01 00 00 00 42 00"), "B"},
        {"UTF-16 with a second mark", Hex("FF FE FF FF FE FF 01 00 00 00 42 00"), "B"},
        {"UTF-16 without a code page 932 form", Hex("FF FE FF 02 3D D8 00 DE"), "?"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PalDataReadResult result = ReadPalData(app, kMagic + row.field + kFreshRecord.substr(1));
        EXPECT_TRUE(result.complete);
        ASSERT_EQ(app.GetPalCount(), 1);
        EXPECT_EQ(app.Pals()[0].m_strHandleName, row.text);
    }
}

TEST_F(PalDataFileTest, DatesKeepTheirStatus) {
    std::string record = kFreshRecord;
    record[13] = 1;  // the birthday's status
    record[25] = 2;  // the first mail's
    ReadPalData(app, kMagic + record);
    ASSERT_EQ(app.GetPalCount(), 1);
    EXPECT_EQ(app.Pals()[0].m_dtBirthday, COleDateTime(kDefaultPalDate, COleDateTime::invalid));
    EXPECT_EQ(app.Pals()[0].m_dtFirstMail, COleDateTime(kDefaultPalDate, COleDateTime::null));
    EXPECT_EQ(app.Pals()[0].m_dtLastMail, COleDateTime(2000, 1, 1));
    EXPECT_EQ(WritePalData(app), kMagic + record);
}

TEST_F(PalDataFileTest, FiveHundredPalsRoundTripInOrder) {
    std::vector<CPenPal> pals;
    for (int i = 0; i < kMaxPals; ++i) pals.push_back(Pal(i));
    const std::string bytes = Write(pals);

    PalDataReadResult result = ReadPalData(app, bytes);
    EXPECT_TRUE(result.complete);
    EXPECT_FALSE(result.LostData());
    EXPECT_EQ(app.Pals(), pals);
    EXPECT_EQ(WritePalData(app), bytes);
}

TEST_F(PalDataFileTest, RecordsAfterTheFiveHundredthAreNotRead) {
    std::vector<CPenPal> pals;
    for (int i = 0; i < kMaxPals; ++i) pals.push_back(Pal(i));
    CPenPal extra = Pal(kMaxPals);
    CYubinoApp other(ui);
    other.AddPal(extra);
    const std::string bytes = Write(pals) + WritePalData(other).substr(kMagic.size());

    PalDataReadResult result = ReadPalData(app, bytes);
    EXPECT_EQ(app.Pals(), pals);
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(result.unreadTail);
    EXPECT_TRUE(result.LostData());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PalDataFileTest, DataEndingInsideARecordKeepsTheRecordsBefore) {
    const std::string twoPals = Write({Pal(1), Pal(2)});
    const std::string threePals = Write({Pal(1), Pal(2), Pal(3)});
    for (std::size_t cut = twoPals.size() + 1; cut < threePals.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        PalDataReadResult result = ReadPalData(app, std::string_view(threePals).substr(0, cut));
        EXPECT_FALSE(result.complete);
        ASSERT_EQ(app.GetPalCount(), 2);
        EXPECT_EQ(app.Pals()[1], Pal(2));
    }
    PalDataReadResult atRecordStart = ReadPalData(app, twoPals);
    EXPECT_TRUE(atRecordStart.complete);
    EXPECT_EQ(app.GetPalCount(), 2);
}

TEST_F(PalDataFileTest, LengthBeyondTheDataEndsTheReading) {
    const std::string first = Write({Pal(1)});
    const std::string rows[] = {
        Hex("FF FF FF FF FF FF FF") + "abc",
        Hex("FF FF FF 00 00 00 80"),
        Hex("FF FE FF FF FF FF FF FF FF 7F") + "ab",
        Hex("FE") + std::string(253, 'x'),
    };
    for (const std::string& field : rows) {
        PalDataReadResult result = ReadPalData(app, first + field);
        EXPECT_FALSE(result.complete);
        ASSERT_EQ(app.GetPalCount(), 1);
        EXPECT_EQ(app.Pals()[0], Pal(1));
    }
}

TEST_F(PalDataFileTest, RepeatedAddressesAreRefusedWithTheirMessageAndReadingGoesOn) {
    CPenPal repeat = Pal(1);
    repeat.m_strHandleName = "other";
    repeat.m_bUsePicture = 1;
    repeat.m_strPictureFile = "/pictures/repeat.jpg";
    CPenPal withPicture = Pal(2);
    withPicture.m_bUsePicture = 1;
    withPicture.m_strPictureFile = "/pictures/two.jpg";
    CPenPal flagTwo = Pal(3);
    flagTwo.m_bUsePicture = 2;
    flagTwo.m_strPictureFile = "/pictures/three.jpg";
    std::string bytes = Write({Pal(1), withPicture, flagTwo});
    CYubinoApp other(ui);
    other.AddPal(repeat);
    bytes += WritePalData(other).substr(kMagic.size());

    PalDataReadResult result = ReadPalData(app, bytes);
    EXPECT_EQ(result.refused, 1);
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(result.LostData());
    ASSERT_EQ(app.GetPalCount(), 3);
    EXPECT_EQ(app.Pals()[0], Pal(1));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, Utf8(FormatText(texts::kAlreadyRegistered, "pal1@example.jp")));
    // A refused record still asks for its picture; only the flag 1 means a picture.
    EXPECT_EQ(ui.preloadedPictures, (std::vector<std::string>{"/pictures/two.jpg", "/pictures/repeat.jpg"}));
}

TEST_F(PalDataFileTest, DataThatIsNoPalDataLeavesTheTableAlone) {
    using Status = PalDataReadResult::Status;
    struct Row {
        const char* name;
        std::string bytes;
        Status status;
        bool complete;
    };
    const Row rows[] = {
        {"empty", "", Status::TooShort, true},
        {"cut inside the magic", Hex("08 59 42 46"), Status::TooShort, false},
        {"another version", Hex("08 59 42 46 20 31 2E 30 30 00"), Status::Foreign, true},
        {"text", "hello, world\n", Status::Foreign, true},
        {"one byte", Hex("07"), Status::Foreign, true},
        {"magic in a 16-bit prefix", Hex("FF 08 00 59 42 46 20 32 2E 30 30"), Status::Foreign, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        app.ClearPals();
        app.AddPal(Pal(7));
        PalDataReadResult result = ReadPalData(app, row.bytes);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.complete, row.complete);
        EXPECT_EQ(app.Pals(), std::vector<CPenPal>{Pal(7)});
    }
}

TEST_F(PalDataFileTest, RandomDataAfterTheMagicNeverHoldsMoreThanATable) {
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = kMagic;
        const int size = static_cast<int>(random() % 4000);
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(random() % 4 ? random() % 8 : random()));
        PalDataReadResult result = ReadPalData(app, bytes);
        EXPECT_EQ(result.status, PalDataReadResult::Status::Loaded);
        EXPECT_LE(app.GetPalCount(), kMaxPals);
    }
}

}  // namespace
