// The mail text dialog of the clipboard road: the user corrects the text of a received
// mail and sets when it arrived.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <string>

#include "core/ole_date_time.h"

class QDateTimeEdit;
class QPlainTextEdit;

class CMailTextDlg : public QDialog {
    Q_OBJECT
public:
    // `text` (code page 932) and `received` are shown, and replaced at OK.
    CMailTextDlg(std::string& text, COleDateTime& received, QWidget* parent = nullptr);

    void accept() override;

private:
    std::string& m_strText;
    COleDateTime& m_dtReceived;
    QDateTime m_shownReceived;
    QPlainTextEdit* m_textEdit;
    QDateTimeEdit* m_receivedEdit;
};
