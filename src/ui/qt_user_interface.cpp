#include "ui/qt_user_interface.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>

#include "core/shell_hand_off.h"
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

void ShowMessageBox(QWidget* parent, bool unattended, const std::string& text, MessageKind kind) {
    if (unattended) return PrintUnattended(text, "");
    QMessageBox box(kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromUtf8(texts::kAppName), MessageBoxText(text), QMessageBox::Ok, parent);
    box.exec();
}

// The link or file as the desktop takes it. A mailto link carries Japanese text and blanks:
// it goes out encoded.
QUrl DesktopUrl(const std::string& target) {
    if (IsEncodedMailtoUrl(target)) return QUrl::fromEncoded(QByteArray::fromStdString(target), QUrl::StrictMode);
    if (target.starts_with(kMailtoScheme))
        return QUrl::fromEncoded(QByteArray::fromStdString(MailtoLinkToUrl(target)), QUrl::StrictMode);
    const QString text = ToQString(target);
    return text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text) : QUrl(text, QUrl::TolerantMode);
}

// Runs the desktop's opener on `url`. It may stay until the program it started ends (a
// browser it had to start), so its end is awaited off the caller: an opener that ends with
// a failure (no browser, no mail program) is told then. Its output goes nowhere, so that the
// program it started outlives this one unharmed. An opener still waiting when this program
// ends goes with the application object, silently; what it started stays.
bool StartOpener(const QString& opener, const QUrl& url, const std::string& target, QPointer<QWidget> parent,
                 bool unattended) {
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({QString::fromUtf8(url.toEncoded())});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, target, parent, unattended](int code, QProcess::ExitStatus status) {
                         if (QCoreApplication::closingDown()) return;
                         process->deleteLater();
                         if (status != QProcess::NormalExit || code != 0)
                             ShowMessageBox(parent, unattended, HandOffFailedText(target), MessageKind::Warning);
                     });
    process->start();
    if (process->waitForStarted()) return true;
    delete process;
    return false;
}

}  // namespace

void CQtUserInterface::ShowMessage(const std::string& text, MessageKind kind) {
    m_messageShown = true;
    ShowMessageBox(m_parent, m_unattended, text, kind);
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
    const QUrl url = DesktopUrl(target);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return QDesktopServices::openUrl(url);
    return StartOpener(opener, url, target, m_parent, m_unattended);
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
