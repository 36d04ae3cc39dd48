#include "support/resident_pals.h"

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

void WriteResidentPals(const std::filesystem::path& file) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    const char* residences[] = {"東京都港区", "ひみつ", "Paris", "北海道札幌市"};
    for (int i = 0; i < 4; ++i) {
        CPenPal pal;
        pal.m_strHandleName = "pal" + std::to_string(i);
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        pal.m_strResidence = Sjis(residences[i]);
        if (i == 3) {
            pal.m_strMapName = Sjis("九州");
            pal.m_nMapX = 200;
            pal.m_nMapY = 120;
        }
        app.AddPal(pal);
    }
    WriteFileBytes(file, WritePalData(app));
}
