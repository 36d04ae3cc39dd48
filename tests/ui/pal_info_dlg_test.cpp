#include "ui/dialogs/pal_info_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <map>

#include "core/pal_info_rules.h"
#include "core/residence_place.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "modal.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/face_icons.h"

namespace {

CPenPal StoredPal() {
    CPenPal pal;
    pal.m_strHandleName = Sjis("たろう");
    pal.m_strName = Sjis("山田太郎");
    pal.m_strMailAddress = "taro@example.jp";
    pal.m_strSex = Sjis("男");
    pal.m_strAge = Sjis("２０");
    pal.m_strMapName = Sjis("関東");
    pal.m_strJob = Sjis("学生");
    pal.m_strLastMailText = "first line\bsecond line  \b\b";
    pal.m_dtLastMail = COleDateTime(2024, 5, 1, 21, 30, 0);
    pal.m_nFaceIcon = 3;
    pal.m_nMapX = 120;
    pal.m_nMapY = 45;
    return pal;
}

class PalInfoDlgTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(app.AddPal(StoredPal()), 1);
        CPenPal other;
        other.m_strHandleName = "hanako";
        other.m_strMailAddress = "hanako@example.jp";
        ASSERT_EQ(app.AddPal(other), 1);
    }

    // Opens the dialog (shown, not run) on `pal`.
    CPalInfoDlg& Open(PalInfoMode mode) {
        dialog = std::make_unique<CPalInfoDlg>(app, pal, mode);
        dialog->show();
        return *dialog;
    }
    template <typename Widget>
    Widget* Control(const char* name) {
        Widget* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Type(const char* name, const QString& text) {
        QLineEdit* edit = Control<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        edit->insert(text);  // as an input method would; QTest types ASCII only
    }
    void Save() { QTest::mouseClick(Control<QPushButton>("save"), Qt::LeftButton); }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> out;
        for (const auto& message : ui.messages) out.push_back(message.text);
        return out;
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
    CPenPal pal = StoredPal();
    std::unique_ptr<CPalInfoDlg> dialog;
};

TEST_F(PalInfoDlgTest, EditsOnePalAcrossTheTabs) {
    Open(PalInfoMode::EditOne);
    EXPECT_EQ(dialog->windowTitle(), "\"たろう\"さんの詳細情報");
    EXPECT_EQ(Control<QComboBox>("sex")->currentText(), "男");
    EXPECT_EQ(Control<QComboBox>("map")->currentText(), "関東");
    EXPECT_EQ(Control<QPlainTextEdit>("lastMailText")->toPlainText(), "first line\nsecond line");

    Type("handleName", "じろう");
    EXPECT_EQ(dialog->windowTitle(), "\"じろう\"さんの詳細情報");  // after every change
    Control<QTabWidget>("tabs")->setCurrentIndex(1);
    Control<QComboBox>("map")->setCurrentIndex(8);
    Type("residence", "東京都");
    Control<QTabWidget>("tabs")->setCurrentIndex(2);
    Control<QComboBox>("job")->setCurrentText("会社員（営業）");
    Control<QComboBox>("bloodType")->setCurrentIndex(3);
    Control<QTabWidget>("tabs")->setCurrentIndex(3);
    Control<QDateEdit>("birthday")->setDate(QDate(1990, 4, 1));
    Save();

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Utf8(pal.m_strHandleName), "じろう");
    EXPECT_EQ(Utf8(pal.m_strMapName), "世界");
    EXPECT_EQ(Utf8(pal.m_strResidence), "東京都");
    EXPECT_EQ(Utf8(pal.m_strJob), "会社員（営業）");
    EXPECT_EQ(Utf8(pal.m_strBloodType), "ＡＢ");
    EXPECT_EQ(pal.m_dtBirthday, COleDateTime(1990, 4, 1));
    // Untouched fields, the last mail and the map position are as they were.
    const CPenPal stored = StoredPal();
    EXPECT_EQ(pal.m_strName, stored.m_strName);
    EXPECT_EQ(pal.m_strAge, stored.m_strAge);
    EXPECT_EQ(pal.m_dtLastMail, stored.m_dtLastMail);
    EXPECT_EQ(pal.m_strLastMailText, stored.m_strLastMailText);
    EXPECT_EQ(pal.m_nFaceIcon, 3);
    EXPECT_EQ(pal.m_nMapX, 120);
}

// While no map is chosen, the map follows the typed residence; the pal is placed at save.
TEST_F(PalInfoDlgTest, TypedResidenceProposesTheMapAndPlacesANewPal) {
    pal = CPenPal();
    Open(PalInfoMode::AddNew);
    QComboBox* map = Control<QComboBox>("map");
    const struct {
        const char* typed;
        const char* map;
    } rows[] = {{"大阪府大阪市", "近畿"}, {"ひみつ", ""}, {"ﾛﾝﾄﾞﾝ", "世界"}, {"札幌市中央区", "北海道"}};
    for (const auto& row : rows) {
        Type("residence", QString::fromUtf8(row.typed));
        EXPECT_EQ(map->currentText(), QString::fromUtf8(row.map)) << row.typed;
    }
    Type("handleName", "new");
    Type("mailAddress", "new@example.jp");
    Save();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    const auto sapporo = *FindResidencePlace(Sjis("札幌市"));
    EXPECT_EQ(Utf8(pal.m_strMapName), "北海道");
    EXPECT_EQ(pal.m_nMapX, sapporo.nX - 16);
    EXPECT_EQ(pal.m_nMapY, sapporo.nY - 16);
}

TEST_F(PalInfoDlgTest, AChosenMapIsNotOverriddenByTheResidence) {
    Open(PalInfoMode::EditOne);
    Type("residence", "ロンドン");
    EXPECT_EQ(Control<QComboBox>("map")->currentText(), "関東");
    Save();
    EXPECT_EQ(Utf8(pal.m_strMapName), "関東");
    EXPECT_EQ(pal.m_nMapX, 120);
}

TEST_F(PalInfoDlgTest, PlaceFromResidenceButtonMovesThePalOrSaysWhyNot) {
    Open(PalInfoMode::EditOne);
    Type("residence", "不明");
    QTest::mouseClick(Control<QPushButton>("placeFromResidence"), Qt::LeftButton);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{texts::kResidenceNamesNoPlace});
    EXPECT_EQ(Control<QComboBox>("map")->currentText(), "関東");

    Type("residence", "London, UK");
    QTest::mouseClick(Control<QPushButton>("placeFromResidence"), Qt::LeftButton);
    EXPECT_EQ(Control<QComboBox>("map")->currentText(), "世界");
    Save();
    const auto london = *FindResidencePlace(Sjis("ロンドン"));
    EXPECT_EQ(Utf8(pal.m_strMapName), "世界");
    EXPECT_EQ(pal.m_nMapX, london.nX - 16);
    EXPECT_EQ(pal.m_nMapY, london.nY - 16);
}

TEST_F(PalInfoDlgTest, ChangedAddressRenamesTheStoredPal) {
    Open(PalInfoMode::EditOne);
    Type("mailAddress", "taro@example.com");
    Save();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(pal.m_strMailAddress, "taro@example.com");
    CPenPal found;
    EXPECT_EQ(app.FindPalByAddress("taro@example.com", found), 1);
    EXPECT_EQ(app.FindPalByAddress("taro@example.jp", found), 0);
}

TEST_F(PalInfoDlgTest, RefusedInputKeepsTheDialogOpenWithTheFocusOnTheControl) {
    struct Case {
        const char* name;
        PalInfoMode mode;
        const char* control;
        QString typed;
        const char* focused;
        std::string message;
    } cases[] = {
        {"empty handle name", PalInfoMode::EditOne, "handleName", "", "handleName", "ハンドルネームを入力してください"},
        {"empty address", PalInfoMode::EditOne, "mailAddress", "", "mailAddress", "メールアドレスを入力してください"},
        {"another pal's address", PalInfoMode::EditOne, "mailAddress", "hanako@example.jp", "mailAddress",
         "メールアドレス\" hanako@example.jp \"は他のメールフレンドが使用しています\r\n"
         "別のメールアドレスを入力してください"},
        {"a stored address for a new pal", PalInfoMode::AddNew, "mailAddress", "hanako@example.jp", "mailAddress",
         "メールアドレス\" hanako@example.jp \"は他のメールフレンドが使用しています\r\n"
         "別のメールアドレスを入力してください"},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        pal = StoredPal();
        Open(c.mode);
        Type(c.control, c.typed);
        Control<QTabWidget>("tabs")->setCurrentIndex(3);
        Save();
        EXPECT_TRUE(dialog->isVisible()) << c.name;
        EXPECT_NE(dialog->result(), QDialog::Accepted) << c.name;
        ASSERT_EQ(ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui.messages[0].text, c.message) << c.name;
        EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning) << c.name;
        EXPECT_EQ(Control<QTabWidget>("tabs")->currentIndex(), 0) << c.name;
        EXPECT_EQ(dialog->focusWidget(), Control<QWidget>(c.focused)) << c.name;
        EXPECT_EQ(pal, StoredPal()) << c.name;
        EXPECT_EQ(app.GetPalCount(), 2) << c.name;
    }
}

TEST_F(PalInfoDlgTest, TextCodePage932CannotHoldIsRefusedByName) {
    Open(PalInfoMode::EditOne);
    Control<QTabWidget>("tabs")->setCurrentIndex(2);
    Type("hobby", QString::fromUtf8("釣り🎣と한글🎣"));
    QString message;
    AcknowledgeMessageBox(&message);
    Save();
    EXPECT_EQ(message, "保存できない文字が含まれています：🎣한글\n別の文字に置き換えてください");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), Control<QWidget>("hobby"));
    EXPECT_EQ(pal, StoredPal());
}

TEST_F(PalInfoDlgTest, UntouchedTextKeepsItsBytesEvenWhenTheyAreNoCodePage932) {
    pal.m_strMemo = "\x80\xA0 broken \xFD";
    pal.m_strTel1 = "\x81";  // a lone lead byte
    Open(PalInfoMode::EditOne);
    Save();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(pal.m_strMemo, "\x80\xA0 broken \xFD");
    EXPECT_EQ(pal.m_strTel1, "\x81");
}

TEST_F(PalInfoDlgTest, StoredAgeSelectsTheEntryBeginningWithIt) {
    struct Case {
        const char* stored;
        QString shown;
    } cases[] = {{"２０", "２０"}, {"１", "１"}, {"？", "？"}, {"１１９", "１１９"}};
    for (const Case& c : cases) {
        pal.m_strAge = Sjis(c.stored);
        Open(PalInfoMode::EditOne);
        EXPECT_EQ(Control<QComboBox>("age")->currentText(), c.shown) << c.stored;
        EXPECT_EQ(Control<QComboBox>("age")->count(), 120);
    }
}

TEST_F(PalInfoDlgTest, UnknownStoredListValueSurvivesTheDialog) {
    pal.m_strAge = "25";
    pal.m_strMapName = "";
    Open(PalInfoMode::EditOne);
    EXPECT_EQ(Control<QComboBox>("age")->currentIndex(), -1);
    Save();
    EXPECT_EQ(pal.m_strAge, "25");
    EXPECT_EQ(pal.m_strMapName, "");
}

TEST_F(PalInfoDlgTest, DatesKeepTheirTimeOfDay) {
    Open(PalInfoMode::EditOne);
    Control<QDateEdit>("lastMail")->setDate(QDate(2024, 6, 2));
    Save();
    EXPECT_EQ(pal.m_dtLastMail, COleDateTime(2024, 6, 2, 21, 30, 0));
    EXPECT_EQ(pal.m_dtFirstMail, StoredPal().m_dtFirstMail);
}

TEST_F(PalInfoDlgTest, SeveralPalsCloseWithoutNamesAndApplyOnlyWhatWasChosen) {
    pal = CPenPal();
    Open(PalInfoMode::EditSeveral);
    EXPECT_EQ(dialog->windowTitle(), "複数のメールフレンドを編集");
    EXPECT_FALSE(Control<QLineEdit>("handleName")->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>("mailAddress")->isEnabled());
    EXPECT_EQ(Control<QComboBox>("map")->currentIndex(), -1);
    Type("name", "ななし");
    Control<QComboBox>("sex")->setCurrentIndex(1);
    Save();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(pal.m_nFaceIcon, -1);

    CPenPal target = StoredPal();
    ApplyMultipleEdit(pal, target);
    CPenPal expected = StoredPal();
    expected.m_strName = Sjis("ななし");
    expected.m_strSex = Sjis("女");
    EXPECT_EQ(target, expected);
}

TEST_F(PalInfoDlgTest, NewPalStartsOnTheIcon) {
    pal.m_bUsePicture = 1;
    Open(PalInfoMode::AddNew);
    EXPECT_TRUE(Control<QRadioButton>("iconRadio")->isChecked());
    EXPECT_TRUE(Control<QLabel>("faceIcon")->isVisible());
    EXPECT_FALSE(Control<QLineEdit>("pictureFile")->isEnabled());
    EXPECT_EQ(dialog->windowTitle(), "\"たろう\"さんの詳細情報（新規追加）");
}

TEST_F(PalInfoDlgTest, ChangeOnTheIconRunsTheFaceIconChooser) {
    Open(PalInfoMode::EditOne);
    WhenModalOpens([](QWidget* chooser) {
        auto* list = chooser->findChild<QListWidget*>("icons");
        list->setCurrentRow(100);
        static_cast<QDialog*>(chooser)->accept();
    });
    QTest::mouseClick(Control<QPushButton>("change"), Qt::LeftButton);
    EXPECT_EQ(pal.m_nFaceIcon, 100);  // the record holds the icon at once
    EXPECT_EQ(Control<QLabel>("faceIcon")->pixmap().toImage(), FaceIcon(100, 48).toImage());
}

TEST_F(PalInfoDlgTest, GoHandsOnlyWebAddressesToTheDesktop) {
    Open(PalInfoMode::EditOne);
    Control<QTabWidget>("tabs")->setCurrentIndex(2);
    for (const char* text :
         {"/usr/bin/xterm", "file:///etc/passwd", "", "https://example.jp/~taro", "www.example.co.jp"}) {
        Type("homePage", QString::fromUtf8(text));
        QTest::mouseClick(Control<QPushButton>("go"), Qt::LeftButton);
    }
    EXPECT_EQ(ui.shellTargets, (std::vector<std::string>{"https://example.jp/~taro", "http://www.example.co.jp"}));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, texts::kNotWebAddress);
}

TEST_F(PalInfoDlgTest, AltAndAnAccessKeyReachTheControl) {
    Open(PalInfoMode::EditOne);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get(), 60000));
    const struct {
        Qt::Key key;
        const char* control;
    } rows[] = {
        {Qt::Key_N, "name"}, {Qt::Key_M, "mailAddress"}, {Qt::Key_H, "handleName"}, {Qt::Key_O, "memo"},
    };
    for (const auto& row : rows) {
        QTest::keyClick(dialog.get(), row.key, Qt::AltModifier);
        EXPECT_EQ(dialog->focusWidget(), Control<QWidget>(row.control)) << row.control;
    }
    QTest::keyClick(dialog.get(), Qt::Key_S, Qt::AltModifier);  // the button shows itself pressed first
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->result() == QDialog::Accepted; }, 60000)) << "Alt+S saves";
}

// The fields a user can type or choose in, as shown now: the inner line edits of combo
// boxes and date fields belong to those.
std::vector<QWidget*> ShownFields(QWidget& dialog) {
    std::vector<QWidget*> fields;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (!widget->isVisible() || !widget->isEnabled()) continue;
        const bool inner =
            qobject_cast<QComboBox*>(widget->parentWidget()) || qobject_cast<QAbstractSpinBox*>(widget->parentWidget());
        const auto* text = qobject_cast<QPlainTextEdit*>(widget);
        if ((qobject_cast<QLineEdit*>(widget) && !inner) || qobject_cast<QComboBox*>(widget) ||
            qobject_cast<QAbstractSpinBox*>(widget) || (text && !text->isReadOnly()))
            fields.push_back(widget);
    }
    return fields;
}

// On every tab, with the parts beside the tabs: each field has a label whose access key is
// used by nothing else in sight, and Alt with that key puts the focus in the field.
TEST_F(PalInfoDlgTest, EveryFieldOfEveryTabHasAnAccessKeyOfItsOwn) {
    Open(PalInfoMode::EditOne);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get(), 60000));
    auto* tabs = Control<QTabWidget>("tabs");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        const std::string tabName = tabs->tabText(tab).toStdString();
        std::map<QString, QString> users;  // access key -> the text that marks it
        auto mark = [&](const QString& text) {
            const QString key = QKeySequence::mnemonic(text).toString();
            if (key.isEmpty()) return;
            const auto [used, fresh] = users.emplace(key, text);
            EXPECT_TRUE(fresh) << tabName << ": " << key.toStdString() << " marks both " << used->second.toStdString()
                               << " and " << text.toStdString();
        };
        std::map<QWidget*, QLabel*> labelOf;
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->isVisible()) {
                mark(label->text());
                if (label->buddy()) labelOf[label->buddy()] = label;
            }
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            if (button->isVisible()) mark(button->text());
        for (QWidget* field : ShownFields(*dialog)) {
            const std::string name = tabName + ": " + field->objectName().toStdString();
            QLabel* label = labelOf[field];
            ASSERT_NE(label, nullptr) << name << " has no label that leads to it";
            const QKeySequence key = QKeySequence::mnemonic(label->text());
            ASSERT_FALSE(key.isEmpty()) << name << " has no access key";
            dialog->setFocus();
            QTest::keyClick(dialog.get(), key[0].key(), Qt::AltModifier);
            QWidget* focus = dialog->focusWidget();
            EXPECT_TRUE(focus == field || field->isAncestorOf(focus)) << name;
        }
    }
}

TEST_F(PalInfoDlgTest, ANewPalIsTypedStartingWithItsHandleName) {
    Open(PalInfoMode::AddNew);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get(), 60000));
    EXPECT_EQ(dialog->focusWidget(), Control<QWidget>("handleName"));
}

class PalPictureTest : public PalInfoDlgTest {
protected:
    std::string SavePicture(const char* name, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }
    // The bounding box of the pure red pixels of the dialog.
    QRect RedRect() {
        const QImage shot = dialog->grab().toImage();
        QRect red;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixel(x, y) == qRgb(255, 0, 0)) red |= QRect(x, y, 1, 1);
        return red;
    }
    void ChooseNext(const std::string& path) {
        dialog->SetPictureFileChooser([path](QWidget*) { return QString::fromStdString(path); });
    }

    TempDir dir;
};

TEST_F(PalPictureTest, DrawsThePictureLongerSide120AtTheCorner) {
    struct Case {
        const char* name;
        QSize size;
        QRect expected;
    } cases[] = {
        {"wide.bmp", {300, 200}, {6, 7, 120, 80}},
        {"tall.png", {200, 300}, {6, 7, 80, 120}},
        {"small.png", {100, 100}, {6, 7, 120, 120}},
        {"odd.bmp", {301, 200}, {6, 7, 120, 79}},
    };
    for (const Case& c : cases) {
        pal = StoredPal();
        pal.m_strPictureFile = SavePicture(c.name, c.size);
        pal.m_bUsePicture = 1;
        Open(PalInfoMode::EditOne);
        EXPECT_EQ(RedRect(), c.expected) << c.name;
        EXPECT_FALSE(Control<QLabel>("faceIcon")->isVisible()) << c.name;
    }
}

TEST_F(PalPictureTest, IconChoiceWipesThePictureAtOnce) {
    const std::string path = SavePicture("p.png", {50, 50});
    pal.m_strPictureFile = path;
    pal.m_bUsePicture = 1;
    Open(PalInfoMode::EditOne);
    ASSERT_FALSE(RedRect().isEmpty());
    QTest::mouseClick(Control<QRadioButton>("iconRadio"), Qt::LeftButton);
    EXPECT_TRUE(RedRect().isEmpty());
    EXPECT_TRUE(Control<QLabel>("faceIcon")->isVisible());
    Save();
    EXPECT_EQ(pal.m_bUsePicture, 0);
    EXPECT_EQ(pal.m_strPictureFile, path);  // kept for a later switch back
}

TEST_F(PalPictureTest, APhotoStoredWithAWindowsPathShowsFromTheDataFolder) {
    SavePicture("ソフト.png", {60, 60});
    pal.m_strPictureFile = Sjis("C:\\Documents and Settings\\ソフト.png");
    pal.m_bUsePicture = 1;
    Open(PalInfoMode::EditOne);
    EXPECT_TRUE(RedRect().isEmpty()) << "no data folder is known yet";

    app.m_dataFolder = dir.path();
    Open(PalInfoMode::EditOne);
    EXPECT_EQ(RedRect(), QRect(6, 7, 120, 120));
    EXPECT_EQ(Control<QLineEdit>("pictureFile")->text(), QStringLiteral("C:\\Documents and Settings\\ソフト.png"))
        << "the stored path is shown and kept as it is";
}

TEST_F(PalPictureTest, UnreadablePictureIsSilentAtOpeningAndToldAfterChoosing) {
    const std::string notAPicture = (dir / "notes.jpg").string();
    std::FILE* file = std::fopen(notAPicture.c_str(), "w");
    std::fputs("not a picture at all", file);
    std::fclose(file);
    for (const std::string& path : {notAPicture, (dir / "vanished.jpg").string(), std::string("/dev/zero")}) {
        ui.messages.clear();
        pal.m_strPictureFile = path;
        pal.m_bUsePicture = 1;
        Open(PalInfoMode::EditOne);
        EXPECT_TRUE(ui.messages.empty()) << path;
        EXPECT_TRUE(RedRect().isEmpty()) << path;

        ChooseNext(path);
        QTest::mouseClick(Control<QPushButton>("change"), Qt::LeftButton);
        ASSERT_EQ(ui.messages.size(), 1u) << path;
        EXPECT_EQ(ui.messages[0].text, "画像ファイルの読み込みに失敗しました");
        EXPECT_EQ(Control<QLineEdit>("pictureFile")->text().toStdString(), path);
    }
}

TEST_F(PalPictureTest, ChosenPictureIsDrawnAndStored) {
    Open(PalInfoMode::EditOne);
    QTest::mouseClick(Control<QRadioButton>("pictureRadio"), Qt::LeftButton);
    const std::string path = SavePicture("chosen.png", {40, 80});
    ChooseNext(path);
    QTest::mouseClick(Control<QPushButton>("change"), Qt::LeftButton);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(RedRect(), QRect(6, 7, 60, 120));
    Save();
    EXPECT_EQ(pal.m_strPictureFile, path);
    EXPECT_EQ(pal.m_bUsePicture, 1);
}

}  // namespace
