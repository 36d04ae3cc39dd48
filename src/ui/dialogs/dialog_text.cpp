#include "ui/dialogs/dialog_text.h"

QString WithAccessKey(const char* utf8, char key) {
    QString text = QString::fromUtf8(utf8);
    const QString mark = QStringLiteral("(&%1)").arg(QLatin1Char(key));
    const QString dots = QStringLiteral("...");
    if (text.endsWith(dots)) return text.chopped(dots.size()) + mark + dots;
    return text + mark;
}

#include <QMessageBox>

#include "core/pen_pal.h"
#include "core/texts.h"
#include "ui/qt_text.h"

namespace {

constexpr const char* kShownTextProperty = "yubinoShownText";

}  // namespace

void RememberShownText(QWidget* control, const QString& shown) { control->setProperty(kShownTextProperty, shown); }

std::string CDialogTextReader::Take(QWidget* control, const QString& text, const std::string& stored) {
    const QVariant shown = control->property(kShownTextProperty);
    if (text == (shown.isValid() ? shown.toString() : ToQString(stored))) return stored;
    QString missing;
    std::optional<std::string> converted = ToCp932(text, &missing);
    if (converted) return *converted;
    for (qsizetype i = 0; i < missing.size();) {
        const qsizetype length = missing.at(i).isHighSurrogate() && i + 1 < missing.size() ? 2 : 1;
        const QString character = missing.mid(i, length);
        if (!m_refused.contains(character)) m_refused += character;
        i += length;
    }
    if (!m_firstRefused) m_firstRefused = control;
    return stored;
}

QString CDialogTextReader::Message() const {
    QString message = QString::fromUtf8(texts::kCharactersNotStorable);
    message.replace(QStringLiteral("%s"), m_refused);
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return message;
}

void ShowRefusedText(QWidget* parent, const CDialogTextReader& reader) {
    QMessageBox::warning(parent, QString::fromUtf8(texts::kAppName), reader.Message());
    if (reader.FirstRefused()) reader.FirstRefused()->setFocus();
}

QDateTime ShownDateTime(const COleDateTime& date) {
    if (date.GetStatus() != COleDateTime::valid || date.GetYear() < 100 || date.GetYear() > 9999)
        return QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    return QDateTime(QDate(date.GetYear(), date.GetMonth(), date.GetDay()),
                     QTime(date.GetHour(), date.GetMinute(), date.GetSecond()));
}

COleDateTime ToOleDateTime(const QDateTime& dateTime) {
    const QDate day = dateTime.date();
    const QTime time = dateTime.time();
    return COleDateTime(day.year(), day.month(), day.day(), time.hour(), time.minute(), time.second());
}
