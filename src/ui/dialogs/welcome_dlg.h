// The welcome of the program's first start: the sample or an empty pal data file of the
// user's, and the user's own mail addresses.
#pragma once

#include <QDialog>
#include <filesystem>
#include <string>
#include <vector>

class COwnAddressesEdit;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

struct FirstRunChoice {
    std::filesystem::path newFile;          // empty: start with the sample
    std::vector<std::string> ownAddresses;  // checked as addresses
    bool setUpMailAccount = false;          // the accounts dialog follows
};

class CWelcomeDlg : public QDialog {
    Q_OBJECT
public:
    // `suggestedFile`: the empty file offered, in the folder of the sample.
    explicit CWelcomeDlg(const std::filesystem::path& suggestedFile, QWidget* parent = nullptr);

    FirstRunChoice Choice() const { return m_choice; }

    QRadioButton* NewFileButton() const { return m_withNewFile; }
    QLineEdit* FileEdit() const { return m_file; }
    QPlainTextEdit* AddressEdit() const;
    QCheckBox* SetUpMailBox() const { return m_setUpMail; }

    // Kept open, with a word, for a missing file name or a line that is no address.
    void accept() override;

private:
    void Browse();

    QRadioButton* m_withSample;
    QRadioButton* m_withNewFile;
    QLineEdit* m_file;
    COwnAddressesEdit* m_addresses;
    QCheckBox* m_setUpMail;
    FirstRunChoice m_choice;
};
