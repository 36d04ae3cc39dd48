// The mails the search field finds: a list of results (date, pal, direction, subject and a
// snippet with the hits marked), newest first, narrowed by pal, direction and period, beside
// the chosen mail with every hit marked (F3 and Shift+F3 move between them).
#pragma once

#include <QDockWidget>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "archive/mail_search.h"

class CMailHitView;
class CYubinoApp;
class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTreeWidget;

class CMailSearchPane : public QDockWidget {
    Q_OBJECT
public:
    // The newest `limit` mails found; none when the archive cannot be searched.
    using SearchFn = std::function<std::optional<MailSearchResults>(const std::string& utf8Query,
                                                                    const MailSearchFilter& filter, std::size_t limit)>;
    CMailSearchPane(const CYubinoApp& app, SearchFn search, QWidget* parent = nullptr);

    // Searches for `text` (again) and shows the pane; the pal filter offers `cp932Pals`, the
    // pals with hits. The same text again leaves a pane the user closed closed.
    void Search(const QString& text, const std::set<std::string>& cp932Pals);
    // No search: the pane hides.
    void EndSearch();
    void FocusResults();

    QTreeWidget* Results() const { return m_results; }
    CMailHitView* MailView() const { return m_mailView; }
    QLabel* Summary() const { return m_summary; }
    QComboBox* PalFilter() const { return m_pal; }
    QComboBox* DirectionFilter() const { return m_direction; }
    QCheckBox* PeriodBox() const { return m_period; }
    QDateEdit* SinceEdit() const { return m_since; }
    QDateEdit* UntilEdit() const { return m_until; }
    QPushButton* MoreButton() const { return m_more; }
    QAction* NextHitAction() const { return m_nextHit; }
    QAction* PreviousHitAction() const { return m_previousHit; }

private:
    QWidget* MakeFilterBar();
    void FillPalFilter(const std::set<std::string>& cp932Pals);
    MailSearchFilter Filter() const;
    // Runs the search with the text, the filters and the number of mails asked for.
    void Run();
    void Fill(const MailSearchResults& results);
    void ShowChosen();

    const CYubinoApp& m_app;
    SearchFn m_search;
    QString m_text;
    std::size_t m_limit;
    std::vector<MailSearchHit> m_hits;
    QComboBox* m_pal;
    QComboBox* m_direction;
    QCheckBox* m_period;
    QDateEdit* m_since;
    QDateEdit* m_until;
    QLabel* m_summary;
    QPushButton* m_more;
    QTreeWidget* m_results;
    CMailHitView* m_mailView;
    QAction* m_nextHit;
    QAction* m_previousHit;
};
