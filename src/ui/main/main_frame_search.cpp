// The main window's part of the mail search: the results pane, made at the first search,
// shown while the search field holds text (unless the user closed it for that text).
#include <QLineEdit>

#include "core/yubino_app.h"
#include "ui/main/mail_search_pane.h"
#include "ui/main/main_frame.h"

namespace {

constexpr int kMailSearchHeight = 320;

}  // namespace

void CMainFrame::ShowMailSearch(const QString& text) {
    if (text.isEmpty()) {
        if (m_mailSearch) m_mailSearch->EndSearch();
        return;
    }
    if (!m_mailSearch) {
        m_mailSearch = new CMailSearchPane(
            m_app,
            [this](const std::string& query, const MailSearchFilter& filter, std::size_t limit) {
                CFeatures* features = Features();
                return features ? features->SearchMails(query, filter, limit) : std::optional<MailSearchResults>();
            },
            this);
        addDockWidget(Qt::BottomDockWidgetArea, m_mailSearch);
        // Tall enough for a dozen results and the start of the mail chosen.
        resizeDocks({m_mailSearch}, {kMailSearchHeight}, Qt::Vertical);
        // Enter in the search field goes on to the mails found.
        connect(m_searchField, &QLineEdit::returnPressed, m_mailSearch, &CMailSearchPane::FocusResults);
    }
    m_mailSearch->Search(text, m_app.m_searchMatches);
}
