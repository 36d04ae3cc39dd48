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
    "設定ファイルを保存できる場所が見つかりません。\r\n今回の終了時には、使用中のメールフレンドデータのファイル名を記録"
    "できません。";
inline constexpr const char* kDataFileUnavailable =
    "メールフレンドデータのファイル\" %s "
    "\"を開くことも作成することもできません。\r\nメールフレンドのいない状態で起動します。";

// Main window: the caption, the panes and the list.
inline constexpr const char* kCaptionFormat = "%s - Yubino";
inline constexpr const char* kMailPanePlaceholder = "最後に受け取ったメールの文章";
inline constexpr const char* kListColumnHandleName = "ﾊﾝﾄﾞﾙﾈｰﾑ";
inline constexpr const char* kListColumnName = "名前";
inline constexpr const char* kListColumnSex = "性別";
inline constexpr const char* kListColumnAge = "年齢";
inline constexpr const char* kListColumnMailAddress = "ﾒｰﾙｱﾄﾞﾚｽ";
inline constexpr const char* kListColumnMap = "マップ";
inline constexpr const char* kDeleteQuestion = " %d 名のメールフレンドを削除しますか？";
inline constexpr const char* kDropUnreadable = "ドロップされたデータは開けません";
inline constexpr const char* kDropCharactersReplaced =
    "ドロップされた文章には、メールフレンドデータに保存できない文字が含まれていました。\r\nそれらの文字は「?"
    "」に置き換えて取り込みます。";
inline constexpr const char* kMapBarLabel = "マップ";
inline constexpr const char* kPrintFailed = "メールフレンドの一覧を印刷できませんでした。";
// What Shift+F1 and a click on a pane tell about it.
inline constexpr const char* kMapPaneHelp =
    "マップ: メールフレンドのアイコンをドラッグすると場所を移せます。\nダブルクリックでそのメールフレンドを編集します。";
inline constexpr const char* kMailPaneHelp = "選んだメールフレンドから最後に受け取ったメールの文章です。";
inline constexpr const char* kListPaneHelp =
    "メールフレンドの一覧: ダブルクリックで編集、右ダブルクリックでメールを書きます。\n"
    "受け取ったメールの文章をここにドロップすると取り込みます。";

// Main window: the menus ("\t" is followed by the shortcut shown beside the item).
inline constexpr const char* kMenuFile = "ﾌｧｲﾙ(&F)";
inline constexpr const char* kMenuOpen = "開く(&O)";
inline constexpr const char* kMenuSave = "保存(&B)";
inline constexpr const char* kMenuPalData = "ﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀ(&M)";
inline constexpr const char* kMenuImport = "インポート(&I)";
inline constexpr const char* kMenuImportCsv = "OE CSV形式(&O)";
inline constexpr const char* kMenuExit = "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)";
inline constexpr const char* kMenuView = "表示(&V)";
inline constexpr const char* kMenuMainToolBar = "ﾒｲﾝ ﾂｰﾙ ﾊﾞｰ(&T)";
inline constexpr const char* kMenuMapBar = "ﾏｯﾌﾟ選択ﾂｰﾙﾊﾞｰ(&M)";
inline constexpr const char* kMenuList = "リスト(&L)";
inline constexpr const char* kMenuLargeIcons = "大きいアイコン(&B)";
inline constexpr const char* kMenuSmallIcons = "小さいアイコン(&S)";
inline constexpr const char* kMenuListMode = "一覧(&L)";
inline constexpr const char* kMenuDetails = "詳細(&D)";
inline constexpr const char* kMenuPalsInList = "ﾘｽﾄ内のﾒｰﾙﾌﾚﾝﾄﾞ(&F)";
inline constexpr const char* kMenuShowAll = "すべて表示(&A)";
inline constexpr const char* kMenuMapMembers = "ﾏｯﾌﾟに所属する人(&M)";
inline constexpr const char* kMenuPalsOnMap = "ﾏｯﾌﾟ内のﾒｰﾙﾌﾚﾝﾄﾞ(&M)";
inline constexpr const char* kMenuSelectedInList = "ﾘｽﾄで選択している人(&S)";
inline constexpr const char* kMenuTools = "ﾂｰﾙ(&T)";
inline constexpr const char* kMenuAdd = "追加(&A)";
inline constexpr const char* kMenuPal = "ﾒｰﾙﾌﾚﾝﾄﾞ(&F)";
inline constexpr const char* kMenuMailText = "ﾒｰﾙの文章(&T)";
inline constexpr const char* kMenuEdit = "編集(&E)";
inline constexpr const char* kMenuDelete = "削除(&D)";
inline constexpr const char* kMenuSendMail = "ﾒｰﾙの送信(&M)";
inline constexpr const char* kMenuAnalysis = "分析(&N)";
inline constexpr const char* kMenuHelp = "ﾍﾙﾌﾟ(&H)";
inline constexpr const char* kMenuHelpItem = "ﾍﾙﾌﾟ(&H)";
inline constexpr const char* kMenuAbout = "YBF のﾊﾞｰｼﾞｮﾝ情報(&A)...";
// The list's context menu "LMENU".
inline constexpr const char* kLmenuAdd = "追加(&F)";
inline constexpr const char* kLmenuDelete = "削除(&D)";
inline constexpr const char* kLmenuEdit = "編集(&E)";
inline constexpr const char* kLmenuEditOne = "一人(&O)";
inline constexpr const char* kLmenuEditSeveral = "複数(&S)";
inline constexpr const char* kLmenuAddMailText = "ﾒｰﾙの文章を追加(&T)";
inline constexpr const char* kLmenuSendMail = "ﾒｰﾙを送信(&S)";
inline constexpr const char* kLmenuAnalysis = "分析(&N)";

// Main window: each command's prompt, then after the line break its toolbar tooltip.
inline constexpr const char* kCmdFileOpen = "ﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀﾌｧｲﾙを開く\nﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀﾌｧｲﾙを開く";
inline constexpr const char* kCmdFileSaveAs = "作業中のﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀを保存\nﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀを保存";
inline constexpr const char* kCmdImportCsv =
    "OutlookExpressが出力したCSV形式のｱﾄﾞﾚｽ帳からｲﾝﾎﾟｰﾄ\nOutlookExpressが出力したCSV形式のｱﾄﾞﾚｽ帳からｲﾝﾎﾟｰﾄ";
inline constexpr const char* kCmdAppExit = "ｱﾌﾟﾘｹｰｼｮﾝを終了\n終了";
inline constexpr const char* kCmdMapBar = "表示ﾏｯﾌﾟ選択ﾂｰﾙ ﾊﾞｰの 表示/非表示\n表示ﾏｯﾌﾟ選択ﾂｰﾙ ﾊﾞｰの表示切り替え";
inline constexpr const char* kCmdLargeIcons = "リストを大きいアイコンで表示\nリストを大きいアイコンで表示";
inline constexpr const char* kCmdSmallIcons = "リストを小さいアイコンで表示\nリストを小さいアイコンで表示";
inline constexpr const char* kCmdListMode = "リストを一覧形式で表示\nリストを一覧形式で表示";
inline constexpr const char* kCmdDetails = "リストを詳細形式で表示\nリストを詳細形式で表示";
inline constexpr const char* kCmdListAll = "リストにすべてのﾒｰﾙﾌﾚﾝﾄﾞを表示\nリストにすべてのﾒｰﾙﾌﾚﾝﾄﾞを表示";
inline constexpr const char* kCmdListMapOnly =
    "リストに表示ﾏｯﾌﾟに所属するﾒｰﾙﾌﾚﾝﾄﾞのみ表示\nリストに表示ﾏｯﾌﾟに所属するﾒｰﾙﾌﾚﾝﾄﾞのみ表示";
inline constexpr const char* kCmdMapAll =
    "マップにすべてのﾒｰﾙﾌﾚﾝﾄﾞの顔アイコンを表示\nマップにすべてのﾒｰﾙﾌﾚﾝﾄﾞの顔アイコンを表示";
inline constexpr const char* kCmdMapSelected =
    "マップにリストで選択しているﾒｰﾙﾌﾚﾝﾄﾞの顔アイコンを表示\nマップにリストで選択しているﾒｰﾙﾌﾚﾝﾄﾞの顔アイコンを表示";
inline constexpr const char* kCmdAddPal = "ﾒｰﾙﾌﾚﾝﾄﾞを手動で追加\nﾒｰﾙﾌﾚﾝﾄﾞを手動で追加";
inline constexpr const char* kCmdAddMailText = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ内のﾒｰﾙの文章を追加\nｸﾘｯﾌﾟﾎﾞｰﾄﾞ内のﾒｰﾙの文章を追加";
inline constexpr const char* kCmdEditPal = "選択中のﾒｰﾙﾌﾚﾝﾄﾞ一人を編集\n選択中のﾒｰﾙﾌﾚﾝﾄﾞ一人を編集";
inline constexpr const char* kCmdDeletePals = "選択中のﾒｰﾙﾌﾚﾝﾄﾞを削除\n選択中のﾒｰﾙﾌﾚﾝﾄﾞを削除";
inline constexpr const char* kCmdSendMail = "選択中のﾒｰﾙﾌﾚﾝﾄﾞにﾒｰﾙを送信\n選択中のﾒｰﾙﾌﾚﾝﾄﾞにﾒｰﾙを送信";
inline constexpr const char* kCmdAnalysis = "ﾒｰﾙﾌﾚﾝﾄﾞの分析\nﾒｰﾙﾌﾚﾝﾄﾞの分析";
inline constexpr const char* kCmdEditPals = "選択中のﾒｰﾙﾌﾚﾝﾄﾞ全てを編集\n選択中のﾒｰﾙﾌﾚﾝﾄﾞ全てを編集";
inline constexpr const char* kCmdHelp = "ﾍﾙﾌﾟを表示\nﾍﾙﾌﾟ";
inline constexpr const char* kCmdAbout = "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示\nﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kCmdMainToolBar = "ﾂｰﾙ ﾊﾞｰの 表示/非表示\nﾂｰﾙ ﾊﾞｰの表示切り替え";

// Main window: the about box and the file dialogs.
inline constexpr const char* kAboutTitle = "Yubinoのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kAboutVersion = "Yubino Version 2.00";
inline constexpr const char* kFileFilter = "Yubino ファイル(*.ybf)";
inline constexpr const char* kFileExtension = "ybf";

// Main window: saving and closing.
inline constexpr const char* kSaveOnCloseFailed =
    "メールフレンドデータをファイル\" %s "
    "\"に保存できなかったため、このままでは今回の変更が失われます。\r\n別の場所に保存しますか？";
inline constexpr const char* kNoFileOnClose =
    "メールフレンドデータを保存するファイルが決まっていません。\r\n別の場所に保存しますか？";
inline constexpr const char* kCloseWithoutSaving =
    "保存せずに終了すると、今回の変更は失われます。\r\n保存せずに終了しますか？\r\n（「いいえ」を選ぶと、終了せずにその"
    "まま開いておきます）";
inline constexpr const char* kSettingsNotWritten =
    "設定ファイル\" %s "
    "\"に書き込めませんでした。\r\n次回の起動時には、今回のメールフレンドデータのファイルが開かれません。";
// Pal dialogs: the pal information dialog, the face icon chooser, the mail text and
// choose-pal dialogs.
inline constexpr const char* kPalInfoTitle = "\"%s\"さんの詳細情報";
inline constexpr const char* kPalInfoNewSuffix = "（新規追加）";
inline constexpr const char* kPalInfoSeveralTitle = "複数のメールフレンドを編集";
inline constexpr const char* kTabNames = "名前";
inline constexpr const char* kTabAddress = "住所";
inline constexpr const char* kTabInformation = "情報";
inline constexpr const char* kTabDates = "日付";
inline constexpr const char* kTabLastMail = "最後の受信ﾒｰﾙ";
inline constexpr const char* kLabelHandleName = "ﾊﾝﾄﾞﾙﾈｰﾑ";
inline constexpr const char* kLabelName = "名前";
inline constexpr const char* kLabelMailAddress = "メールアドレス";
inline constexpr const char* kLabelMailAddress2 = "メールアドレス2";
inline constexpr const char* kLabelMobileAddress = "携帯メールアドレス";
inline constexpr const char* kLabelSex = "性別";
inline constexpr const char* kLabelAge = "年齢";
inline constexpr const char* kLabelResidence = "居住地";
inline constexpr const char* kLabelBirthplace = "出身地";
inline constexpr const char* kLabelMap = "所属マップ";
inline constexpr const char* kLabelHobby = "趣味";
inline constexpr const char* kLabelJob = "職業";
inline constexpr const char* kLabelBloodType = "血液型";
inline constexpr const char* kLabelTel1 = "TEL1";
inline constexpr const char* kLabelTel2 = "TEL2";
inline constexpr const char* kLabelHomePage = "ホームページ";
inline constexpr const char* kLabelBirthday = "誕生日";
inline constexpr const char* kLabelFirstMail = "最初のメール受信日";
inline constexpr const char* kLabelLastMail = "最後のメール受信日";
inline constexpr const char* kGroupPicture = "画像";
inline constexpr const char* kRadioIcon = "アイコン";
inline constexpr const char* kRadioPictureFile = "画像ファイル";
inline constexpr const char* kButtonChange = "変更...";
inline constexpr const char* kLabelMemo = "メモ";
inline constexpr const char* kButtonGo = "GO";
inline constexpr const char* kButtonSaveAndClose = "保存して閉じる";
inline constexpr const char* kButtonCancel = "ｷｬﾝｾﾙ";
inline constexpr const char* kSexChoices[] = {"男", "女", "？"};
inline constexpr const char* kJobChoices[] = {"？",   "会社員", "自営業", "ＯＬ",      "技術職",
                                              "教員", "主婦",   "学生",   "フリーター"};
inline constexpr const char* kBloodTypeChoices[] = {"Ａ", "Ｂ", "Ｏ", "ＡＢ", "？"};
inline constexpr const char* kEnterHandleName = "ハンドルネームを入力してください";
inline constexpr const char* kEnterMailAddress = "メールアドレスを入力してください";
inline constexpr const char* kAddressUsedByOther =
    "メールアドレス\" %s \"は他のメールフレンドが使用しています\r\n別のメールアドレスを入力してください";
inline constexpr const char* kCharactersNotStorable =
    "保存できない文字が含まれています：%s\r\n別の文字に置き換えてください";
inline constexpr const char* kNotWebAddress =
    "ホームページには http:// または https:// で始まるアドレスを入力してください";
inline constexpr const char* kPictureLoadFailed = "画像ファイルの読み込みに失敗しました";
inline constexpr const char* kPictureFileFilter = "画像ファイル (*.jpg *.gif *.bmp);;すべてのﾌｧｲﾙ (*)";
inline constexpr const char* kFaceIconTitle = "顔アイコンを選択してください";
inline constexpr const char* kFaceIconProvidedBy = "提供";
inline constexpr const char* kButtonOk = "OK";
inline constexpr const char* kBrowserFailed = "ブラウザの起動に失敗しました";
// The page the face icon banner opens: where the icon styles come from.
inline constexpr const char* kFaceIconProviderUrl = "https://www.dicebear.com/";
inline constexpr const char* kMailTextTitle = "更新するﾒｰﾙの文章,受信日を編集してください";
inline constexpr const char* kLabelMailText = "メールの文章";
inline constexpr const char* kLabelReceived = "受信日";
inline constexpr const char* kButtonDoNotAdd = "追加しない";
inline constexpr const char* kChoosePalTitle = "ﾒｰﾙを更新するﾒｰﾙﾌﾚﾝﾄﾞを選択してください";
inline constexpr const char* kButtonAddNewPal = "新しいﾒｰﾙﾌﾚﾝﾄﾞを追加...";
inline constexpr const char* kColumnHandleName = "ﾊﾝﾄﾞﾙﾈｰﾑ";
inline constexpr const char* kColumnName = "名前";
inline constexpr const char* kColumnMailAddress = "ﾒｰﾙｱﾄﾞﾚｽ";

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
inline constexpr const char* kColumnSex = "性別";
inline constexpr const char* kColumnAge = "年齢";
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
inline constexpr const char* kCsvNameField = "表示名";
inline constexpr const char* kCsvAddressField = "電子メール アドレス";
inline constexpr const char* kCsvWrongFormat = "CSV ファイルをインポートできませんでした\n異なる形式のファイルです";
inline constexpr const char* kCsvFileFilter = "OutlookExpress 形式CSVアドレス帳 (*.csv)|*.csv|すべてのﾌｧｲﾙ|*.*|";
inline constexpr const char* kCsvDefaultExtension = "csv";

// Maps: the names of the nine maps in index order.
inline constexpr const char* kMapNames[] = {"北海道", "東北", "関東", "中部", "近畿", "中国", "四国", "九州", "世界"};

// Pal data file.
inline constexpr const char* kPalFileForeign =
    "ファイル\" %s \"はメールフレンドデータのファイルではないので開けません。";
inline constexpr const char* kPalFileUnreadable = "ファイル\" %s \"を読み込めません。";
inline constexpr const char* kPalFileDamaged =
    "ファイル\" %s \"には読み込めなかったデータがあります。\r\n読み込めたメールフレンドだけを表示します。";
// Added to the message above when the file was opened to be written.
inline constexpr const char* kPalFileDamagedBackup =
    "\r\n元のファイルは、上書きする前に名前の後ろに\".bak\"を付けて同じ場所に残します。";
inline constexpr const char* kPalFileNotSaved = "メールフレンドデータをファイル\" %s \"に保存できませんでした。";
inline constexpr const char* kPalFileInUse =
    "ファイル\" %s \"は他の Yubino で使用中です。\r\n読み取り専用で開きます。"
    "変更を残すには、別の名前で保存してください。";
inline constexpr const char* kPalFileInUseNotSaved = "ファイル\" %s \"は他の Yubino で使用中なので保存できません。";

// The mailbox check: one message per failure, naming the account. These stay UTF-8 (filled
// in with folder names and the server's words), shown and printed as they are.
inline constexpr const char* kCheckConnect = "メールアカウント %s: サーバーに接続できませんでした (%s)";
inline constexpr const char* kCheckCertificate =
    "メールアカウント %s: サーバーの証明書を確認できないため接続しませんでした (%s)。\r\n"
    "この証明書を信頼するときは、SHA-256 フィンガープリント %s を確かめてから登録してください。";
inline constexpr const char* kCheckTls = "メールアカウント %s: 暗号化した接続を始められませんでした (%s)";
inline constexpr const char* kCheckPlainRefused =
    "メールアカウント %s: サーバーが暗号化に対応していません。暗号化しない接続は、このコンピューター上のサーバーにだけ使えます";
inline constexpr const char* kCheckPlainUsed = "メールアカウント %s: このコンピューター上のサーバーなので、暗号化せずに接続しました";
inline constexpr const char* kCheckLogin = "メールアカウント %s: ユーザー名またはパスワードが違います (%s)";
inline constexpr const char* kCheckNoFolder = "メールアカウント %s: フォルダー\" %s \"がサーバーにありません";
inline constexpr const char* kCheckTimedOut = "メールアカウント %s: サーバーから応答がありません";
inline constexpr const char* kCheckCancelled = "メールアカウント %s: メールの確認を中止しました";
inline constexpr const char* kCheckTooLarge =
    "メールアカウント %s: サーバーが大きすぎるデータ (%s バイト) を送ろうとしたため、接続を切りました";
inline constexpr const char* kCheckProtocol = "メールアカウント %s: サーバーとのやり取りに失敗しました (%s)";
inline constexpr const char* kCheckMailTooLarge =
    "メールアカウント %s: フォルダー\" %s \"のメール (UID %s) は大きすぎるため読みませんでした";
inline constexpr const char* kCheckLocalNotYet = "このメールフォルダーはまだ読めません: %s";
// The mailbox check in the window.
inline constexpr const char* kCmdCheckMail = "メールを確認";
inline constexpr const char* kCmdMailAccounts = "メールアカウント...";
inline constexpr const char* kMailAccountsTitle = "メールアカウント";
inline constexpr const char* kCheckRunning = "メールを確認しています: %s (%s/%s)";
inline constexpr const char* kCheckCancel = "中止";
inline constexpr const char* kCheckNewMailFromPals = "%s人から新しいメールが%s通";
inline constexpr const char* kCheckNewMail = "新しいメールが%s通";
inline constexpr const char* kCheckNoNewMail = "新しいメールはありません";
inline constexpr const char* kCheckNoAccounts = "メールアカウントがありません。メールアカウントを登録してください。";
inline constexpr const char* kCheckPasswordTitle = "メールアカウントのパスワード";
inline constexpr const char* kCheckPasswordPrompt = "%s のパスワード:";
inline constexpr const char* kCheckNotKept = "メールアカウント %s: 受け取ったメールを保存できなかったため、確認を中止しました";

}  // namespace texts

// One of the texts above in code page 932.
std::string Cp932Text(std::string_view utf8);
// The text with its first "%s" replaced by `arg` (code page 932 bytes, inserted as they are).
std::string FormatText(std::string_view utf8Template, std::string_view arg);
// The text with its first "%d" replaced by `number`.
std::string FormatText(std::string_view utf8Template, int number);
