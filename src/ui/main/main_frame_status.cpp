// The status bar: how many pals there are, how many the list shows and how many are
// selected, and the data file's name; the commands' prompts show there on hover.
#include <QLabel>
#include <QStatusBar>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/yubino_view.h"

void CMainFrame::CreateStatusBar() {
    m_countsLabel = new QLabel(statusBar());
    m_fileLabel = new QLabel(statusBar());
    m_countsLabel->setObjectName(QStringLiteral("statusCounts"));
    m_fileLabel->setObjectName(QStringLiteral("statusFile"));
    statusBar()->addPermanentWidget(m_countsLabel);
    statusBar()->addPermanentWidget(m_fileLabel);
}

void CMainFrame::UpdateStatusBar() {
    m_countsLabel->setText(QString::fromUtf8(texts::kStatusCounts)
                               .arg(m_app.GetPalCount())
                               .arg(m_listView->Model().rowCount())
                               .arg(m_listView->SelectedCount()));
    const std::filesystem::path& file = m_session.Doc().GetPathName();
    m_fileLabel->setText(QString::fromStdString(file.filename().string()));
    m_fileLabel->setToolTip(QString::fromStdString(file.string()));
}
