#include "ui/map/map_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <climits>

#include "core/maps.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/face_icons.h"
#include "ui/map/name_popup.h"
#include "ui/map/picture_cache.h"

namespace {

constexpr QRgb kPictureColour = qRgb(255, 0, 255);  // found on none of the maps

// A map's place names as drawn, from the picture the program's own layer is packed from.
QImage Labels(int index) { return QImage(QStringLiteral(YUBINO_MAPS_DIR "/labels%1.png").arg(index)); }

// What the view must show: map `index` with the given face icons on it, and its place
// names over the icons.
QImage Expected(int index, const std::vector<std::pair<QPoint, int>>& icons) {
    QImage image = QImage(QStringLiteral(":/maps/map%1.png").arg(index)).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    for (const auto& [place, icon] : icons) painter.drawPixmap(place, FaceIcon(icon, 32));
    painter.drawImage(0, 0, Labels(index));
    return image;
}

QImage MapPicture(int index) { return Expected(index, {}); }

// The bounding box of the pixels of one colour.
QRect AreaOf(const QImage& image, QRgb colour) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour) area |= QRect(x, y, 1, 1);
    return area;
}

class MapViewTest : public testing::Test {
protected:
    MapViewTest() {
        app.m_bMapAllPals = true;
        app.m_bListAllPals = true;
        view.SetListRows([this] { return rows; });
        view.resize(400, 400);
        view.show();
    }

    // A pal on map `map` at (x, y), listed at the end of the list.
    CPenPal& Add(const std::string& address, const std::string& map, int x, int y, int icon = 10) {
        CPenPal pal;
        pal.m_strMailAddress = address;
        pal.m_strHandleName = address + "-san";
        pal.m_strMapName = map;
        pal.m_nMapX = x;
        pal.m_nMapY = y;
        pal.m_nFaceIcon = icon;
        pals.push_back(pal);
        return pals.back();
    }

    // Stores the pals, lists them all and shows map `index`.
    void Show(int index) {
        for (const CPenPal& pal : pals) EXPECT_EQ(app.AddPal(pal), 1);
        for (const CPenPal& pal : pals) rows.push_back({pal.m_strMailAddress, false});
        view.ApplyMapChoice(index);
        view.RedrawNow();
    }

    QImage Grab() { return view.grab(QRect(0, 0, 400, 400)).toImage().convertToFormat(QImage::Format_RGB32); }

    CPenPal Stored(const std::string& address) {
        CPenPal pal;
        EXPECT_EQ(app.FindPalByAddress(address, pal), 1) << address;
        return pal;
    }

    void Mouse(QEvent::Type type, QPoint point, Qt::MouseButton button = Qt::NoButton,
               Qt::MouseButtons held = Qt::NoButton) {
        QMouseEvent event(type, point, view.mapToGlobal(point), button, held, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }
    void MoveTo(QPoint point, Qt::MouseButtons held = Qt::NoButton) {
        Mouse(QEvent::MouseMove, point, Qt::NoButton, held);
    }
    void Drag(QPoint from, QPoint to) {
        MoveTo(from);
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        MoveTo(to, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton);
    }
    void DoubleClick(QPoint point) {
        Mouse(QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, point, Qt::LeftButton);
        Mouse(QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, point, Qt::LeftButton);
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
    CPictureCache pictures;
    std::vector<CPenPal> pals;
    std::vector<PalListRow> rows;
    CMapView view{app, pictures};
};

TEST_F(MapViewTest, DrawsTheListedPalsOfTheMapAtTheirPlaces) {
    Add("kanto@example.jp", g_apszMapNames[2], 50, 60, 3);
    Add("world@example.jp", g_apszMapNames[8], 50, 60, 4);
    Add("nomap@example.jp", "", 200, 200, 5);
    Add("kanto2@example.jp", g_apszMapNames[2], 368, 0, 6);
    Show(2);
    EXPECT_EQ(Grab(), Expected(2, {{{50, 60}, 3}, {{368, 0}, 6}}));
    EXPECT_EQ(view.IconSlots().Count(), 2);
}

TEST_F(MapViewTest, PlaceNamesAreDrawnOverTheIcons) {
    const QImage labels = Labels(2);
    const QRect icon(84, 122, 32, 32);  // over "群馬"
    int opaque = 0;
    for (int y = icon.top(); y <= icon.bottom(); ++y)
        for (int x = icon.left(); x <= icon.right(); ++x) opaque += qAlpha(labels.pixel(x, y)) == 255;
    ASSERT_GT(opaque, 20) << "the place is no longer under a name";
    Add("gunma@example.jp", g_apszMapNames[2], icon.x(), icon.y(), 3);
    Show(2);
    const QImage drawn = Grab();
    EXPECT_EQ(drawn, Expected(2, {{icon.topLeft(), 3}}));
    for (int y = icon.top(); y <= icon.bottom(); ++y)
        for (int x = icon.left(); x <= icon.right(); ++x) {
            if (qAlpha(labels.pixel(x, y)) == 255) {
                ASSERT_EQ(drawn.pixel(x, y), labels.pixel(x, y)) << x << "," << y;
            }
        }
}

TEST_F(MapViewTest, UnlistedPalsAreNotDrawn) {
    Add("listed@example.jp", g_apszMapNames[2], 50, 60, 3);
    Show(2);
    app.AddPal(Add("unlisted@example.jp", g_apszMapNames[2], 200, 200, 4));
    view.RedrawNow();
    EXPECT_EQ(Grab(), Expected(2, {{{50, 60}, 3}}));
}

TEST_F(MapViewTest, SelectedPalsOnlyWithNothingSelectedShowsNoIcons) {
    Add("a@example.jp", g_apszMapNames[2], 50, 60, 3);
    Add("b@example.jp", g_apszMapNames[2], 150, 60, 4);
    Show(2);
    app.m_bMapAllPals = false;
    view.RedrawNow();
    EXPECT_EQ(Grab(), MapPicture(2));
    EXPECT_EQ(view.IconSlots().Count(), 0);
    rows[1].bSelected = true;
    view.RedrawNow();
    EXPECT_EQ(Grab(), Expected(2, {{{150, 60}, 4}}));
}

TEST_F(MapViewTest, ChoosingTheWorldShowsItsPictureAndItsPals) {
    Add("kanto@example.jp", g_apszMapNames[2], 50, 60, 3);
    Add("world@example.jp", g_apszMapNames[8], 300, 100, 4);
    Show(2);
    EXPECT_EQ(Grab(), Expected(2, {{{50, 60}, 3}}));
    ui.events.clear();
    view.ApplyMapChoice(8);
    EXPECT_EQ(Grab(), Expected(8, {{{300, 100}, 4}}));
    EXPECT_EQ(app.m_strCurrentMap, g_apszMapNames[8]);
    EXPECT_TRUE(ui.events.empty()) << "the list shows all pals and is not refilled";

    app.m_bListAllPals = false;
    view.ApplyMapChoice(7);
    EXPECT_EQ(ui.events, std::vector<std::string>{"list"});
    EXPECT_EQ(Grab(), MapPicture(7));
}

TEST_F(MapViewTest, PicturesAreDrawnWithTheLongerSide46) {
    TempDir dir;
    struct Case {
        const char* name;
        QSize size;
        QSize drawn;
    } cases[] = {{"wide.bmp", {100, 50}, {46, 23}},
                 {"tall.png", {50, 100}, {23, 46}},
                 {"flat.bmp", {100, 30}, {46, 13}},
                 {"square.png", {64, 64}, {46, 46}}};
    for (const Case& c : cases) {
        QImage picture(c.size, QImage::Format_RGB32);
        picture.fill(kPictureColour);
        const std::string path = (dir / c.name).string();
        ASSERT_TRUE(picture.save(QString::fromStdString(path)));
        CPenPal& pal = Add(c.name, g_apszMapNames[3], 100, 120);
        pal.m_bUsePicture = 1;
        pal.m_strPictureFile = path;
    }
    Show(3);
    for (const Case& c : cases) {
        rows = {{c.name, false}};
        view.RedrawNow();
        EXPECT_EQ(AreaOf(Grab(), kPictureColour), QRect(QPoint(100, 120), c.drawn)) << c.name;
    }
}

TEST_F(MapViewTest, HoveringShowsTheNameTagOfTheIconDrawnFirst) {
    Add("under@example.jp", g_apszMapNames[2], 100, 100);
    Add("over@example.jp", g_apszMapNames[2], 110, 110);
    Show(2);
    const CNamePopup& tag = view.NamePopup();
    MoveTo({120, 125});
    EXPECT_TRUE(tag.isVisible());
    EXPECT_EQ(tag.Text(), "under@example.jp-san");
    EXPECT_EQ(tag.pos(), view.mapToGlobal(QPoint(152, 125)));
    EXPECT_EQ(view.cursor().shape(), Qt::BitmapCursor);
    MoveTo({140, 141});
    EXPECT_EQ(tag.Text(), "over@example.jp-san");
    MoveTo({100, 100});  // on the first icon's edge: outside
    EXPECT_FALSE(tag.isVisible());
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MapViewTest, DragMovesTheIconDrawnFirstOnRelease) {
    Add("under@example.jp", g_apszMapNames[2], 100, 100);
    Add("over@example.jp", g_apszMapNames[2], 110, 110);
    Show(2);
    MoveTo({120, 120});
    Mouse(QEvent::MouseButtonPress, {120, 120}, Qt::LeftButton, Qt::LeftButton);
    MoveTo({170, 140}, Qt::LeftButton);
    EXPECT_EQ(Stored("under@example.jp").m_nMapX, 100) << "the icon jumps only on release";
    EXPECT_TRUE(view.NamePopup().isVisible()) << "the tag follows the pointer";
    Mouse(QEvent::MouseButtonRelease, {170, 140}, Qt::LeftButton);
    EXPECT_EQ(Stored("under@example.jp").m_nMapX, 150);
    EXPECT_EQ(Stored("under@example.jp").m_nMapY, 120);
    EXPECT_EQ(Stored("over@example.jp").m_nMapX, 110);
    EXPECT_FALSE(view.NamePopup().isVisible());
    EXPECT_EQ(view.IconSlots().Slot(0).nX, 150) << "redrawn at once";
    EXPECT_EQ(Grab(), Expected(2, {{{150, 120}, 10}, {{110, 110}, 10}}));
}

TEST_F(MapViewTest, DragsEndingPastAnEdgeStopAtTheEdge) {
    struct Case {
        const char* name;
        QPoint to;
        QPoint stored;
    } cases[] = {
        {"left", {-300, 110}, {0, 100}},    {"right", {900, 110}, {368, 100}},   {"top", {110, -300}, {100, 0}},
        {"bottom", {110, 900}, {100, 368}}, {"nowhere", {110, 110}, {100, 100}},
    };
    Add("a@example.jp", g_apszMapNames[2], 100, 100);
    Show(2);
    for (const Case& c : cases) {
        CPenPal pal = Stored("a@example.jp");
        pal.m_nMapX = pal.m_nMapY = 100;
        app.ReplacePal(pal);
        view.RedrawNow();
        Drag({110, 110}, c.to);
        EXPECT_EQ(QPoint(Stored("a@example.jp").m_nMapX, Stored("a@example.jp").m_nMapY), c.stored) << c.name;
    }
    EXPECT_EQ(Stored("a@example.jp"), pals[0]) << "a zero-length drag stores the pal unchanged";
}

TEST_F(MapViewTest, CursorShowsHoverAndDrag) {
    Add("a@example.jp", g_apszMapNames[2], 100, 100);
    Show(2);
    auto cursorPicture = [&] { return view.cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32); };
    auto picture = [](const char* path) { return QImage(path).convertToFormat(QImage::Format_ARGB32); };
    MoveTo({110, 110});
    EXPECT_EQ(cursorPicture(), picture(":/cursors/move.png"));
    Mouse(QEvent::MouseButtonPress, {110, 110}, Qt::LeftButton, Qt::LeftButton);
    MoveTo({300, 300}, Qt::LeftButton);
    EXPECT_EQ(cursorPicture(), picture(":/cursors/move_drag.png"));
    Mouse(QEvent::MouseButtonRelease, {300, 300}, Qt::LeftButton);
    EXPECT_EQ(cursorPicture(), picture(":/cursors/move.png")) << "the icon is under the pointer again";
}

TEST_F(MapViewTest, DoubleClickEditsThePalUnderThePointer) {
    Add("under@example.jp", g_apszMapNames[2], 100, 100);
    Add("over@example.jp", g_apszMapNames[2], 110, 110);
    Add("away@example.jp", g_apszMapNames[2], 300, 300);
    Show(2);
    std::vector<std::string> edited;
    ui.palDialogs.push_back([&](CPenPal& pal, PalInfoMode mode) {
        EXPECT_EQ(mode, PalInfoMode::EditOne);
        edited.push_back(pal.m_strMailAddress);
        pal.m_nFaceIcon = 42;
        return true;
    });
    DoubleClick({105, 105});
    EXPECT_EQ(edited, std::vector<std::string>{"under@example.jp"});
    EXPECT_EQ(Stored("under@example.jp").m_nFaceIcon, 42);
    EXPECT_EQ(Grab(), Expected(2, {{{100, 100}, 42}, {{110, 110}, 10}, {{300, 300}, 10}}));

    edited.clear();
    auto cancel = [&](CPenPal& pal, PalInfoMode) {
        edited.push_back(pal.m_strMailAddress);
        return false;
    };
    ui.palDialogs = {cancel, cancel};
    DoubleClick({120, 120});
    EXPECT_EQ(edited, (std::vector<std::string>{"under@example.jp", "over@example.jp"})) << "each in turn";
    const auto dialogs = std::count(ui.events.begin(), ui.events.end(), "edit pal");
    DoubleClick({10, 10});
    EXPECT_EQ(std::count(ui.events.begin(), ui.events.end(), "edit pal"), dialogs);
}

// A 1-bit grey PNG of width x height, all black: a huge picture in a small file.
QByteArray BlackPng(quint32 width, quint32 height) {
    auto be32 = [](quint32 v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    auto crc = [](const QByteArray& bytes) {
        quint32 c = 0xFFFFFFFFu;
        for (char ch : bytes) {
            c ^= static_cast<quint8>(ch);
            for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    };
    auto chunk = [&](const char* type, const QByteArray& data) {
        const QByteArray typed = QByteArray(type) + data;
        return be32(static_cast<quint32>(data.size())) + typed + be32(crc(typed));
    };
    const QByteArray header = be32(width) + be32(height) + QByteArray("\x01\x00\x00\x00\x00", 5);
    const QByteArray rows(static_cast<qsizetype>(height) * (1 + (width + 7) / 8), '\0');
    const QByteArray zlib = qCompress(rows).mid(4);  // qCompress puts the length first
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", {});
}

TEST_F(MapViewTest, BadPalsAreSkippedOrDrawnButNeverBreakTheMap) {
    TempDir dir;
    WriteFileBytes(dir / "huge.png", BlackPng(20000, 20000).toStdString());
    Add("far@example.jp", g_apszMapNames[2], INT_MAX, INT_MIN);
    Add("negative@example.jp", g_apszMapNames[2], -100000, 5);
    CPenPal& missing = Add("missing@example.jp", g_apszMapNames[2], 200, 200);
    missing.m_bUsePicture = 1;
    missing.m_strPictureFile = (dir / "nothing.jpg").string();
    CPenPal& huge = Add("huge@example.jp", g_apszMapNames[2], 300, 300);
    huge.m_bUsePicture = 1;
    huge.m_strPictureFile = (dir / "huge.png").string();
    Add("noicon@example.jp", g_apszMapNames[2], 10, 10, 9999);
    Add("odd@example.jp", g_apszMapNames[2], 50, 50).m_bUsePicture = 7;

    QElapsedTimer timer;
    timer.start();
    Show(2);
    view.RedrawNow();
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(view.IconSlots().Count(), 6);
    const QImage drawn = Grab();
    EXPECT_EQ(drawn.copy(0, 0, 300, 300), MapPicture(2).copy(0, 0, 300, 300)) << "nothing drawn but the huge picture";

    MoveTo({210, 210});
    EXPECT_EQ(view.NamePopup().Text(), "missing@example.jp-san") << "a missing picture keeps its slot";
    Drag({210, 210}, {230, 220});
    EXPECT_EQ(Stored("missing@example.jp").m_nMapX, 220);
    Drag({INT_MAX - 10, 0}, {0, 0});
    EXPECT_EQ(Stored("far@example.jp").m_nMapX, INT_MAX) << "beyond the view nothing can be grabbed";
}

TEST_F(MapViewTest, EveryMapIsDrawnWithItsPlaceNames) {
    Show(0);
    for (int map = 0; map < kMapCount; ++map) {
        view.ApplyMapChoice(map);
        EXPECT_EQ(Grab(), MapPicture(map)) << g_apszMapNames[map];
    }
}

TEST_F(MapViewTest, NoMapChosenShowsThePalsOfNoMap) {
    Add("nomap@example.jp", "", 50, 60, 3);
    for (const CPenPal& pal : pals) app.AddPal(pal);
    rows = {{"nomap@example.jp", false}};
    view.RedrawNow();
    EXPECT_EQ(Grab(), MapPicture(0));
}

TEST(NamePopup, IsShapedByTheNameTagAndNeverTakesTheFocus) {
    CNamePopup tag;
    EXPECT_EQ(tag.size(), QSize(130, 25));
    const QRegion shape = tag.mask();
    EXPECT_FALSE(shape.contains(QPoint(0, 0))) << "white corner left of the slant";
    EXPECT_TRUE(shape.contains(QPoint(129, 12)));
    EXPECT_TRUE(shape.contains(QPoint(30, 3)));
    EXPECT_TRUE(tag.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(tag.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(tag.isWindow());
}

TEST(NamePopup, NewTextHidesTheTagUntilShownAgain) {
    CNamePopup tag;
    tag.SetText("a");
    tag.show();
    tag.SetText("a");
    EXPECT_TRUE(tag.isVisible());
    tag.SetText("b");
    EXPECT_FALSE(tag.isVisible());
    EXPECT_EQ(tag.Text(), "b");
}

}  // namespace
