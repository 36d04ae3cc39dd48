// The main window on a data file of the test's own, driven by a scripted user.
#pragma once

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <memory>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/main/mail_edit_view.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/yubino_view.h"

namespace main_window_fixture {

namespace fs = std::filesystem;

// The scripted user, with the list and map refreshes passed on to the window.
class FramePort : public FakeUserInterface {
public:
    CViewHost* host = nullptr;
    void UpdateListView() override {
        FakeUserInterface::UpdateListView();
        if (host) host->UpdateListView();
    }
    void UpdateMapView() override {
        FakeUserInterface::UpdateMapView();
        if (host) host->UpdateMapView();
    }
    std::vector<std::string> GetSelectedAddresses() override {
        return host ? host->GetSelectedAddresses() : std::vector<std::string>{};
    }
};

inline CPenPal Pal(const std::string& address, const std::string& handle, const std::string& mapUtf8,
            const std::string& ageUtf8 = "？", const std::string& mail = "") {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strHandleName = handle;
    pal.m_strMapName = Sjis(mapUtf8);
    pal.m_strAge = Sjis(ageUtf8);
    pal.m_strLastMailText = mail;
    return pal;
}

inline std::string PalFileBytes(const std::vector<CPenPal>& pals) {
    FakeUserInterface quiet;
    CYubinoApp source(quiet);
    for (const CPenPal& pal : pals) source.AddPal(pal);
    return WritePalData(source);
}

inline const std::vector<CPenPal> kFourPals = {
    Pal("a@x", "Aki", "関東", "２", "Hello\r\bWorld\r\b\r\b"),
    Pal("b@x", "Bun", "九州", "１０", "From Bun"),
    Pal("c@x", "Chi", "関東", "３"),
    Pal("d@x", "Dai", "世界", "４"),
};

class MainWindowTest : public testing::Test {
protected:
    AppPaths Paths() const { return {dir / "yubino.cfg", dir / "サンプル.ybf"}; }

    void Start(const fs::path& bundledSample = {}) {
        frame = std::make_unique<CMainFrame>(app, nullptr, Paths(), bundledSample);
        ui.host = frame.get();
        frame->show();
        frame->Start();
        ui.events.clear();
    }
    // Starts on a data file holding `pals`, named by the settings file.
    void StartWith(const std::vector<CPenPal>& pals) {
        WriteFileBytes(dataFile, PalFileBytes(pals));
        WriteFileBytes(dir / "yubino.cfg", dataFile.string());
        Start();
    }

    CYubinoView& List() { return *frame->GetListView(); }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const CPenPal& pal : List().Model().Rows()) rows.push_back(pal.m_strMailAddress);
        return rows;
    }
    void SelectRows(std::initializer_list<int> rows) {
        List().Selection().clearSelection();
        for (int row : rows)
            List().Selection().select(List().Model().index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void ClickHeader(int column) {
        QHeaderView* header = List().DetailsView().header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    QString MailPane() { return frame->GetMailEditView()->toPlainText(); }

    TempDir dir;
    fs::path dataFile = dir / "friends.ybf";
    FramePort ui;
    CYubinoApp app{ui};
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace main_window_fixture
