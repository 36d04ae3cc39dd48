#include "ui/dialogs/mail_text_dlg.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/texts.h"
#include "ui/dialogs/dialog_text.h"
#include "ui/qt_text.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CMailTextDlg::CMailTextDlg(std::string& text, COleDateTime& received, QWidget* parent)
    : QDialog(parent), m_strText(text), m_dtReceived(received), m_shownReceived(ShownDateTime(received)) {
    setWindowTitle(Text(texts::kMailTextTitle));
    m_textEdit = new QPlainTextEdit(ToQString(text));
    m_textEdit->setObjectName(QStringLiteral("text"));
    RememberShownText(m_textEdit, m_textEdit->toPlainText());
    m_textEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A mail holds no tabs to type: Tab moves on to the date and the buttons.
    m_textEdit->setTabChangesFocus(true);
    m_textEdit->setMinimumSize(m_textEdit->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 40,
                               m_textEdit->fontMetrics().lineSpacing() * 14);
    // The time of day is part of the received date: a later drop of the same mail compares it.
    m_receivedEdit = new QDateTimeEdit(m_shownReceived);
    m_receivedEdit->setObjectName(QStringLiteral("received"));
    m_receivedEdit->setDisplayFormat(kLongDateFormat + QStringLiteral(" H:mm:ss"));
    m_receivedEdit->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    m_receivedEdit->setCalendarPopup(true);
    m_receivedEdit->setAlignment(Qt::AlignRight);

    auto* ok = new QPushButton(Text(texts::kButtonOk));
    auto* doNotAdd = new QPushButton(WithAccessKey(texts::kButtonDoNotAdd, 'D'));
    ok->setObjectName(QStringLiteral("ok"));
    doNotAdd->setObjectName(QStringLiteral("doNotAdd"));
    ok->setDefault(true);
    ok->setAutoDefault(false);  // Enter in the text makes a new line

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(Text(texts::kLabelMailText)), 0, 0, 1, 4);
    layout->addWidget(m_textEdit, 1, 0, 1, 4);
    layout->addWidget(new QLabel(Text(texts::kLabelReceived)), 2, 0, 2, 1);
    layout->addWidget(m_receivedEdit, 2, 1, 2, 1);
    layout->setColumnStretch(2, 1);
    layout->addWidget(ok, 2, 3);
    layout->addWidget(doNotAdd, 3, 3);

    connect(ok, &QPushButton::clicked, this, &CMailTextDlg::accept);
    connect(doNotAdd, &QPushButton::clicked, this, &CMailTextDlg::reject);
}

void CMailTextDlg::accept() {
    CDialogTextReader reader;
    const std::string text = reader.Take(m_textEdit, m_textEdit->toPlainText(), m_strText);
    if (reader.Refused()) {
        ShowRefusedText(this, reader);
        return;
    }
    m_strText = text;
    if (m_receivedEdit->dateTime() != m_shownReceived) m_dtReceived = ToOleDateTime(m_receivedEdit->dateTime());
    QDialog::accept();
}
