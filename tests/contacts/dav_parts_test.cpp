// The parts of the address book sync that judge what a server sends: its XML, its hrefs,
// and the merge of a pal both sides changed.
#include <gtest/gtest.h>

#include "contacts/card_merge.h"
#include "contacts/carddav_client.h"
#include "contacts/dav_xml.h"

namespace {

TEST(DavXml, RefusesWhatCouldReadOrExpandEntities) {
    struct Case {
        const char* name;
        std::string xml;
        bool accepted;
    };
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i < 10; ++i) {
        std::string ten;
        for (int j = 0; j < 10; ++j) ten += "&lol" + (i > 1 ? std::to_string(i - 1) : std::string()) + ";";
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"" + ten + "\">";
    }
    laughs += "]><D:multistatus xmlns:D=\"DAV:\">&lol9;</D:multistatus>";
    std::string deep;
    for (int i = 0; i < 100; ++i) deep += "<a>";
    for (int i = 0; i < 100; ++i) deep += "</a>";
    const std::vector<Case> cases = {
        {"a multistatus", "<D:multistatus xmlns:D=\"DAV:\"><D:response/></D:multistatus>", true},
        {"entity expansion", laughs, false},
        {"external entity", "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><d>&x;</d>",
         false},
        {"a document type alone", "<!DOCTYPE d><d/>", false},
        {"nesting too deep", deep, false},
        {"not well-formed", "<D:multistatus xmlns:D=\"DAV:\">", false},
        {"nothing", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string why;
        const std::optional<XmlNode> root = ParseDavXml(c.xml, why);
        EXPECT_EQ(root.has_value(), c.accepted) << why;
        if (root) {
            EXPECT_TRUE(root->Is(kDavNs, "multistatus"));
        }
    }
}

TEST(CardDavHref, OnlyTheServerGivenIsReached) {
    const CCardDavClient client("https://dav.example.jp:8443/pal/", "pal", "pw", {});
    struct Case {
        const char* href;
        std::optional<std::string> path;
    };
    const std::vector<Case> cases = {
        {"/pal/book/a.vcf", "/pal/book/a.vcf"},
        {"https://DAV.example.jp:8443/pal/book/", "/pal/book/"},
        {"a.vcf", "/pal/book/a.vcf"},
        {"https://evil.example.com/pal/book/", std::nullopt},
        {"https://dav.example.jp/pal/", std::nullopt},  // another port
        {"http://dav.example.jp:8443/pal/", std::nullopt},
        {"//evil.example.com/pal/", std::nullopt},
        {"file:///etc/passwd", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(client.PathOf(c.href, "/pal/book/"), c.path) << c.href;
}

TEST(CardMerge, EachFieldTakesTheSideThatChangedIt) {
    CPenPal base;
    base.m_strMailAddress = "pal@example.jp";
    base.m_strJob = "会社員";
    base.m_strHobby = "読書";
    base.m_strResidence = "東京都";
    struct Case {
        const char* name;
        std::string oursJob, theirsJob, theirsHobby;
        bool oursNewer;
        std::string job, hobby, memo;
    };
    const std::vector<Case> cases = {
        {"only theirs changed", "会社員", "教師", "読書", false, "教師", "読書", ""},
        {"only ours changed", "教師", "会社員", "映画", false, "教師", "映画", ""},
        {"both, ours newer", "教師", "医師", "読書", true, "教師", "読書", "職業: 医師"},
        {"both, theirs newer", "教師", "医師", "読書", false, "医師", "読書", "職業: 教師"},
        {"both to the same value", "教師", "教師", "読書", false, "教師", "読書", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPenPal ours = base, theirs = base;
        ours.m_strJob = c.oursJob;
        theirs.m_strJob = c.theirsJob;
        theirs.m_strHobby = c.theirsHobby;
        const ThreeWayMerge merge = MergeThreeWay(base, ours, theirs, c.oursNewer);
        EXPECT_EQ(merge.pal.m_strJob, c.job);
        EXPECT_EQ(merge.pal.m_strHobby, c.hobby);
        EXPECT_EQ(merge.conflicts.size(), c.memo.empty() ? 0u : 1u);
        EXPECT_EQ(merge.pal.m_strResidence, "東京都");
    }
}

}  // namespace
