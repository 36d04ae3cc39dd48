// The program's own texts, as UTF-8 literals. They reach the core's logic as code page
// 932 through Cp932Text, and the user through the port.
#pragma once

#include <string>
#include <string_view>

namespace texts {

inline constexpr const char* kAppName = "Yubino";

// The pal table.
inline constexpr const char* kTableFull =
    "これ以上メールフレンドを追加できません\r\n他のメールフレンドを削除してから追加してください";
inline constexpr const char* kAlreadyRegistered = "メールアドレス\" %s \"は既に登録されているので追加できません";

// Settings and start-up.
inline constexpr const char* kSettingsFileName = "yubino.cfg";
inline constexpr const char* kSampleFileName = "サンプル.ybf";
inline constexpr const char* kSettingsNotKept =
    "設定ファイルを保存できる場所が見つかりません。\r\n今回の終了時には、使用中のメールフレンドデータのファイル名を記録できません。";
inline constexpr const char* kDataFileUnavailable =
    "メールフレンドデータのファイル\" %s \"を開くことも作成することもできません。\r\nメールフレンドのいない状態で起動します。";

// Pal data file.
inline constexpr const char* kPalFileForeign =
    "ファイル\" %s \"はメールフレンドデータのファイルではないので開けません。";
inline constexpr const char* kPalFileUnreadable = "ファイル\" %s \"を読み込めません。";
inline constexpr const char* kPalFileDamaged =
    "ファイル\" %s \"には読み込めなかったデータがあります。\r\n読み込めたメールフレンドだけを表示します。\r\n"
    "元のファイルは、上書きする前に名前の後ろに\".bak\"を付けて同じ場所に残します。";
inline constexpr const char* kPalFileNotSaved = "メールフレンドデータをファイル\" %s \"に保存できませんでした。";

}  // namespace texts

// One of the texts above in code page 932.
std::string Cp932Text(std::string_view utf8);
// The text with its first "%s" replaced by `arg` (code page 932 bytes, inserted as they are).
std::string FormatText(std::string_view utf8Template, std::string_view arg);
// The text with its first "%d" replaced by `number`.
std::string FormatText(std::string_view utf8Template, int number);
