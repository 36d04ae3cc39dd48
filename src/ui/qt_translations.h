// Qt's own texts (the buttons of message boxes, the file and print dialogs) in Japanese,
// like the program's own texts.
#pragma once

class QCoreApplication;
class QTranslator;

// Installs Qt's Japanese translation, owned by `application`. Null when it is not there
// (Debian's qt6-translations-l10n is not installed): Qt's texts stay English then.
QTranslator* InstallJapaneseQtTexts(QCoreApplication& application);
