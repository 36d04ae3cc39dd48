// The pane under the map that shows the last mail of the pal selected in the list:
// read-only, wrapped at the pane's width.
#pragma once

#include <QPlainTextEdit>
#include <optional>
#include <string>

class CYubinoApp;

class CMailEditView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CMailEditView(const CYubinoApp& app, QWidget* parent = nullptr);

    // The last mail of the pal with `address` (empty when no pal has it); no address
    // empties the pane.
    void ShowMailOf(const std::string* address);
    // After the pal table changed: the mail of the pal shown, as it now stands, or an
    // empty pane when that pal is gone. The placeholder stays until a pal is shown.
    void Refresh();

private:
    const CYubinoApp& m_app;
    std::optional<std::string> m_shownAddress;
};
