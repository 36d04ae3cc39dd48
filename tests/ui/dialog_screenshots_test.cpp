// Pictures of the dialogs for the documentation: written only when YUBINO_SCREENSHOT_DIR
// names a directory (run the test program under xvfb-run for the desktop's look).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTabWidget>

#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "ui/dialogs/choose_pal_dlg.h"
#include "ui/dialogs/face_icon_dlg.h"
#include "ui/dialogs/mail_text_dlg.h"
#include "ui/dialogs/pal_info_dlg.h"

namespace {

void Save(QWidget& dialog, const QString& name) {
    dialog.show();
    QApplication::processEvents();
    const QString path = QDir(qEnvironmentVariable("YUBINO_SCREENSHOT_DIR")).filePath(name + QStringLiteral(".png"));
    EXPECT_TRUE(dialog.grab().save(path)) << path.toStdString();
}

CPenPal SamplePal(int number) {
    CPenPal pal;
    pal.m_strHandleName = Sjis(std::vector<std::string>{"さくら", "たろう", "ぽち", "みかん"}[number % 4]);
    pal.m_strName = Sjis(std::vector<std::string>{"山田花子", "鈴木太郎", "", "佐藤みか"}[number % 4]);
    pal.m_strMailAddress = "pal" + std::to_string(number) + "@example.jp";
    pal.m_strSex = Sjis("女");
    pal.m_strAge = Sjis("２４");
    pal.m_strMapName = Sjis("関東");
    pal.m_strJob = Sjis("会社員");
    pal.m_strBloodType = Sjis("Ｏ");
    pal.m_strResidence = Sjis("東京都");
    pal.m_strHobby = Sjis("写真、旅行");
    pal.m_strHomePage = "https://example.jp/~sakura/";
    pal.m_strLastMailText = Sjis("こんにちは！\bお元気ですか？\b\b来月、京都へ行きます。\bまたメールしますね。");
    pal.m_dtLastMail = COleDateTime(2024, 5, 1, 21, 30, 0);
    pal.m_nFaceIcon = std::vector<int>{52, 3, 104, 77}[number % 4];
    pal.m_strMemo = Sjis("写真を送る約束");
    return pal;
}

class DialogScreenshots : public testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("YUBINO_SCREENSHOT_DIR")) GTEST_SKIP() << "YUBINO_SCREENSHOT_DIR not set";
        for (int i = 0; i < 6; ++i) app.AddPal(SamplePal(i));
    }
    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(DialogScreenshots, PalInfo) {
    CPenPal pal = SamplePal(0);
    CPalInfoDlg dialog(app, pal, PalInfoMode::EditOne);
    auto* tabs = dialog.findChild<QTabWidget*>("tabs");
    const char* names[] = {"pal-info-names", "pal-info-address", "pal-info-information", "pal-info-dates",
                           "pal-info-last-mail"};
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        Save(dialog, QString::fromLatin1(names[page]));
    }
}

TEST_F(DialogScreenshots, PalInfoSeveral) {
    CPenPal pal;
    CPalInfoDlg dialog(app, pal, PalInfoMode::EditSeveral);
    Save(dialog, QStringLiteral("pal-info-several"));
}

TEST_F(DialogScreenshots, FaceIcon) {
    CFaceIconDlg dialog(ui);
    Save(dialog, QStringLiteral("face-icon"));
}

TEST_F(DialogScreenshots, MailText) {
    std::string text = Sjis("山田さん\n\nこんにちは。先日はありがとうございました。\n写真を送りますね。\n\nさくら");
    COleDateTime received(2024, 5, 1, 21, 30, 15);
    CMailTextDlg dialog(text, received);
    Save(dialog, QStringLiteral("mail-text"));
}

TEST_F(DialogScreenshots, ChoosePal) {
    CChoosePalDlg dialog(app);
    Save(dialog, QStringLiteral("choose-pal"));
}

}  // namespace
