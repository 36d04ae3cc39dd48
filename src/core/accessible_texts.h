// What assistive tools call the parts of the window that show no text of their own.
#pragma once

namespace texts {

inline constexpr const char* kMapIconAccessibleName = "%1（%2のマップ）";  // handle name, map name
inline constexpr const char* kMapPaneName = "マップ";
inline constexpr const char* kListPaneName = "メールフレンドの一覧";
inline constexpr const char* kMainToolBarName = "メイン ツール バー";
inline constexpr const char* kMailBarName = "メールの確認ツール バー";
inline constexpr const char* kMapBarName = "マップ選択ツール バー";
inline constexpr const char* kSearchFieldName = "検索";

}  // namespace texts
