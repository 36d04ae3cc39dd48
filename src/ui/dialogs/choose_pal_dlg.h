// The choose-pal dialog of the clipboard road: which pal the mail text belongs to, with a
// way to add the pal first.
#pragma once

#include <QDialog>
#include <string>

class CYubinoApp;
class QPushButton;
class QTreeWidget;

class CChoosePalDlg : public QDialog {
    Q_OBJECT
public:
    explicit CChoosePalDlg(CYubinoApp& app, QWidget* parent = nullptr);

    // The chosen pal's address (code page 932), set by OK.
    const std::string& ChosenAddress() const { return m_strChosenAddress; }

    void accept() override;

private:
    void FillList();
    void AddNewPal();
    int SelectedRow() const;

    CYubinoApp& m_app;
    QTreeWidget* m_list;
    QPushButton* m_ok;
    QPushButton* m_addNew;
    std::string m_strChosenAddress;
};
