// The pal information dialog: edits one pal, adds a new one, or collects what a multiple
// edit applies to several pals. It works on the caller's record and writes it back only
// at "保存して閉じる"; the one change it makes to the table is the rename of a stored pal
// whose address the user changed.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <functional>
#include <vector>

#include "core/pal_card.h"
#include "core/pen_pal.h"
#include "core/user_interface.h"

class CYubinoApp;
class CPalPictureBox;
class CDialogTextReader;
class QComboBox;
class QDateEdit;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class CPalInfoDlg : public QDialog {
    Q_OBJECT
public:
    CPalInfoDlg(CYubinoApp& app, CPenPal& pal, PalInfoMode mode, QWidget* parent = nullptr);

    // The picture file chooser; the platform's open-file dialog unless a test answers it.
    using PictureFileChooser = std::function<QString(QWidget* parent)>;
    void SetPictureFileChooser(PictureFileChooser chooser) { m_choosePictureFile = std::move(chooser); }

    void accept() override;

private:
    struct DateControl {
        QDateEdit* edit;
        QDate shown;
    };

    QWidget* BuildNamesPage();
    QWidget* BuildAddressPage();
    QWidget* BuildInformationPage();
    QWidget* BuildDatesPage();
    QWidget* BuildLastMailPage();
    QWidget* BuildPictureColumn();
    QDateEdit* AddDateRow(QFormLayout* form, const char* label, char key, const COleDateTime& date,
                          DateControl& control);
    void DisableWhatSeveralPalsIgnore();
    void ShowOriginalTexts();
    void SaveReading(const std::string& address);

    void UpdateTitle();
    void ApplyPictureChoice();
    void OnChange();
    void ChooseFaceIcon();
    void ChoosePictureFile();
    void OnGo();
    void ProposeMap();
    void PlaceFromResidenceNow();

    // The controls' values on top of the record; `reader` tells of refused text.
    CPenPal ReadControls(CDialogTextReader& reader) const;
    std::string ReadCombo(const QComboBox* combo, const std::string& stored) const;
    COleDateTime ReadDate(const DateControl& control, const COleDateTime& stored) const;
    void FocusControl(QWidget* control);

    CYubinoApp& m_app;
    CPenPal& m_pal;
    PalInfoMode m_mode;
    PictureFileChooser m_choosePictureFile;

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_handleName = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_mailAddress = nullptr;
    QLineEdit* m_mailAddress2 = nullptr;
    QLineEdit* m_mobileAddress = nullptr;
    QComboBox* m_sex = nullptr;
    QComboBox* m_age = nullptr;
    QLineEdit* m_residence = nullptr;
    QLineEdit* m_birthplace = nullptr;
    QComboBox* m_map = nullptr;
    QLineEdit* m_hobby = nullptr;
    QComboBox* m_job = nullptr;
    QComboBox* m_bloodType = nullptr;
    QLineEdit* m_tel1 = nullptr;
    QLineEdit* m_tel2 = nullptr;
    QLineEdit* m_homePage = nullptr;
    DateControl m_birthday{};
    DateControl m_firstMail{};
    DateControl m_lastMail{};
    QPlainTextEdit* m_lastMailText = nullptr;
    CPalPictureBox* m_pictureBox = nullptr;
    QRadioButton* m_iconRadio = nullptr;
    QRadioButton* m_pictureRadio = nullptr;
    QPushButton* m_change = nullptr;
    QLineEdit* m_pictureFile = nullptr;
    QLineEdit* m_memo = nullptr;
    QLineEdit* m_reading = nullptr;
    // The pal's record beside the data file: its reading, and the text of fields that code
    // page 932 could not hold, shown instead of their stored form.
    CPalCardStore* m_cards = nullptr;
    PalCard m_card;
    QPushButton* m_placeFromResidence = nullptr;
    // The map the typed residence proposed while no map was chosen; -1 when the user chose.
    // At "保存して閉じる" a pal still on the proposed map is placed at the residence's place.
    int m_nProposedMap = -1;
};
