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

// Mail: the mail text parser's keywords and date line, and the intake of received mail.
inline constexpr const char* kSenderKeyword = "送信者";
inline constexpr const char* kSubjectKeyword = "件名";
inline constexpr const char* kDateLinePattern = "日時 :  %d年 %d月 %d日";
inline constexpr const char* kDroppedFormatInvalid = "ドロップされた形式は無効です";
inline constexpr const char* kMailAddressNotFound = "メールアドレスを取得できませんでした";
inline constexpr const char* kMailTableFull =
    "これ以上メールフレンドを追加できません\r\n登録しているメールフレンドを削除してから追加してください";
inline constexpr const char* kNewPalCongratulation = "おめでとう！　新しいメールフレンドです";
inline constexpr const char* kConfirmNotAdding = "追加しなくてもよろしいですか？";
inline constexpr const char* kSameMailAgain = "このメールは前回登録時と同じ日時、内容です。\r\n追加しますか？";
inline constexpr const char* kPalUpdated = "%s さんのデータを更新しました";
inline constexpr const char* kClipboardUnavailable = "クリップボードを開けません";

// Maps: the names of the nine maps in index order.
inline constexpr const char* kMapNames[] = {"北海道", "東北", "関東", "中部", "近畿", "中国", "四国", "九州", "世界"};

}  // namespace texts

// One of the texts above in code page 932.
std::string Cp932Text(std::string_view utf8);
// The text with its first "%s" replaced by `arg` (code page 932 bytes, inserted as they are).
std::string FormatText(std::string_view utf8Template, std::string_view arg);
// The text with its first "%d" replaced by `number`.
std::string FormatText(std::string_view utf8Template, int number);
