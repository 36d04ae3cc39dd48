#include "ui/qt_user_interface.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>
#include <cstdio>

#include "core/texts.h"
#include "mail/mail_link.h"
#include "ui/qt_text.h"

QString MessageBoxText(const std::string& cp932) {
    QString text = ToQString(cp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

namespace {

void PrintUnattended(const std::string& cp932, const char* answer) {
    std::fprintf(stderr, "%s%s\n", MessageBoxText(cp932).toUtf8().constData(), answer);
}

}  // namespace

void CQtUserInterface::ShowMessage(const std::string& text, MessageKind kind) {
    m_messageShown = true;
    if (m_unattended) return PrintUnattended(text, "");
    QMessageBox box(kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromUtf8(texts::kAppName), MessageBoxText(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool CQtUserInterface::AskYesNo(const std::string& text) {
    m_messageShown = true;
    if (m_unattended) {
        PrintUnattended(text, " → いいえ");
        return false;
    }
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(texts::kAppName), MessageBoxText(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    // Escape and the close box answer No, which always leaves everything as it was.
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool CQtUserInterface::GetClipboardText(std::string& text, bool& replaced) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    text = ToCp932Lossy(clipboard->text(), &replaced);
    return true;
}

bool CQtUserInterface::OpenInShell(const std::string& target) {
    if (IsEncodedMailtoUrl(target))
        return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(target), QUrl::StrictMode));
    // A mailto link carries Japanese text and blanks: it goes out already encoded.
    if (target.starts_with(kMailtoScheme))
        return QDesktopServices::openUrl(
            QUrl::fromEncoded(QByteArray::fromStdString(MailtoLinkToUrl(target)), QUrl::StrictMode));
    const QString text = ToQString(target);
    const QUrl url = text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text) : QUrl(text, QUrl::TolerantMode);
    return QDesktopServices::openUrl(url);
}

std::vector<std::string> CQtUserInterface::GetSelectedAddresses() {
    return m_host ? m_host->GetSelectedAddresses() : std::vector<std::string>{};
}

void CQtUserInterface::UpdateListView() {
    if (m_host) m_host->UpdateListView();
}

void CQtUserInterface::UpdateMapView() {
    if (m_host) m_host->UpdateMapView();
}

void CQtUserInterface::PreloadPicture(const std::string& path) {
    if (m_host) m_host->PreloadPicture(path);
}
