#include "core/maps.h"

#include "core/yubino_app.h"

// 北海道, 東北, 関東, 中部, 近畿, 中国, 四国, 九州, 世界 as stored in the pal data file.
const char* const g_apszMapNames[kMapCount] = {
    "\x96\x6B\x8A\x43\x93\xB9", "\x93\x8C\x96\x6B", "\x8A\xD6\x93\x8C", "\x92\x86\x95\x94", "\x8B\xDF\x8B\x45",
    "\x92\x86\x8D\x91",         "\x8E\x6C\x8D\x91", "\x8B\xE3\x8F\x42", "\x90\xA2\x8A\x45",
};

int FindMapIndex(std::string_view name) {
    for (int i = 0; i < kMapCount; ++i)
        if (name == g_apszMapNames[i]) return i;
    return -1;
}

MapChoiceRefresh CMapChoice::Apply(CYubinoApp& app, int index) {
    if (index < 0 || index >= kMapCount) return {};
    app.m_nCurrentMap = index;
    if (index == m_nLastAppliedMap) return {};
    m_nLastAppliedMap = index;
    app.m_strCurrentMap = g_apszMapNames[index];
    return {true, !app.m_bListAllPals};
}
