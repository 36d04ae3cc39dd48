#include "ui/qt_translations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace {

// The program's questions name their buttons 「はい」 and 「いいえ」; Qt's must say so too.
TEST(QtTranslations, MessageBoxButtonsSpeakJapanese) {
    QTranslator* translator = InstallJapaneseQtTexts(*QApplication::instance());
    ASSERT_NE(translator, nullptr) << "Qt's Japanese translation is missing (qt6-translations-l10n)";
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Yubino"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")));
        EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
        EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("キャンセル")));
    }
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

}  // namespace
