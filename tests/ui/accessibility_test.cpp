// The window as assistive tools read it, through Qt's accessibility interfaces, and the
// map worked from the keyboard alone.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QToolBar>
#include <functional>
#include <map>

#include "core/accessible_texts.h"
#include "core/texts.h"
#include "main_window_fixture.h"
#include "screenshot.h"
#include "ui/main/undo_history.h"
#include "ui/map/map_view.h"

namespace {

using namespace main_window_fixture;

CPenPal PalAt(const std::string& address, const std::string& handle, int x, int y) {
    CPenPal pal = Pal(address, handle, "関東");
    pal.m_nMapX = x;
    pal.m_nMapY = y;
    return pal;
}

// Aki and Chi side by side on the map shown first, Bun on another map.
const std::vector<CPenPal> kMapPals = {PalAt("a@x", "Aki", 100, 100), PalAt("c@x", "Chi", 200, 100),
                                       Pal("b@x", "Bun", "九州")};

// Every interface under `root` (depth first, `root` included).
void Walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit, int depth = 0) {
    if (!root || depth > 40) return;
    visit(root);
    for (int k = 0; k < root->childCount(); ++k) Walk(root->child(k), visit, depth + 1);
}

QAccessibleInterface* FindNamed(QAccessibleInterface* root, const QString& name, QAccessible::Role role) {
    QAccessibleInterface* found = nullptr;
    Walk(root, [&](QAccessibleInterface* iface) {
        if (!found && iface->role() == role && iface->text(QAccessible::Name) == name) found = iface;
    });
    return found;
}

class AccessibilityTest : public MainWindowTest {
protected:
    void SetUp() override {
        QAccessible::setActive(true);
        StartWith(kMapPals);
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    CMapView& Map() { return *frame->GetMapView(); }
    QAccessibleInterface* Window() { return QAccessible::queryAccessibleInterface(frame.get()); }
    MapPosition StoredPosition(const std::string& address) {
        CPenPal pal;
        EXPECT_EQ(app.FindPalByAddress(address, pal), 1);
        return {pal.m_nMapX, pal.m_nMapY};
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

TEST_F(AccessibilityTest, EveryShownControlHasAName) {
    const QAccessible::Role controls[] = {QAccessible::Button,       QAccessible::CheckBox, QAccessible::ComboBox,
                                          QAccessible::EditableText, QAccessible::ToolBar,  QAccessible::List,
                                          QAccessible::Tree,         QAccessible::Table};
    QStringList unnamed;
    std::map<QString, int> toolButtonNames;
    Walk(Window(), [&](QAccessibleInterface* iface) {
        if (iface->state().invisible ||
            std::find(std::begin(controls), std::end(controls), iface->role()) == std::end(controls))
            return;
        const QString name = iface->text(QAccessible::Name);
        if (name.trimmed().isEmpty())
            unnamed << QString::fromLatin1(iface->object() ? iface->object()->metaObject()->className() : "?");
        if (iface->parent() && iface->parent()->text(QAccessible::Name) == QString::fromUtf8(texts::kMainToolBarName))
            ++toolButtonNames[name];
    });
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QLatin1Char(' ')).toStdString();
    // Add, edit and delete share their menu text; each button still tells what it does.
    EXPECT_GE(toolButtonNames.size(), 13u);
    for (const auto& [name, count] : toolButtonNames) EXPECT_EQ(count, 1) << name.toStdString();
    EXPECT_EQ(toolButtonNames.count(QString::fromUtf8(texts::kCmdAddPal).section(QLatin1Char('\n'), 1)), 1u);

    for (const char* name : {texts::kMainToolBarName, texts::kMailBarName, texts::kMapBarName})
        EXPECT_NE(FindNamed(Window(), QString::fromUtf8(name), QAccessible::ToolBar), nullptr) << name;
    EXPECT_NE(FindNamed(Window(), QString::fromUtf8(texts::kSearchFieldName), QAccessible::EditableText), nullptr);
}

TEST_F(AccessibilityTest, AListRowAndAMapIconReadAsTheirPal) {
    QAccessibleInterface* list = FindNamed(Window(), QString::fromUtf8(texts::kListPaneName), QAccessible::Tree);
    ASSERT_NE(list, nullptr);
    EXPECT_NE(FindNamed(list, QStringLiteral("Bun"), QAccessible::TreeItem), nullptr);

    QAccessibleInterface* map = FindNamed(Window(), QString::fromUtf8(texts::kMapPaneName), QAccessible::List);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->childCount(), 2);  // Bun lives on another map
    QAccessibleInterface* chi = FindNamed(map, QStringLiteral("Chi（関東のマップ）"), QAccessible::ListItem);
    ASSERT_NE(chi, nullptr);
    EXPECT_EQ(chi->rect(), QRect(Map().mapToGlobal(QPoint(200, 100)), QSize(32, 32)));
    EXPECT_EQ(map->childAt(chi->rect().center().x(), chi->rect().center().y()), chi);
    EXPECT_EQ(chi->parent(), map);
    EXPECT_EQ(map->indexOfChild(chi), 1);
}

TEST_F(AccessibilityTest, TabReachesTheMapWhereArrowsPickAndShiftArrowsMoveAPal) {
    List().ActiveView().setFocus();
    for (int k = 0; k < 40 && QApplication::focusWidget() != &Map(); ++k) Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &Map());

    Press(Qt::Key_Right);  // nothing picked yet: the first icon
    EXPECT_EQ(List().SelectedAddresses(), std::vector<std::string>{"a@x"});
    Press(Qt::Key_Right);
    EXPECT_EQ(List().SelectedAddresses(), std::vector<std::string>{"c@x"});
    QAccessibleInterface* map = QAccessible::queryAccessibleInterface(&Map());
    ASSERT_NE(map->focusChild(), nullptr);
    EXPECT_EQ(map->focusChild()->text(QAccessible::Name), QStringLiteral("Chi（関東のマップ）"));
    EXPECT_TRUE(map->focusChild()->state().focused);

    // The focus mark rings the picked icon in the highlight colour.
    SaveScreenshot(Map(), QStringLiteral("map-keyboard-focus"));
    EXPECT_EQ(Map().grab().toImage().pixelColor(198, 116), Map().palette().color(QPalette::Highlight));

    Press(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(StoredPosition("c@x"), (MapPosition{201, 100}));
    Press(Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(StoredPosition("c@x"), (MapPosition{201, 110}));
    EXPECT_EQ(Map().IconRect(Map().PickedIcon()), QRect(201, 110, 32, 32));
    // The map's edge stops a move.
    for (int k = 0; k < 30; ++k) Press(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(StoredPosition("c@x"), (MapPosition{kMapMaxPosition, 110}));

    QAction* undo = frame->History().UndoAction();
    while (undo->isEnabled()) undo->trigger();
    EXPECT_EQ(StoredPosition("c@x"), (MapPosition{200, 100}));
    EXPECT_EQ(StoredPosition("a@x"), (MapPosition{100, 100}));
}

}  // namespace
