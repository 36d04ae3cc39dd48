// Reading the dialogs' controls back into code page 932 records, and their dates.
#pragma once

#include <QDateTime>
#include <QString>
#include <QWidget>
#include <string>

#include "core/ole_date_time.h"

// Remembers what a control showed when the dialog opened (the control may have changed
// the stored text on the way in, as a text edit does with "\r\n").
void RememberShownText(QWidget* control, const QString& shown);

// Takes the texts of a dialog's controls at OK. Text the user left as it was shown keeps
// its stored bytes exactly; new text that code page 932 cannot hold is refused, and the
// reader remembers the characters and the first control that held any.
class CDialogTextReader {
public:
    std::string Take(QWidget* control, const QString& text, const std::string& stored);

    bool Refused() const { return m_firstRefused != nullptr; }
    QWidget* FirstRefused() const { return m_firstRefused; }
    // The message naming each refused character once.
    QString Message() const;

private:
    QString m_refused;
    QWidget* m_firstRefused = nullptr;
};

// Shows the reader's message as a warning and puts the focus on the control.
void ShowRefusedText(QWidget* parent, const CDialogTextReader& reader);

// What a date control shows for a stored date: its day and time, or 2000-01-01 00:00 for a
// date without a valid value.
QDateTime ShownDateTime(const COleDateTime& date);
COleDateTime ToOleDateTime(const QDateTime& dateTime);

// The long date form of the date controls.
// A label or button text with its access key, as Japanese desktops show it: "名前(&N)",
// "変更(&C)..." (Alt and the key reach the control).
QString WithAccessKey(const char* utf8, char key);

inline const QString kLongDateFormat = QStringLiteral("yyyy年M月d日");
