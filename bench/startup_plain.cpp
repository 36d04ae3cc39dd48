// The floor for Yubino's start-up in Qt: a program that shows the main window's widgets
// with no program logic and writes the same screenshot. Menus, a toolbar of 13 icons, a
// 400 x 400 map picture over a text pane, and a tree of 500 rows of six Japanese texts with
// an icon each; every other row shows the photo, loaded as Qt loads any picture.
//   startup_plain DIR SCREENSHOT     the photo is DIR/photos/photo.jpg
//   startup_plain --minimal SCREENSHOT   a bare QMainWindow
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStandardItemModel>
#include <QToolBar>
#include <QTreeView>
#include <cstring>

namespace {

constexpr int kRows = 500;

int Screenshot(QWidget& window, const QString& file) {
    window.show();
    QApplication::processEvents();
    return window.grab().save(file) ? 0 : 1;
}

int RunMinimal(const QString& screenshot) {
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Yubino"), &window));
    window.resize(940, 720);
    return Screenshot(window, screenshot);
}

void AddMenusAndToolBar(QMainWindow& window) {
    for (const char* title : {"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "ﾂｰﾙ(&T)", "ﾍﾙﾌﾟ(&H)"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(title));
        for (int i = 0; i < 6; ++i) menu->addAction(QStringLiteral("ｺﾏﾝﾄﾞ %1").arg(i));
    }
    QToolBar* toolBar = window.addToolBar(QStringLiteral("main"));
    toolBar->setIconSize({16, 16});
    for (const char* icon : {"open", "save", "list_all", "list_map_only", "map_all", "map_selected", "add_pal",
                             "edit_pal", "delete_pal", "add_mail", "analysis", "send_mail", "about"})
        toolBar->addAction(QIcon(QStringLiteral(":/actions/16/%1.png").arg(QLatin1String(icon))), QString());
}

QTreeView* AddPalTree(QWidget* parent, const QString& photo) {
    auto* model = new QStandardItemModel(0, 6, parent);
    QPixmap face(24, 24);
    face.fill(Qt::darkCyan);
    const QIcon faceIcon(face);
    for (int row = 0; row < kRows; ++row) {
        const QIcon icon = row % 2 == 0 ? QIcon(QPixmap(photo)) : faceIcon;
        QList<QStandardItem*> items;
        items << new QStandardItem(icon, QStringLiteral("ハンドル%1").arg(row));
        for (const char* cell : {"山田太郎", "女", "２０", "pal@example.jp", "関東"})
            items << new QStandardItem(QString::fromUtf8(cell));
        model->appendRow(items);
    }
    auto* tree = new QTreeView(parent);
    tree->setModel(model);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setIconSize({24, 24});
    return tree;
}

int RunPlainWindow(const QString& dir, const QString& screenshot) {
    QMainWindow window;
    AddMenusAndToolBar(window);
    auto* splitter = new QSplitter(Qt::Horizontal, &window);
    auto* left = new QSplitter(Qt::Vertical, splitter);
    auto* picture = new QLabel(left);
    picture->setPixmap(QPixmap(QStringLiteral(":/maps/map2.png")));
    picture->setMinimumSize(400, 400);
    new QPlainTextEdit(QStringLiteral("最後に受け取ったメールの文章"), left);
    AddPalTree(splitter, dir + QStringLiteral("/photos/photo.jpg"));
    window.setCentralWidget(splitter);
    window.resize(940, 720);
    return Screenshot(window, screenshot);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) return 2;
    QApplication application(argc, argv);
    if (std::strcmp(argv[1], "--minimal") == 0) return RunMinimal(QString::fromLocal8Bit(argv[2]));
    return RunPlainWindow(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
}
