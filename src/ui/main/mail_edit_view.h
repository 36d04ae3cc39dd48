// The pane under the map that shows the last mail of the pal selected in the list:
// read-only, wrapped at the pane's width.
#pragma once

#include <QPlainTextEdit>
#include <string>

class CYubinoApp;

class CMailEditView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CMailEditView(const CYubinoApp& app, QWidget* parent = nullptr);

    // The last mail of the pal with `address` (empty when no pal has it); no address
    // empties the pane.
    void ShowMailOf(const std::string* address);

private:
    const CYubinoApp& m_app;
};
