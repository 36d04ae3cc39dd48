// The pane under the map: the selected pal's correspondence, a list of its mails (newest
// first) over the text of the chosen one. The last received mail is chosen at first; a pal
// the archive knows nothing of shows its last mail from the table, as it always did.
#pragma once

#include <QSplitter>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/mail_record.h"

class CYubinoApp;
class CMailEditView;
class QTreeWidget;

class CCorrespondenceView : public QSplitter {
    Q_OBJECT
public:
    // A pal's mails from the archive, newest first; none when it has none or cannot be read.
    using MailsFn = std::function<std::vector<StoredMail>(const std::string& cp932Address)>;
    CCorrespondenceView(const CYubinoApp& app, MailsFn mails, QWidget* parent = nullptr);

    // The mails of the pal with `address`; none empties the pane.
    void ShowPal(const std::string* address);
    // Shows the shown pal's mails again as they now stand, or nothing once the pal is gone.
    void Refresh();
    // Marks every occurrence of `text` in the shown mail (letter case aside); empty clears.
    void SetHighlight(const QString& text);

    CMailEditView* TextView() const { return m_text; }
    // The list of the shown pal's mails; none until a pal with mails was shown.
    QTreeWidget* MailList() const { return m_list; }

private:
    QTreeWidget* List();
    void ShowChosenMail();
    void ApplyHighlight();

    const CYubinoApp& m_app;
    MailsFn m_mails;
    QTreeWidget* m_list = nullptr;
    CMailEditView* m_text;
    QString m_highlight;
    std::optional<std::string> m_shownAddress;
};
