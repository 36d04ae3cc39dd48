// Pictures of the main window for the documentation: the four list forms with the bundled
// sample and the status bar. Written only when YUBINO_SCREENSHOT_DIR names a directory
// (run the test program under xvfb-run for the desktop's look).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>

#include "main_window_fixture.h"
#include "ui/dialogs/welcome_dlg.h"
#include "ui/main/command_ids.h"

namespace {

using namespace main_window_fixture;

class MainWindowScreenshots : public MainWindowTest {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("YUBINO_SCREENSHOT_DIR")) GTEST_SKIP() << "YUBINO_SCREENSHOT_DIR not set";
        WriteFileBytes(dataFile, ReadFileBytes(YUBINO_SAMPLE_FILE));
        WriteFileBytes(dir / "yubino.cfg", dataFile.string());
        Start();
        frame->resize(940, 720);
    }
    void Save(QWidget& widget, const char* name) {
        QApplication::processEvents();
        const QString path = QDir(qEnvironmentVariable("YUBINO_SCREENSHOT_DIR")).filePath(QLatin1String(name));
        EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
    }
};

TEST_F(MainWindowScreenshots, ListForms) {
    const struct {
        int command;
        const char* file;
    } forms[] = {
        {ID_VIEW_LARGE_ICONS, "list-large-icons.png"},
        {ID_VIEW_SMALL_ICONS, "list-small-icons.png"},
        {ID_VIEW_LIST, "list-list.png"},
        {ID_VIEW_DETAILS, "list-details.png"},
    };
    for (const auto& form : forms) {
        frame->Execute(form.command);
        List().Selection().setCurrentIndex(List().Model().index(2, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        Save(*frame, form.file);
    }
}

TEST_F(MainWindowScreenshots, Welcome) {
    CWelcomeDlg dialog("/home/user/.local/share/yubino/メールフレンド.ybf", frame.get());
    dialog.NewFileButton()->click();
    dialog.AddressEdit()->setPlainText(QStringLiteral("me@example.jp"));
    dialog.show();
    Save(dialog, "welcome.png");
}

TEST_F(MainWindowScreenshots, StatusBar) {
    frame->Execute(ID_LIST_MAP_PALS);
    List().Selection().select(List().Model().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    frame->statusBar()->showMessage(frame->Action(ID_ANALYSIS)->statusTip());
    Save(*frame->statusBar(), "status-bar.png");
}

}  // namespace
