#include <QFileDialog>

#include "core/texts.h"
#include "storage/data_file_name.h"
#include "ui/dialogs/welcome_dlg.h"
#include "ui/main/main_frame.h"

namespace fs = std::filesystem;

void CMainFrame::ChooseAndMakeNewFile() {
    QFileDialog dialog(this, QString::fromUtf8(texts::kMenuFileNew).remove(QStringLiteral("(&N)...")), DataFolder(),
                       QString::fromUtf8(texts::kFileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A file that exists is refused with its own word, never emptied.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString::fromUtf8(texts::kFileExtension));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        MakeNewFile(dialog.selectedFiles().front());
}

bool CMainFrame::MakeNewFile(const QString& path) {
    // The table goes into its file first, as File, Open stores it.
    return ShowOpenedFile(m_session.NewFile(WithDataFileExtension(fs::path(path.toStdString())), m_chooseSaveFile));
}

// Cancelled, or a new file that could not be made: the sample, as a start always had.
FirstRunChoice CMainFrame::Welcome() {
    if (!m_welcomeOnFirstStart || !m_session.IsFirstStart()) return {};
    const fs::path sample = m_session.Paths().sampleFile;
    CWelcomeDlg dialog(sample.parent_path() / texts::kWelcomeSuggestedFile, this);
    if (dialog.exec() != QDialog::Accepted) return {};
    const FirstRunChoice choice = dialog.Choice();
    if (!choice.newFile.empty()) m_session.StartWithNewFile(choice.newFile);
    return choice;
}
