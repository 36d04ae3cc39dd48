#include "ui/dialogs/pal_info_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/maps.h"
#include "core/pal_history.h"
#include "core/pal_info_rules.h"
#include "core/pal_placement.h"
#include "core/shell_hand_off.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/stored_mail_text.h"
#include "storage/pal_card_text.h"
#include "ui/dialogs/dialog_text.h"
#include "ui/dialogs/face_icon_dlg.h"
#include "ui/dialogs/pal_picture_box.h"
#include "ui/qt_text.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A label whose access key reaches `field`: a form row's own label does so only for a
// widget, not for a row of several.
QLabel* LabelFor(QWidget* field, const char* utf8, char key) {
    auto* label = new QLabel(WithAccessKey(utf8, key));
    label->setBuddy(field);
    return label;
}

QLineEdit* MakeEdit(const std::string& stored, const char* name) {
    auto* edit = Named(new QLineEdit(ToQString(stored)), name);
    RememberShownText(edit, edit->text());
    return edit;
}

// Each entry carries its code page 932 bytes, so that a chosen entry is stored exactly.
QComboBox* MakeCombo(const std::vector<std::string>& entries, const std::string& stored, const char* name) {
    auto* combo = Named(new QComboBox, name);
    for (const std::string& entry : entries) combo->addItem(ToQString(entry), QByteArray::fromStdString(entry));
    combo->setCurrentIndex(FindEntryByPrefix(entries, stored));
    return combo;
}

QWidget* FormPage(QFormLayout*& form) {
    auto* page = new QWidget;
    form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return page;
}

}  // namespace

CPalInfoDlg::CPalInfoDlg(CYubinoApp& app, CPenPal& pal, PalInfoMode mode, QWidget* parent)
    : QDialog(parent), m_app(app), m_pal(pal), m_mode(mode) {
    // Pictures are looked for beside the data file first.
    m_choosePictureFile = [folder = QString::fromStdString(app.m_dataFolder.string())](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QString(), folder, Text(texts::kPictureFileFilter));
    };
    if (m_mode == PalInfoMode::EditSeveral) m_pal.m_nFaceIcon = -1;  // no icon chosen yet
    m_cards = dynamic_cast<CPalCardStore*>(app.History());
    if (m_cards && !m_pal.m_strMailAddress.empty() && m_mode != PalInfoMode::EditSeveral)
        m_card = m_cards->ReadCard(m_pal.m_strMailAddress).value_or(PalCard{});

    m_tabs = Named(new QTabWidget, "tabs");
    m_tabs->addTab(BuildNamesPage(), Text(texts::kTabNames));
    m_tabs->addTab(BuildAddressPage(), Text(texts::kTabAddress));
    m_tabs->addTab(BuildInformationPage(), Text(texts::kTabInformation));
    m_tabs->addTab(BuildDatesPage(), Text(texts::kTabDates));
    m_tabs->addTab(BuildLastMailPage(), Text(texts::kTabLastMail));

    // Room for an address or a home page at any font size.
    m_tabs->setMinimumWidth(m_tabs->fontMetrics().horizontalAdvance(QStringLiteral("携帯メールアドレス")) +
                            m_tabs->fontMetrics().horizontalAdvance(QLatin1Char('m')) * 32);
    auto* top = new QHBoxLayout;
    top->addWidget(BuildPictureColumn(), 0, Qt::AlignTop);
    top->addWidget(m_tabs, 1);

    m_pictureFile = MakeEdit(m_pal.m_strPictureFile, "pictureFile");
    m_memo = MakeEdit(m_pal.m_strMemo, "memo");
    auto* lower = new QFormLayout;
    lower->addRow(WithAccessKey(texts::kRadioPictureFile, 'P'), m_pictureFile);
    lower->addRow(WithAccessKey(texts::kLabelMemo, 'O'), m_memo);

    auto* save = Named(new QPushButton(WithAccessKey(texts::kButtonSaveAndClose, 'S')), "save");
    auto* cancel = Named(new QPushButton(Text(texts::kButtonCancel)), "cancel");
    save->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    // The picture's corner sits at (6, 7) of the dialog, where it has always been drawn.
    layout->setContentsMargins(6, 7, 9, 9);
    layout->addLayout(top, 1);
    layout->addLayout(lower);
    layout->addLayout(buttons);

    // A new pal always starts on the icon.
    const bool usePicture = m_mode != PalInfoMode::AddNew && m_pal.m_bUsePicture != 0;
    (usePicture ? m_pictureRadio : m_iconRadio)->setChecked(true);
    m_pictureBox->ShowPicture(LoadPalPicture(m_pal.m_strPictureFile, m_app.m_dataFolder));  // empty when it fails
    ApplyPictureChoice();
    if (m_mode == PalInfoMode::EditSeveral) DisableWhatSeveralPalsIgnore();
    ShowOriginalTexts();
    UpdateTitle();

    connect(m_handleName, &QLineEdit::textChanged, this, &CPalInfoDlg::UpdateTitle);
    connect(m_iconRadio, &QRadioButton::clicked, this, &CPalInfoDlg::ApplyPictureChoice);
    connect(m_pictureRadio, &QRadioButton::clicked, this, &CPalInfoDlg::ApplyPictureChoice);
    connect(m_change, &QPushButton::clicked, this, &CPalInfoDlg::OnChange);
    connect(save, &QPushButton::clicked, this, &CPalInfoDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CPalInfoDlg::reject);
    // Typing starts in the handle name, the first thing a pal needs.
    if (m_handleName->isEnabled()) m_handleName->setFocus();
}

QWidget* CPalInfoDlg::BuildNamesPage() {
    QFormLayout* form;
    QWidget* page = FormPage(form);
    m_handleName = MakeEdit(m_pal.m_strHandleName, "handleName");
    m_name = MakeEdit(m_pal.m_strName, "name");
    m_mailAddress = MakeEdit(m_pal.m_strMailAddress, "mailAddress");
    m_mailAddress2 = MakeEdit(m_pal.m_strMailAddress2, "mailAddress2");
    m_mobileAddress = MakeEdit(m_pal.m_strMobileAddress, "mobileAddress");
    m_sex = MakeCombo(SexChoices(), m_pal.m_strSex, "sex");
    m_age = MakeCombo(AgeChoices(), m_pal.m_strAge, "age");
    auto* sexAndAge = new QHBoxLayout;
    sexAndAge->addWidget(m_sex);
    sexAndAge->addWidget(LabelFor(m_age, texts::kLabelAge, 'G'));
    sexAndAge->addWidget(m_age);
    sexAndAge->addStretch();
    form->addRow(WithAccessKey(texts::kLabelHandleName, 'H'), m_handleName);
    form->addRow(WithAccessKey(texts::kLabelName, 'N'), m_name);
    m_reading = Named(new QLineEdit(QString::fromStdString(m_card.Reading())), "reading");
    m_reading->setEnabled(m_mode != PalInfoMode::EditSeveral && m_cards);
    form->addRow(WithAccessKey(texts::kLabelReading, 'U'), m_reading);
    form->addRow(LabelFor(m_sex, texts::kLabelSex, 'X'), sexAndAge);
    form->addRow(WithAccessKey(texts::kLabelMailAddress, 'M'), m_mailAddress);
    form->addRow(WithAccessKey(texts::kLabelMailAddress2, '2'), m_mailAddress2);
    form->addRow(WithAccessKey(texts::kLabelMobileAddress, 'K'), m_mobileAddress);
    return page;
}

QWidget* CPalInfoDlg::BuildAddressPage() {
    QFormLayout* form;
    QWidget* page = FormPage(form);
    m_residence = MakeEdit(m_pal.m_strResidence, "residence");
    m_birthplace = MakeEdit(m_pal.m_strBirthplace, "birthplace");
    m_map = MakeCombo(MapChoices(), m_pal.m_strMapName, "map");
    m_placeFromResidence = Named(new QPushButton(Text(texts::kButtonPlaceFromResidence)), "placeFromResidence");
    auto* map = new QHBoxLayout;
    map->addWidget(m_map);
    map->addWidget(m_placeFromResidence);
    map->addStretch();
    form->addRow(WithAccessKey(texts::kLabelResidence, 'R'), m_residence);
    form->addRow(WithAccessKey(texts::kLabelBirthplace, 'B'), m_birthplace);
    form->addRow(LabelFor(m_map, texts::kLabelMap, 'A'), map);
    if (m_mode == PalInfoMode::EditSeveral) {
        m_placeFromResidence->setEnabled(false);  // one residence cannot place several pals
        return page;
    }
    connect(m_residence, &QLineEdit::textEdited, this, &CPalInfoDlg::ProposeMap);
    connect(m_map, &QComboBox::activated, this, [this] { m_nProposedMap = -1; });
    connect(m_placeFromResidence, &QPushButton::clicked, this, &CPalInfoDlg::PlaceFromResidenceNow);
    return page;
}

QWidget* CPalInfoDlg::BuildInformationPage() {
    QFormLayout* form;
    QWidget* page = FormPage(form);
    m_hobby = MakeEdit(m_pal.m_strHobby, "hobby");
    // The job is free text; the list only offers common answers.
    m_job = MakeCombo(JobChoices(), "", "job");
    m_job->setEditable(true);
    m_job->setInsertPolicy(QComboBox::NoInsert);
    m_job->setCurrentText(ToQString(m_pal.m_strJob));
    RememberShownText(m_job, m_job->currentText());
    m_bloodType = MakeCombo(BloodTypeChoices(), m_pal.m_strBloodType, "bloodType");
    m_tel1 = MakeEdit(m_pal.m_strTel1, "tel1");
    m_tel2 = MakeEdit(m_pal.m_strTel2, "tel2");
    m_homePage = MakeEdit(m_pal.m_strHomePage, "homePage");
    auto* go = Named(new QPushButton(WithAccessKey(texts::kButtonGo, 'G')), "go");
    connect(go, &QPushButton::clicked, this, &CPalInfoDlg::OnGo);
    auto* homePage = new QHBoxLayout;
    homePage->addWidget(m_homePage, 1);
    homePage->addWidget(go);
    form->addRow(WithAccessKey(texts::kLabelHobby, 'Y'), m_hobby);
    form->addRow(WithAccessKey(texts::kLabelJob, 'J'), m_job);
    form->addRow(WithAccessKey(texts::kLabelBloodType, 'L'), m_bloodType);
    form->addRow(WithAccessKey(texts::kLabelTel1, 'T'), m_tel1);
    form->addRow(WithAccessKey(texts::kLabelTel2, 'E'), m_tel2);
    form->addRow(LabelFor(m_homePage, texts::kLabelHomePage, 'W'), homePage);
    return page;
}

QDateEdit* CPalInfoDlg::AddDateRow(QFormLayout* form, const char* label, char key, const COleDateTime& date,
                                   DateControl& control) {
    control.shown = ShownDateTime(date).date();
    control.edit = new QDateEdit(control.shown);
    control.edit->setDisplayFormat(kLongDateFormat);
    control.edit->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    control.edit->setCalendarPopup(true);
    form->addRow(WithAccessKey(label, key), control.edit);
    return control.edit;
}

QWidget* CPalInfoDlg::BuildDatesPage() {
    QFormLayout* form;
    QWidget* page = FormPage(form);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    Named(AddDateRow(form, texts::kLabelBirthday, 'B', m_pal.m_dtBirthday, m_birthday), "birthday");
    Named(AddDateRow(form, texts::kLabelFirstMail, 'F', m_pal.m_dtFirstMail, m_firstMail), "firstMail");
    Named(AddDateRow(form, texts::kLabelLastMail, 'L', m_pal.m_dtLastMail, m_lastMail), "lastMail");
    return page;
}

QWidget* CPalInfoDlg::BuildLastMailPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QString text = ToQString(FormatMailTextForDisplay(m_pal.m_strLastMailText));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_lastMailText = Named(new QPlainTextEdit(text), "lastMailText");
    m_lastMailText->setReadOnly(true);
    m_lastMailText->setTabChangesFocus(true);
    m_lastMailText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_lastMailText);
    return page;
}

QWidget* CPalInfoDlg::BuildPictureColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pictureBox = Named(new CPalPictureBox, "pictureBox");
    m_pictureBox->SetFaceIcon(m_pal.m_nFaceIcon);
    auto* group = new QGroupBox(Text(texts::kGroupPicture));
    auto* groupLayout = new QVBoxLayout(group);
    m_iconRadio = Named(new QRadioButton(WithAccessKey(texts::kRadioIcon, 'I')), "iconRadio");
    m_pictureRadio = Named(new QRadioButton(Text(texts::kRadioPictureFile)), "pictureRadio");
    m_change = Named(new QPushButton(WithAccessKey(texts::kButtonChange, 'C')), "change");
    groupLayout->addWidget(m_iconRadio);
    groupLayout->addWidget(m_pictureRadio);
    groupLayout->addWidget(m_change);
    layout->addWidget(m_pictureBox);
    layout->addWidget(group);
    layout->addStretch();
    return column;
}

// The multiple edit applies neither these fields nor the picture, so they are not offered.
void CPalInfoDlg::DisableWhatSeveralPalsIgnore() {
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_handleName, m_mailAddress, m_mailAddress2, m_mobileAddress, m_bloodType,
                                         m_memo, m_pictureRadio, m_pictureFile})
        control->setEnabled(false);
}

void CPalInfoDlg::UpdateTitle() { setWindowTitle(ToQString(PalInfoTitle(m_mode, ToCp932Lossy(m_handleName->text())))); }

void CPalInfoDlg::ApplyPictureChoice() {
    const bool usePicture = m_pictureRadio->isChecked();
    m_pictureBox->SetUsePicture(usePicture);
    m_pictureFile->setEnabled(usePicture && m_mode != PalInfoMode::EditSeveral);
}

void CPalInfoDlg::OnChange() {
    if (m_pictureRadio->isChecked())
        ChoosePictureFile();
    else
        ChooseFaceIcon();
}

void CPalInfoDlg::ChooseFaceIcon() {
    CFaceIconDlg chooser(m_app.UI(), this);
    if (chooser.exec() != QDialog::Accepted) return;
    m_pal.m_nFaceIcon = chooser.ChosenIcon();
    m_pictureBox->SetFaceIcon(m_pal.m_nFaceIcon);
}

void CPalInfoDlg::ChoosePictureFile() {
    const QString path = m_choosePictureFile(this);
    if (path.isEmpty()) return;
    m_pictureFile->setText(path);
    if (!m_pictureBox->LoadPicture(path))
        m_app.UI().ShowMessage(Cp932Text(texts::kPictureLoadFailed), MessageKind::Warning);
}

void CPalInfoDlg::OnGo() {
    const std::optional<std::string> link = HomePageLink(ToCp932Lossy(m_homePage->text()));
    if (!link) {
        m_app.UI().ShowMessage(Cp932Text(texts::kNotWebAddress), MessageKind::Warning);
        return;
    }
    HandOffToDesktop(m_app.UI(), *link);
}

// While no map is chosen, the map follows the residence as it is typed.
void CPalInfoDlg::ProposeMap() {
    if (m_map->currentIndex() >= 0 && m_map->currentIndex() != m_nProposedMap) return;
    const auto place = FindResidencePlace(ToCp932Lossy(m_residence->text()));
    m_nProposedMap = place ? place->nMap : -1;
    m_map->setCurrentIndex(m_nProposedMap);
}

void CPalInfoDlg::PlaceFromResidenceNow() {
    CPenPal pal = m_pal;
    pal.m_strResidence = ToCp932Lossy(m_residence->text());
    if (!PlaceAmongPals(m_app, pal, m_pal.m_strMailAddress)) {
        m_app.UI().ShowMessage(Cp932Text(texts::kResidenceNamesNoPlace), MessageKind::Information);
        return;
    }
    m_pal.m_nMapX = pal.m_nMapX;
    m_pal.m_nMapY = pal.m_nMapY;
    m_map->setCurrentIndex(FindMapIndex(pal.m_strMapName));
    m_nProposedMap = -1;
}

std::string CPalInfoDlg::ReadCombo(const QComboBox* combo, const std::string& stored) const {
    // A list without a choice keeps what the record holds, so an unknown stored value survives.
    if (combo->currentIndex() < 0) return stored;
    return combo->currentData().toByteArray().toStdString();
}

COleDateTime CPalInfoDlg::ReadDate(const DateControl& control, const COleDateTime& stored) const {
    const QDate picked = control.edit->date();
    if (picked == control.shown) return stored;
    return WithPickedDay(stored, picked.year(), picked.month(), picked.day());
}

CPenPal CPalInfoDlg::ReadControls(CDialogTextReader& reader) const {
    CPenPal entered = m_pal;
    auto take = [&](QLineEdit* edit, std::string& field) { field = reader.Take(edit, edit->text(), field); };
    take(m_handleName, entered.m_strHandleName);
    take(m_name, entered.m_strName);
    entered.m_strSex = ReadCombo(m_sex, m_pal.m_strSex);
    entered.m_strAge = ReadCombo(m_age, m_pal.m_strAge);
    entered.m_strJob = reader.Take(m_job, m_job->currentText(), m_pal.m_strJob);
    take(m_residence, entered.m_strResidence);
    take(m_birthplace, entered.m_strBirthplace);
    entered.m_strBloodType = ReadCombo(m_bloodType, m_pal.m_strBloodType);
    entered.m_dtBirthday = ReadDate(m_birthday, m_pal.m_dtBirthday);
    entered.m_dtFirstMail = ReadDate(m_firstMail, m_pal.m_dtFirstMail);
    entered.m_dtLastMail = ReadDate(m_lastMail, m_pal.m_dtLastMail);
    take(m_homePage, entered.m_strHomePage);
    take(m_hobby, entered.m_strHobby);
    take(m_mailAddress, entered.m_strMailAddress);
    take(m_tel1, entered.m_strTel1);
    take(m_tel2, entered.m_strTel2);
    take(m_pictureFile, entered.m_strPictureFile);
    entered.m_bUsePicture = m_pictureRadio->isChecked() ? 1 : 0;
    take(m_mailAddress2, entered.m_strMailAddress2);
    take(m_mobileAddress, entered.m_strMobileAddress);
    take(m_memo, entered.m_strMemo);
    entered.m_strMapName = ReadCombo(m_map, m_pal.m_strMapName);
    return entered;
}

// Brings the control's page to the front first, so the user sees where the focus went.
void CPalInfoDlg::FocusControl(QWidget* control) {
    for (int page = 0; page < m_tabs->count(); ++page)
        if (m_tabs->widget(page)->isAncestorOf(control)) m_tabs->setCurrentIndex(page);
    control->setFocus();
}

void CPalInfoDlg::accept() {
    CDialogTextReader reader;
    CPenPal entered = ReadControls(reader);
    if (reader.Refused()) {
        if (reader.FirstRefused()) FocusControl(reader.FirstRefused());
        ShowRefusedText(this, reader);
        return;
    }
    const PalInfoProblem problem = CheckPalInfo(entered, m_pal.m_strMailAddress, m_mode, m_app);
    if (problem) {
        m_app.UI().ShowMessage(problem.message, MessageKind::Warning);
        FocusControl(problem.field == PalInfoField::HandleName ? m_handleName : m_mailAddress);
        return;
    }
    // The caller replaces the pal by its address: a stored pal moves to the new one first.
    if (m_nProposedMap >= 0 && m_map->currentIndex() == m_nProposedMap)
        PlaceAmongPals(m_app, entered, m_pal.m_strMailAddress);
    if (entered.m_strMailAddress != m_pal.m_strMailAddress)
        m_app.ChangePalAddress(m_pal.m_strMailAddress, entered.m_strMailAddress);
    SaveReading(entered.m_strMailAddress);
    m_pal = entered;
    QDialog::accept();
}

// Family and given reading, split at the first blank; kept once the pal's address is its
// own (a new pal's address is checked to be free before this).
void CPalInfoDlg::SaveReading(const std::string& address) {
    if (!m_cards || !m_reading->isEnabled() || address.empty()) return;
    const std::string reading = m_reading->text().simplified().replace(QChar(0x3000), QLatin1Char(' ')).toStdString();
    if (reading == m_card.Reading()) return;
    PalCard card = m_cards->ReadCard(address).value_or(m_card);
    const std::size_t blank = reading.find(' ');
    card.readingFamily = reading.substr(0, blank);
    card.readingGiven = blank == std::string::npos ? "" : reading.substr(blank + 1);
    if (card.uid.empty()) card.uid = NewUuid();
    card.revision = RevisionNow();
    m_cards->WriteCard(address, card);
}

void CPalInfoDlg::ShowOriginalTexts() {
    const std::pair<QLineEdit*, PalField> edits[] = {{m_handleName, PalField::HandleName},
                                                     {m_name, PalField::Name},
                                                     {m_residence, PalField::Residence},
                                                     {m_birthplace, PalField::Birthplace},
                                                     {m_hobby, PalField::Hobby},
                                                     {m_homePage, PalField::HomePage},
                                                     {m_tel1, PalField::Tel1},
                                                     {m_tel2, PalField::Tel2},
                                                     {m_memo, PalField::Memo}};
    for (const auto& [edit, field] : edits) {
        if (!edit || !m_card.originals.contains(static_cast<int>(field))) continue;
        const QString shown = QString::fromStdString(ShownFieldText(m_pal, &m_card, field));
        edit->setText(shown);
        RememberShownText(edit, edit->text());
    }
}
