// A card merged into the pal it belongs to, names split by script, residences read as
// addresses, and line breaks given back in their stored forms.
#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/mail_address.h"
#include "storage/pal_card_text.h"
#include "storage/pal_merge.h"
#include "storage/vcard_text.h"

namespace {

CPenPal Pal(std::string address, std::string name = "", std::string job = "", std::string tel1 = "") {
    CPenPal pal;
    pal.m_strMailAddress = std::move(address);
    pal.m_strName = std::move(name);
    pal.m_strJob = std::move(job);
    pal.m_strTel1 = std::move(tel1);
    return pal;
}

ImportedPal Theirs(const CPenPal& pal) {
    ImportedPal imported;
    imported.pal = pal;
    return imported;
}

struct MergeCase {
    const char* name;
    CPenPal ours, theirs;
    MergePolicy policy;
    std::vector<PalField> filled;
    std::vector<PalField> conflicts;
    std::string nameAfter, jobAfter;
};

class PalMergeTest : public testing::TestWithParam<MergeCase> {};

TEST_P(PalMergeTest, FillsKeepsOrTakes) {
    const MergeCase& c = GetParam();
    const PalMerge merge = MergePal(c.ours, {}, Theirs(c.theirs), c.policy);
    EXPECT_EQ(merge.filled, c.filled);
    std::vector<PalField> conflicts;
    for (const FieldConflict& conflict : merge.conflicts) conflicts.push_back(conflict.field);
    EXPECT_EQ(conflicts, c.conflicts);
    EXPECT_EQ(merge.pal.m_strName, c.nameAfter);
    EXPECT_EQ(merge.pal.m_strJob, c.jobAfter);
    EXPECT_EQ(merge.pal.m_strMailAddress, c.ours.m_strMailAddress) << "the pal keeps its address";
}

INSTANTIATE_TEST_SUITE_P(Policies, PalMergeTest,
                         testing::Values(MergeCase{"FillTakesTheEmptyFieldAndKeepsOurs",
                                                   Pal("a@x", "Ann"),
                                                   Pal("a@x", "Anne", "cook"),
                                                   MergePolicy::Fill,
                                                   {PalField::Job},
                                                   {PalField::Name},
                                                   "Ann",
                                                   "cook"},
                                         MergeCase{"TheirsTakesTheConflictToo",
                                                   Pal("a@x", "Ann"),
                                                   Pal("a@x", "Anne", "cook"),
                                                   MergePolicy::Theirs,
                                                   {PalField::Job},
                                                   {PalField::Name},
                                                   "Anne",
                                                   "cook"},
                                         MergeCase{"OursChangesNothing",
                                                   Pal("a@x", "Ann"),
                                                   Pal("a@x", "Anne", "cook"),
                                                   MergePolicy::Ours,
                                                   {},
                                                   {PalField::Name},
                                                   "Ann",
                                                   ""},
                                         MergeCase{"EmptyTheirsNeverErases",
                                                   Pal("a@x", "Ann", "cook"),
                                                   Pal("a@x"),
                                                   MergePolicy::Theirs,
                                                   {},
                                                   {},
                                                   "Ann",
                                                   "cook"},
                                         MergeCase{"ANewNumberFillsTheEmptySlot",
                                                   Pal("a@x", "Ann", "", "01"),
                                                   Pal("a@x", "Ann", "", "02"),
                                                   MergePolicy::Fill,
                                                   {PalField::Tel2},
                                                   {},
                                                   "Ann",
                                                   ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PalMerge, AddressesMatchInAnyCaseAndBeyondTheSlotsGoToTheRecord) {
    CPenPal ours = Pal("yuki@example.jp");
    ours.m_strMailAddress2 = "y2@x";
    ours.m_strMobileAddress = "y3@x";
    const std::vector<CPenPal> table = {Pal("other@x"), ours};
    CPenPal theirs = Pal("Y2@X");
    theirs.m_strMailAddress2 = "new@x";
    EXPECT_EQ(FindPalForImport(table, theirs), 1);
    EXPECT_EQ(FindPalForImport(table, Pal("nobody@x")), -1);
    const PalMerge merge = MergePal(ours, {}, Theirs(theirs), MergePolicy::Fill);
    EXPECT_EQ(merge.card.extraAddresses, std::vector<std::string>{"new@x"});
    EXPECT_TRUE(IsSameMailAddress("Yuki@Example.JP", "yuki@example.jp"));
    EXPECT_FALSE(IsSameMailAddress("yuki@example.jp", "yuki@example.jp.evil"));
}

TEST(PalMerge, TextsThatDifferInLineBreaksOnlyKeepOursByteForByte) {
    CPenPal ours = Pal("a@x");
    ours.m_strMemo = "one\ntwo";
    ours.m_strLastMailText =
        "hi\x08there\r\x08"
        "bye";
    CPenPal theirs = Pal("a@x");
    theirs.m_strMemo = "one\r\ntwo";
    theirs.m_strLastMailText =
        "hi\r\x08there\r\x08"
        "bye";
    const PalMerge merge = MergePal(ours, {}, Theirs(theirs), MergePolicy::Theirs);
    EXPECT_TRUE(merge.conflicts.empty());
    EXPECT_EQ(merge.pal, ours);
}

TEST(LineBreakForms, StoredFormsComeBackAfterAnEscapedTrip) {
    for (const std::string stored : {"a\r\x08"
                                     "b\x08"
                                     "c\rd",
                                     "a\r\nb", "plain", "a\nb\r\nc\n"}) {
        const std::string forms = LineBreakForms(stored);
        const char lineBreak = stored.find('\x08') != std::string::npos ? '\x08' : '\n';
        std::string sent = EscapeVCardUtf8(stored), unescaped;
        for (std::size_t i = 0; i < sent.size(); ++i)
            unescaped += sent[i] == '\\' && sent[i + 1] == 'n' ? (++i, '\n') : sent[i];
        EXPECT_EQ(sent.find('\r'), std::string::npos);
        EXPECT_EQ(RestoreLineBreaks(unescaped, forms, lineBreak), stored);
    }
}

TEST(PersonName, SplitByScriptAndJoinedBackTheSame) {
    const struct {
        const char* text;
        PersonName parts;
    } rows[] = {
        {"Anne-Marie O'Neil, Jr.", {"O'Neil", "Anne-Marie", "", "", "Jr."}},
        {"O'Neil, Anne-Marie", {"O'Neil", "Anne-Marie", "", "", ""}},
        {"Dr. John Ronald Tolkien", {"Tolkien", "John", "Ronald", "Dr.", ""}},
        {"Émilie Dubois", {"Dubois", "Émilie", "", "", ""}},
        {"山田 太郎", {"山田", "太郎", "", "", ""}},
        {"山田\u3000花子", {"山田", "花子", "", "", ""}},
        {"ゆきうさぎ", {"ゆきうさぎ", "", "", "", ""}},
        {"Madonna", {"", "Madonna", "", "", ""}},
    };
    for (const auto& row : rows) {
        const PersonName name = SplitPersonName(row.text);
        EXPECT_EQ(std::tie(name.family, name.given, name.additional, name.prefix, name.suffix),
                  std::tie(row.parts.family, row.parts.given, row.parts.additional, row.parts.prefix, row.parts.suffix))
            << row.text;
    }
    EXPECT_EQ(JoinPersonName(SplitPersonName("Anne-Marie O'Neil, Jr.")), "Anne-Marie O'Neil, Jr.");
}

TEST(JapaneseAddress, OnlyAResidenceThatJoinsBackReadsAsOne) {
    const struct {
        const char* residence;
        std::optional<std::tuple<std::string, std::string, std::string>> parts;
    } rows[] = {
        {"東京都新宿区西新宿2-8-1", std::tuple{"東京都", "新宿区", "西新宿2-8-1"}},
        {"北海道札幌市中央区北一条西2", std::tuple{"北海道", "札幌市", "中央区北一条西2"}},
        {"神奈川県足柄上郡開成町1", std::tuple{"神奈川県", "足柄上郡開成町", "1"}},
        {"鹿児島県", std::tuple{"鹿児島県", "", ""}},
        {"東京タワーの近く", std::nullopt},
        {"1 Main St, Springfield, IL", std::nullopt},
    };
    for (const auto& row : rows) {
        const std::optional<AddressParts> parts = ParseJapaneseAddress(row.residence);
        ASSERT_EQ(parts.has_value(), row.parts.has_value()) << row.residence;
        if (parts) {
            EXPECT_EQ(std::tie(parts->region, parts->locality, parts->street), *row.parts) << row.residence;
        }
    }
}

TEST(OriginalTexts, TheUsersCharactersAreShownWhileTheFieldStillHoldsTheirForm) {
    COriginalTexts texts;
    CPenPal pal = Pal("a@x");
    pal.m_strName = texts.Cp932("Émilie") + " " + texts.Cp932("Dubois");
    pal.m_strResidence = texts.Cp932("12 Rue de la République");
    PalCard card;
    texts.KeepIn(pal, card);
    EXPECT_EQ(pal.m_strName, "?milie Dubois");
    EXPECT_EQ(ShownFieldText(pal, &card, PalField::Name), "Émilie Dubois");
    EXPECT_EQ(ShownFieldText(pal, &card, PalField::Residence), "12 Rue de la République");
    pal.m_strName = "Emily Dubois";  // changed since: the record's text no longer applies
    EXPECT_EQ(ShownFieldText(pal, &card, PalField::Name), "Emily Dubois");
}

}  // namespace
