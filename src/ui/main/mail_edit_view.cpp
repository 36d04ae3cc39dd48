#include "ui/main/mail_edit_view.h"

#include "core/yubino_app.h"
#include "mail/stored_mail_text.h"
#include "ui/qt_text.h"

namespace {

// The display text breaks lines with CR LF, and a stored CR before a break shows as
// CR CR LF; each of them is one line break on screen.
QString ScreenText(const std::string& display) {
    QString text = ToQString(display);
    text.replace(QStringLiteral("\r\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

CMailEditView::CMailEditView(const CYubinoApp& app, QWidget* parent) : QPlainTextEdit(parent), m_app(app) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    // Selecting and copying stay possible; the keyboard moves through the text.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void CMailEditView::ShowMailOf(const std::string* address) {
    if (!address) {
        setPlainText(QString());
        return;
    }
    CPenPal pal;
    m_app.FindPalByAddress(*address, pal);
    const QString text = ScreenText(FormatMailTextForDisplay(pal.m_strLastMailText));
    if (text != toPlainText()) setPlainText(text);  // keeps the reader's place in an unchanged mail
}
