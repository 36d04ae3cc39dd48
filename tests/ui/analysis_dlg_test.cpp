#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QTreeView>

#include "support/temp_dir.h"

#include "archive/mail_archive.h"
#include "core/maps.h"
#include "core/yubino_app.h"
#include "modal.h"
#include "screenshot.h"
#include "support/fake_user_interface.h"
#include "ui/charts/charts_page.h"
#include "ui/dialogs/analysis_dlg.h"

namespace {

class AnalysisDlgTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* handle : {"b", "c", "a"}) {
            CPenPal pal;
            pal.m_strHandleName = handle;
            pal.m_strMailAddress = std::string(handle) + "@example.jp";
            pal.m_strName = std::string("name-") + handle;
            ASSERT_EQ(app.AddPal(pal), 1);
        }
    }

    // A fresh opening of the dialog, shown so that its headers can be clicked.
    std::unique_ptr<CAnalysisDlg> Open(const std::filesystem::path& archive = {}) {
        auto dialog = std::make_unique<CAnalysisDlg>(app, direction, archive);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), 60000));
        return dialog;
    }
    static QTreeView* List(QDialog& d) { return d.findChild<QTreeView*>(QStringLiteral("list")); }
    static QTabBar* Tabs(QDialog& d) { return d.findChild<QTabBar*>(QStringLiteral("tabs")); }

    static void ClickHeader(QDialog& d, int column) {
        QHeaderView* header = List(d)->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    static QStringList Column(QDialog& d, int column) {
        QStringList texts;
        QAbstractItemModel* model = List(d)->model();
        for (int row = 0; row < model->rowCount(); ++row) texts << model->index(row, column).data().toString();
        return texts;
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
    CSortDirection direction;
};

TEST_F(AnalysisDlgTest, OpensOnTheBasicTabInTableOrder) {
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ﾒｰﾙﾌﾚﾝﾄﾞの分析"));
    ASSERT_EQ(Tabs(*dialog)->count(), 6);
    EXPECT_EQ(Tabs(*dialog)->tabText(3), QStringLiteral("合計/平均"));
    EXPECT_EQ(Tabs(*dialog)->tabText(4), QStringLiteral("グラフ"));
    EXPECT_EQ(Tabs(*dialog)->tabText(5), QStringLiteral("記念日"));
    EXPECT_EQ(Tabs(*dialog)->currentIndex(), 0);
    EXPECT_EQ(Column(*dialog, 0), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(List(*dialog)->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("ﾒｰﾙｱﾄﾞﾚｽ"));
    EXPECT_EQ(List(*dialog)->columnWidth(4), 130);
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("close"))->text(), QStringLiteral("閉じる"));
}

TEST_F(AnalysisDlgTest, OneDirectionFlagForEveryClickAndEveryOpening) {
    {
        auto dialog = Open();
        ClickHeader(*dialog, 0);
        EXPECT_EQ(Column(*dialog, 0), (QStringList{"a", "b", "c"}));  // first click: ascending
    }
    auto dialog = Open();
    EXPECT_EQ(Column(*dialog, 0), (QStringList{"b", "c", "a"}));  // a new opening starts in table order
    ClickHeader(*dialog, 1);                                      // another column, a later opening
    EXPECT_EQ(Column(*dialog, 1), (QStringList{"name-c", "name-b", "name-a"}));
    ClickHeader(*dialog, 1);
    EXPECT_EQ(Column(*dialog, 1), (QStringList{"name-a", "name-b", "name-c"}));
}

TEST_F(AnalysisDlgTest, TabChangeBringsBackTableOrder) {
    auto dialog = Open();
    ClickHeader(*dialog, 0);
    Tabs(*dialog)->setCurrentIndex(2);
    EXPECT_EQ(List(*dialog)->model()->columnCount(), 4);
    EXPECT_EQ(List(*dialog)->columnWidth(1), 120);
    EXPECT_EQ(Column(*dialog, 0), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(Column(*dialog, 3), (QStringList{"0", "0", "0"}));
    Tabs(*dialog)->setCurrentIndex(3);
    EXPECT_EQ(Column(*dialog, 1).first(), QStringLiteral("3 / 500人"));
    EXPECT_EQ(Column(*dialog, 1).size(), 9);
    ClickHeader(*dialog, 0);  // the totals sort too: descending now
    EXPECT_EQ(Column(*dialog, 0).first(), QStringLiteral("名前未設定"));
    Tabs(*dialog)->setCurrentIndex(0);
    EXPECT_EQ(Column(*dialog, 0), (QStringList{"b", "c", "a"}));
}

TEST_F(AnalysisDlgTest, SortKeepsTheSelectedRowSelected) {
    auto dialog = Open();
    QTreeView* list = List(*dialog);
    list->selectionModel()->select(list->model()->index(2, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ClickHeader(*dialog, 0);
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().data().toString(), QStringLiteral("a"));
}

TEST_F(AnalysisDlgTest, OpensWithTheWholeTabRowAndCtrlTabMovesAlongIt) {
    auto dialog = Open();
    QTabBar* tabs = Tabs(*dialog);
    EXPECT_TRUE(tabs->rect().contains(tabs->tabRect(tabs->count() - 1))) << "the last tab is shown whole";
    List(*dialog)->setFocus();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab;
    } steps[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},    {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1}, {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0},
        {Qt::Key_PageUp, Qt::ControlModifier, 5},
    };
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog.get(), step.key,
                        step.modifiers);
        EXPECT_EQ(tabs->currentIndex(), step.tab) << QKeySequence(step.key | step.modifiers).toString().toStdString();
    }
}

TEST_F(AnalysisDlgTest, CloseEndsTheDialog) {
    auto dialog = Open();
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("close")), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(app.GetPalCount(), 3);
}

// The charts tab shows the four charts of the table and the two of the mail archive; each
// saves as the picture its file name asks for.
TEST_F(AnalysisDlgTest, ChartsTabSavesEachChartAsPngOrSvg) {
    TempDir dir;
    const std::filesystem::path archiveFile = dir / "pals.mails.sqlite";
    {
        CMailArchive archive;
        ASSERT_EQ(archive.Open(archiveFile, false).status, CMailArchive::OpenStatus::Created);
        MailRecord mail;
        mail.pal = "a@example.jp";
        mail.date = CalendarDay::Today().Format() + "T08:00:00";
        ASSERT_TRUE(archive.Store({mail}).Ok());
    }
    auto dialog = Open(archiveFile);
    Tabs(*dialog)->setCurrentIndex(4);
    CChartsPage& charts = dialog->Charts();
    EXPECT_TRUE(charts.isVisible());
    EXPECT_FALSE(List(*dialog)->isVisible());
    EXPECT_EQ(charts.ArchiveNote(), nullptr);

    QString chosen;
    charts.SetSaveFileChooser([&](QWidget*, const QString&) { return chosen; });
    const struct {
        ChartKind kind;
        const char* title;
    } rows[] = {{ChartKind::Sex, "性別"},
                {ChartKind::Age, "年齢（5歳ごと）"},
                {ChartKind::Maps, "マップ別の人数"},
                {ChartKind::FirstYear, "最初のメールを受け取った年"},
                {ChartKind::Months, "月ごとのメール（過去2年）"},
                {ChartKind::ReplyTimes, "返事までの日数（過去2年）"}};
    for (const auto& row : rows) {
        EXPECT_EQ(charts.View(row.kind)->chart()->title(), QString::fromUtf8(row.title));
        chosen = QString::fromStdString((dir / (std::string(ChartKindName(row.kind)) + ".png")).string());
        charts.SaveChartAs(row.kind, false);
        const QImage png(chosen);
        ASSERT_EQ(png.size(), QSize(640, 440)) << row.title;
        int drawn = 0;
        for (int y = 0; y < png.height(); y += 2)
            for (int x = 0; x < png.width(); x += 2) drawn += png.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_GT(drawn, 500) << "more than a blank picture: " << row.title;

        chosen = QString::fromStdString((dir / (std::string(ChartKindName(row.kind)) + ".svg")).string());
        charts.SaveChartAs(row.kind, true);
        const std::string svg = ReadFileBytes(chosen.toStdString());
        EXPECT_NE(svg.find("<svg"), std::string::npos) << row.title;
        EXPECT_NE(svg.find(row.title), std::string::npos) << "Japanese text kept as text: " << row.title;
    }
    EXPECT_TRUE(ui.messages.empty());

    chosen = QString::fromStdString((dir / "no-such-folder" / "sex.svg").string());
    charts.SaveChartAs(ChartKind::Sex, true);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("保存できませんでした"), std::string::npos);
}

// Without an archive the tab says so in place of the mail charts, and makes none.
TEST_F(AnalysisDlgTest, ChartsTabTellsThatThereIsNoArchive) {
    TempDir dir;
    for (const std::filesystem::path& archive : {std::filesystem::path(), dir / "pals.mails.sqlite"}) {
        auto dialog = Open(archive);
        Tabs(*dialog)->setCurrentIndex(4);
        CChartsPage& charts = dialog->Charts();
        ASSERT_NE(charts.ArchiveNote(), nullptr);
        EXPECT_TRUE(charts.ArchiveNote()->isVisible());
        EXPECT_TRUE(charts.ArchiveNote()->text().contains(QStringLiteral("メールの保管ファイルがまだない")));
        EXPECT_EQ(charts.View(ChartKind::Months), nullptr);
        EXPECT_EQ(charts.View(ChartKind::ReplyTimes), nullptr);
        EXPECT_NE(charts.View(ChartKind::Sex), nullptr);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "pals.mails.sqlite"));
}

// Many pals, first written over thirty years, and two years of mail: enough categories to
// crowd every axis of the charts.
void AddCrowdedTable(CYubinoApp& app, const std::filesystem::path& archiveFile) {
    CMailArchive archive;
    ASSERT_EQ(archive.Open(archiveFile, false).status, CMailArchive::OpenStatus::Created);
    std::vector<MailRecord> mails;
    const CalendarDay today = CalendarDay::Today();
    for (int i = 0; i < 60; ++i) {
        CPenPal pal;
        pal.m_strHandleName = "pal" + std::to_string(i);
        pal.m_strMailAddress = pal.m_strHandleName + "@example.jp";
        pal.m_strAge = std::to_string(8 + i * 3 % 85);
        pal.m_strMapName = g_apszMapNames[i % kMapCount];
        pal.m_dtFirstMail = COleDateTime(1996 + i % 31, 3, 1);
        ASSERT_EQ(app.AddPal(pal), 1);
        for (long long day = today.number - 720 + i; day < today.number; day += 9 + i % 5) {
            MailRecord mail;
            mail.pal = pal.m_strMailAddress;
            mail.date = CalendarDay{day}.Format() + "T08:00:00";
            mails.push_back(mail);
            mail.direction = MailDirection::Sent;
            mail.date = CalendarDay{day + i % 40}.Format() + "T21:00:00";
            if (day + i % 40 < today.number) mails.push_back(mail);
        }
    }
    ASSERT_TRUE(archive.Store(mails).Ok());
}

// The texts a chart shows that Qt Charts cut short: an ellipsis in an axis label or title.
QStringList CutTexts(QChartView& view) {
    QStringList cut;
    for (QGraphicsItem* item : view.scene()->items())
        if (auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item); text && text->isVisible()) {
            const QString shown = text->toPlainText();
            if (shown.contains(QChar(0x2026)) || shown.contains(QStringLiteral("..."))) cut << shown;
        }
    return cut;
}

// Run in a process of its own at each device pixel ratio (below): every chart's labels whole
// at the dialog's size, and each chart's button saves it where the file dialog is told.
TEST_F(AnalysisDlgTest, ChartsShowWholeLabelsAndSaveByTheirButtons) {
    const QByteArray ratio = qgetenv("YUBINO_CHART_RATIO");
    if (ratio.isEmpty()) GTEST_SKIP() << "run by ChartsAreReadableAtOneAndTwoDevicePixelsPerPixel";
    TempDir dir;
    app.m_dataFolder = dir.path();
    AddCrowdedTable(app, dir / "pals.mails.sqlite");
    auto dialog = Open(dir / "pals.mails.sqlite");
    Tabs(*dialog)->setCurrentIndex(4);
    QApplication::processEvents();
    EXPECT_EQ(dialog->devicePixelRatio(), ratio.toDouble());
    CChartsPage& charts = dialog->Charts();
    for (ChartKind kind : {ChartKind::Sex, ChartKind::Age, ChartKind::Maps, ChartKind::FirstYear, ChartKind::Months,
                           ChartKind::ReplyTimes}) {
        const QString name = QString::fromLatin1(ChartKindName(kind).data());
        QChartView* view = charts.View(kind);
        ASSERT_NE(view, nullptr) << name.toStdString();
        EXPECT_EQ(CutTexts(*view), QStringList()) << name.toStdString();
        for (QAbstractAxis* axis : view->chart()->axes()) EXPECT_FALSE(axis->labelsTruncated()) << name.toStdString();

        auto* save = charts.findChild<QPushButton*>(QStringLiteral("save-") + name);
        ASSERT_NE(save, nullptr) << name.toStdString();
        EXPECT_TRUE(save->isVisible());
        EXPECT_EQ(save->text(), QStringLiteral("保存..."));
        const std::filesystem::path out = dir / "saved" / (name.toStdString() + ".png");
        std::filesystem::create_directories(out.parent_path());
        QString folder;
        WhenModalOpens([&](QWidget* modal) {
            auto* fileDialog = qobject_cast<QFileDialog*>(modal);
            auto* fileName = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (fileDialog && fileName) {
                folder = fileDialog->directory().absolutePath();
                fileName->setText(QString::fromStdString(out.string()));
                static_cast<QDialog*>(fileDialog)->accept();  // with the dialog's own checks
            }
            if (QApplication::activeModalWidget() == modal) static_cast<QDialog*>(modal)->reject();
        });
        QTest::mouseClick(save, Qt::LeftButton);
        EXPECT_EQ(folder.toStdString(), dir.path().string()) << name.toStdString();
        EXPECT_EQ(QImage(QString::fromStdString(out.string())).size(), QSize(640, 440)) << name.toStdString();
    }
    EXPECT_TRUE(ui.messages.empty());
    SaveScreenshot(*dialog, ratio == "2" ? QStringLiteral("analysis-charts-2x") : QStringLiteral("analysis-charts"));
}

// A screen of 1920 x 1200 pixels, at one and at two device pixels per pixel.
TEST_F(AnalysisDlgTest, ChartsAreReadableAtOneAndTwoDevicePixelsPerPixel) {
    if (!qEnvironmentVariableIsEmpty("YUBINO_CHART_RATIO")) GTEST_SKIP() << "the child's own run";
    TempDir dir;
    for (const char* ratio : {"1", "2"}) {
        const int scale = QByteArray(ratio).toInt();
        const std::filesystem::path config = dir / (std::string("screen") + ratio + ".json");
        WriteFileBytes(config, "{\"screens\": [{\"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": " +
                                   std::to_string(1920 * scale) + ", \"height\": " + std::to_string(1200 * scale) +
                                   ", \"logicalDpi\": 96}]}");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("YUBINO_CHART_RATIO"), QString::fromLatin1(ratio));
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(ratio));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        const QStringList arguments{
            QStringLiteral("--gtest_filter=AnalysisDlgTest.ChartsShowWholeLabelsAndSaveByTheirButtons"),
            QStringLiteral("-platform"),
            QStringLiteral("offscreen:configfile=") + QString::fromStdString(config.string())};
        child.start(QCoreApplication::applicationFilePath(), arguments);
        ASSERT_TRUE(child.waitForFinished(300000)) << ratio;
        const QString output = QString::fromUtf8(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << "at ratio " << ratio << ":\n" << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    }
}

}  // namespace
