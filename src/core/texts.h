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

// Analysis and import.
inline constexpr const char* kAnalysisTitle = "ﾒｰﾙﾌﾚﾝﾄﾞの分析";
inline constexpr const char* kAnalysisTabBasic = "基本ﾃﾞｰﾀ";
inline constexpr const char* kAnalysisTabAll = "総合ﾃﾞｰﾀ";
inline constexpr const char* kAnalysisTabDates = "受信日";
inline constexpr const char* kAnalysisTabTotals = "合計/平均";
inline constexpr const char* kColumnHandleName = "ﾊﾝﾄﾞﾙﾈｰﾑ";
inline constexpr const char* kColumnName = "名前";
inline constexpr const char* kColumnSex = "性別";
inline constexpr const char* kColumnAge = "年齢";
inline constexpr const char* kColumnMailAddress = "ﾒｰﾙｱﾄﾞﾚｽ";
inline constexpr const char* kColumnResidence = "居住地";
inline constexpr const char* kColumnMap = "所属ﾏｯﾌﾟ";
inline constexpr const char* kColumnJob = "職業";
inline constexpr const char* kColumnHomePage = "ホームページ";
inline constexpr const char* kColumnBirthplace = "出身地";
inline constexpr const char* kColumnBloodType = "血液型";
inline constexpr const char* kColumnBirthday = "誕生日";
inline constexpr const char* kColumnFirstMail = "最初のﾒｰﾙ受信日";
inline constexpr const char* kColumnLastMail = "最後のﾒｰﾙ受信日";
inline constexpr const char* kColumnDays = "ﾒｰﾙ継続日数";
inline constexpr const char* kColumnTel1 = "電話番号1";
inline constexpr const char* kColumnTel2 = "電話番号2";
inline constexpr const char* kColumnHobby = "趣味";
inline constexpr const char* kColumnItem = "項目";
inline constexpr const char* kColumnData = "データ";
inline constexpr const char* kTotalPals = "登録ﾒｰﾙﾌﾚﾝﾄﾞ数";
inline constexpr const char* kTotalWomen = "女性";
inline constexpr const char* kTotalMen = "男性";
inline constexpr const char* kTotalAverageAge = "平均年齢";
inline constexpr const char* kTotalSexNotSet = "性別未設定";
inline constexpr const char* kTotalMapNotSet = "マップ未設定";
inline constexpr const char* kTotalNameNotSet = "名前未設定";
inline constexpr const char* kTotalAgeNotSet = "年齢未設定";
inline constexpr const char* kTotalMaps = "登録マップ数";
inline constexpr const char* kFormatPalCount = "%d / %d人";
inline constexpr const char* kFormatPersons = "%d 人";
inline constexpr const char* kFormatAverageAge = "%.01f 才";
inline constexpr const char* kNoAverage = "-";
inline constexpr const char* kFormatMapCount = "%d / %d";
inline constexpr const char* kSexMale = "男";
inline constexpr const char* kSexFemale = "女";
inline constexpr const char* kClose = "閉じる";
inline constexpr const char* kImportSelectTitle = "インポートするメールアドレスの選択";
inline constexpr const char* kImportLeftList = "インポートしないアドレス";
inline constexpr const char* kImportRightList = "インポートするアドレス";
inline constexpr const char* kImportColumnName = "表示名";
inline constexpr const char* kImportColumnAddress = "電子ﾒｰﾙｱﾄﾞﾚｽ";
inline constexpr const char* kMoveRight = ">>";
inline constexpr const char* kMoveLeft = "<<";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "ｷｬﾝｾﾙ";
inline constexpr const char* kCsvNameField = "表示名";
inline constexpr const char* kCsvAddressField = "電子メール アドレス";
inline constexpr const char* kCsvWrongFormat = "CSV ファイルをインポートできませんでした\n異なる形式のファイルです";
inline constexpr const char* kCsvFileFilter = "OutlookExpress 形式CSVアドレス帳 (*.csv)|*.csv|すべてのﾌｧｲﾙ|*.*|";
inline constexpr const char* kCsvDefaultExtension = "csv";

}  // namespace texts

// One of the texts above in code page 932.
std::string Cp932Text(std::string_view utf8);
// The text with its first "%s" replaced by `arg` (code page 932 bytes, inserted as they are).
std::string FormatText(std::string_view utf8Template, std::string_view arg);
// The text with its first "%d" replaced by `number`.
std::string FormatText(std::string_view utf8Template, int number);
