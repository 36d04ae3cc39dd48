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
inline constexpr const char* kDeleteOneQuestion = "「%s」を削除しますか？";
inline constexpr const char* kDropUnreadable = "ドロップされたデータは開けません";
inline constexpr const char* kMailCharactersReplaced =
    "取り込む文章には、メールフレンドデータに保存できない文字が含まれていました。\r\nそれらの文字は「?"
    "」に置き換えて取り込みます。";
inline constexpr const char* kMapBarLabel = "マップ";
inline constexpr const char* kPrintFailed = "メールフレンドの一覧を印刷できませんでした。";
// What Shift+F1 and a click on a pane tell about it.
inline constexpr const char* kMapPaneHelp =
    "マップ: "
    "メールフレンドのアイコンをドラッグすると場所を移せます。\nダブルクリックでそのメールフレンドを編集します。";
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
inline constexpr const char* kMenuFileSave = "上書き保存(&S)";
inline constexpr const char* kCmdFileSave = "作業中のﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀを同じﾌｧｲﾙに保存\n上書き保存";
inline constexpr const char* kMenuRecentFiles = "最近使ったﾌｧｲﾙ(&R)";
inline constexpr const char* kCmdRecentFile = "このﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀﾌｧｲﾙを開く";
inline constexpr const char* kMenuPrint = "印刷(&P)...";
inline constexpr const char* kCmdPrint = "ﾒｰﾙﾌﾚﾝﾄﾞの一覧を印刷 (一覧が選ばれているとき)\n印刷";
inline constexpr const char* kMenuPrintPreview = "印刷ﾌﾟﾚﾋﾞｭｰ(&V)";
inline constexpr const char* kCmdPrintPreview = "ﾒｰﾙﾌﾚﾝﾄﾞの一覧の印刷イメージを表示 (一覧が選ばれているとき)\n印刷ﾌﾟﾚﾋﾞｭｰ";
inline constexpr const char* kMenuContextHelp = "これは何?(&W)";
inline constexpr const char* kCmdContextHelp = "次にｸﾘｯｸしたｺﾏﾝﾄﾞや画面の部分の説明を表示\nこれは何?";
// The status bar: all pals, the listed ones, the selected ones.
inline constexpr const char* kStatusCounts = "ﾒｰﾙﾌﾚﾝﾄﾞ %1 人  表示 %2 人  選択 %3 人";

// Placing the selected pals where they live.
inline constexpr const char* kMenuPlaceFromResidence = "住所から地図に配置(&P)";
inline constexpr const char* kCmdPlaceFromResidence = "選択中のﾒｰﾙﾌﾚﾝﾄﾞを居住地の場所に配置\n住所から地図に配置";
inline constexpr const char* kPlaceMoveQuestion =
    " %d 名はすでにマップに配置されています。\r\n居住地の場所へ移しますか？";
inline constexpr const char* kPlaceNobody = "選択中のメールフレンドの居住地からは、場所が分かりませんでした。";

// Main window: the about box and the file dialogs.
// When the module of the later features cannot be opened, before the loader's reason.
inline constexpr const char* kFeaturesNotAvailable =
    "メールの保管、メールの取り込みと確認、分析のグラフを使うための部品 (yubino-features.so) "
    "を読み込めません。Yubino をインストールし直してください。\n";
inline constexpr const char* kAboutTitle = "Yubinoのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kAboutVersion = "Yubino Version 2.00";
inline constexpr const char* kAboutLicence = "ライセンス: MIT License";
inline constexpr const char* kAboutDataFile = "使用中のデータファイル:";
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
inline constexpr const char* kPalInfoNewTitle = "メールフレンドの新規追加";
inline constexpr const char* kPalInfoSeveralTitle = "複数のメールフレンドを編集";
inline constexpr const char* kTabNames = "名前";
inline constexpr const char* kTabAddress = "住所";
inline constexpr const char* kTabInformation = "情報";
inline constexpr const char* kTabDates = "日付";
inline constexpr const char* kTabLastMail = "最後の受信ﾒｰﾙ";
inline constexpr const char* kLabelHandleName = "ﾊﾝﾄﾞﾙﾈｰﾑ";
inline constexpr const char* kLabelName = "名前";
inline constexpr const char* kLabelReading = "ふりがな";
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
    "ホームページには http:// か https:// で始まるアドレス、または www.example.jp のようなアドレスを入力してください";
inline constexpr const char* kPictureLoadFailed = "画像ファイルの読み込みに失敗しました";
inline constexpr const char* kButtonPlaceFromResidence = "住所から配置";
inline constexpr const char* kResidenceNamesNoPlace =
    "居住地から場所が分かりませんでした。\r\n都道府県、市、国などの名前で始まる居住地を入力してください。";
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
// Internet mail: .eml files, mbox files, Maildir folders, and the batch intake.
inline constexpr const char* kNotInternetMail = "メールではありません";
inline constexpr const char* kMailFileNotRegular = "通常のファイルでもフォルダでもありません";
inline constexpr const char* kMailFileUnreadable = "開けません";
inline constexpr const char* kMailFileTooLarge = "メール1通としては大きすぎます";
inline constexpr const char* kMailFileNotMail = "メールのファイルではありません";
inline constexpr const char* kMailboxKeptChanging =
    "メールボックスが読んでいる間に書き換えられ続けたため、読むのをやめました。"
    "メールプログラムを閉じてから、もう一度取り込んでください。";
inline constexpr const char* kMailBodyCut = "［本文が長すぎるため、ここまでを取り込みました］";
inline constexpr const char* kMailboxMessageFailed = "%d通目: ";
inline constexpr const char* kMailBatchSummary = "%d通を取り込みました: %d人を更新、%d通は登録のない送信者";
inline constexpr const char* kMailFilesFailed = "読めなかったもの: %d件";
inline constexpr const char* kMailNothingRead = "メールを読めませんでした";
inline constexpr const char* kMailReading = "メールを読んでいます...";
inline constexpr const char* kMenuImportMailFiles = "メールファイルを取り込む...";
inline constexpr const char* kMenuImportMailFilesItem = "メールファイルを取り込む(&L)...";
inline constexpr const char* kCmdImportMailFiles =
    "メールファイル(.eml、mbox)やMaildirフォルダから受信メールを取り込む\nメールファイルを取り込む";
inline constexpr const char* kMailFileFilter = "メール (*.eml *.mbox *.mbx *.txt);;すべてのﾌｧｲﾙ (*)";
inline constexpr const char* kUnknownSendersTitle = "登録のない送信者";
inline constexpr const char* kUnknownSendersPrompt = "メールフレンドに追加する人にチェックを付けてください";

// Analysis and import.
inline constexpr const char* kAnalysisTitle = "ﾒｰﾙﾌﾚﾝﾄﾞの分析";
inline constexpr const char* kAnalysisTabBasic = "基本ﾃﾞｰﾀ";
inline constexpr const char* kAnalysisTabAll = "総合ﾃﾞｰﾀ";
inline constexpr const char* kAnalysisTabDates = "受信日";
inline constexpr const char* kAnalysisTabTotals = "合計/平均";
inline constexpr const char* kAnalysisTabCharts = "グラフ";
inline constexpr const char* kChartSex = "性別";
inline constexpr const char* kChartAge = "年齢（5歳ごと）";
inline constexpr const char* kChartMaps = "マップ別の人数";
inline constexpr const char* kChartFirstYear = "最初のメールを受け取った年";
inline constexpr const char* kChartNotSet = "未設定";
inline constexpr const char* kChartSavePng = "PNG 形式で保存...";
inline constexpr const char* kChartSaveSvg = "SVG 形式で保存...";
inline constexpr const char* kChartSave = "保存...";
inline constexpr const char* kChartSaveFilters = "PNG 画像 (*.png);;SVG 画像 (*.svg);;JPEG 画像 (*.jpg *.jpeg)";
inline constexpr const char* kChartSaveFailed = "グラフをファイル\" %s \"に保存できませんでした。";
inline constexpr const char* kAnalysisTabDaysToRemember = "記念日";
inline constexpr const char* kRememberColumnWhen = "日付";
inline constexpr const char* kRememberColumnWhat = "内容";
inline constexpr const char* kBirthdayFormat = "誕生日（%d 才）";
inline constexpr const char* kFirstMailAnniversaryFormat = "最初のメールから %d 年";
inline constexpr const char* kToday = "（今日）";
inline constexpr const char* kDaysAheadFormat = "（あと %d 日）";
inline constexpr const char* kHonorific = "さんの";
inline constexpr const char* kRememberNotificationTitle = "Yubino: 近づいている記念日";
// The charts of the mail archive.
inline constexpr const char* kChartMonths = "月ごとのメール（過去2年）";
inline constexpr const char* kChartReplyTimes = "返事までの日数（過去2年）";
inline constexpr const char* kReplyBands[] = {"当日", "1～2日", "3～7日", "1～2週間", "2～4週間", "4週間より後"};
inline constexpr const char* kChartsWithoutArchive =
    "メールの保管ファイルがまだないため、月ごとのメールと返事までの日数のグラフはありません。\n"
    "メールを取り込むと、保管ファイルが作られます。";
inline constexpr const char* kChartNeedsArchive =
    "このグラフには、送受信したメールの記録（メールの保管ファイル\" %s \"）が必要です。";
inline constexpr const char* kChartArchiveUnreadable = "メールの保管ファイル\" %s \"を読めません。";
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
inline constexpr const char* kImportDroppedItem = "%d 行目 (%s): 入る欄がありません: ";
inline constexpr const char* kImportDroppedTitle = "次の項目はメールフレンドの欄に入りませんでした:";
inline constexpr const char* kMergeChoiceTitle = "登録済みのメールフレンドとの違い";
inline constexpr const char* kMergeChoiceIntro =
    "「%s」は登録済みです。ファイルの値を使う欄にチェックを付けてください。";
inline constexpr const char* kMergeChoiceField = "欄";
inline constexpr const char* kMergeChoiceOurs = "登録済みの値";
inline constexpr const char* kMergeChoiceTheirs = "ファイルの値";
inline constexpr const char* kCsvUseAddressBookImport =
    "このファイルはアドレス帳の CSV です。ファイル、インポート、「vCard・CSV...」で読み込めます";
inline constexpr const char* kCsvFileFilter = "OutlookExpress 形式CSVアドレス帳 (*.csv)|*.csv|すべてのﾌｧｲﾙ|*.*|";
inline constexpr const char* kCsvDefaultExtension = "csv";
inline constexpr const char* kCsvUnreadable = "アドレス帳のファイル\" %s \"を読み込めません。";

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
inline constexpr const char* kPalFileBusy =
    "ファイル\" %s \"は他の Yubino で使用中です。\r\n何も変更していません。しばらくしてからもう一度実行してください。";
inline constexpr const char* kPalFileReadOnlyNotSaved =
    "ファイル\" %s \"は読み取り専用で開いているので、上書き保存しません。\r\n変更を残すには、別の名前で保存してください。";
inline constexpr const char* kBackupFailed = "元のファイルを\".bak\"として残せませんでした";
inline constexpr const char* kReadOnlySaveAs =
    "このウィンドウのメールフレンドデータは読み取り専用です。\r\n今回の変更を別の名前で保存しますか？";
inline constexpr const char* kReadOnlyChangesLost =
    "今回の変更は保存されずに失われます。\r\nよろしいですか？\r\n（「いいえ」を選ぶと、そのまま開いておきます）";
inline constexpr const char* kReadOnlyCaptionMark = " [読み取り専用]";
inline constexpr const char* kImportTableFull =
    "メールフレンドは 500 人までしか登録できないため、残りの %d 件は取り込みませんでした。";

// The hand-off to the desktop's opener.
inline constexpr const char* kHandOffFailed =
    "\" %s \"を開くプログラムを起動できませんでした。\r\nxdg-open (xdg-utils) が入っているか確認してください。";

// Files: why one could not be read or written.
inline constexpr const char* kFileMissing = "ファイルがありません";
inline constexpr const char* kFileNotRegular = "通常のファイルではありません（フォルダ、FIFO、デバイスなど）";
inline constexpr const char* kFileTooLarge = "ファイルが大きすぎます（上限 %s）";
inline constexpr const char* kFileNoPermission = "読み込む権限がありません";
inline constexpr const char* kFileLinkLoop = "シンボリックリンクが循環しています";
inline constexpr const char* kWriteDiskFull = "ディスクがいっぱいです";
inline constexpr const char* kWriteNoPermission = "書き込む権限がありません";
inline constexpr const char* kWriteReadOnlyFileSystem = "読み取り専用のファイルシステムです";
inline constexpr const char* kWriteFolderGone = "保存先のフォルダがありません";

// Undo and redo: the names of the steps (one pal by handle name, several by number), the
// Edit menu and its commands.
struct StepNameTexts {
    const char* one;   // "%s": the handle name
    const char* many;  // "%d": the number of pals
};
inline constexpr StepNameTexts kStepAdd{"「%s」を追加", "%d人を追加"};
inline constexpr StepNameTexts kStepEdit{"「%s」を編集", "%d人を編集"};
inline constexpr StepNameTexts kStepDelete{"「%s」を削除", "%d人を削除"};
inline constexpr StepNameTexts kStepMoveOnMap{"「%s」をマップで移動", "%d人をマップで移動"};
inline constexpr StepNameTexts kStepTakeInMail{"「%s」のメールを取り込み", "%d人のメールを取り込み"};
inline constexpr StepNameTexts kStepImport{"「%s」をインポート", "%d人をインポート"};
inline constexpr const char* kStepSort = "「%s」で並べ替え";
inline constexpr const char* kStepRestore = "バックアップから復元";
inline constexpr const char* kMenuUndo = "元に戻す(&U)";
inline constexpr const char* kMenuRedo = "やり直し(&R)";
inline constexpr const char* kUndoWithName = "元に戻す(&U): %s";
inline constexpr const char* kRedoWithName = "やり直し(&R): %s";
inline constexpr const char* kCmdUndo = "直前の変更を元に戻す\n元に戻す";
inline constexpr const char* kCmdRedo = "元に戻した変更をやり直す\nやり直し";

// Crash recovery and backups.
inline constexpr const char* kRecoveryQuestion = "前回の変更が保存されていません。復元しますか？";
inline constexpr const char* kRecoveryDamaged =
    "前回の変更を記録した復元用のファイル\" %s \"は壊れているため読み込みません。\r\n"
    "そのファイルはバックアップとして残します。";
inline constexpr const char* kBackupsOff =
    "バックアップ用のフォルダ\" %s \"を作成できないため、保存前のバックアップを取りません。\r\n"
    "保存はこれまでどおり行います。";
inline constexpr const char* kBackupNotWritten =
    "保存前のバックアップをフォルダ\" %s \"に書き込めませんでした。\r\n"
    "保存は行いますが、今回の保存の前の内容はバックアップに残りません。";
inline constexpr const char* kBackupsForeignFiles =
    "バックアップ用のフォルダ\" %s \"に Yubino が書いたものではないファイルがあります。"
    "そのままにして、バックアップとしては扱いません。";
inline constexpr const char* kRecoveryForeign =
    "復元用のフォルダにある\" %s \"は Yubino が書いた復元用のファイルではないため、読み込まずにそのままにします。";
inline constexpr const char* kRestoreOtherFile =
    "このバックアップは別のデータファイル\" %s \"のものです。\r\n"
    "今のメールフレンドをこのバックアップの内容で置き換えますか？";
inline constexpr const char* kMenuRestoreBackup = "バックアップから復元(&K)...";
inline constexpr const char* kCmdRestoreBackup = "以前に保存したメールフレンドデータに戻す\nバックアップから復元";
inline constexpr const char* kRestoreTitle = "バックアップから復元";
inline constexpr const char* kRestoreColumnSaved = "保存日時";
inline constexpr const char* kRestoreColumnPals = "人数";
inline constexpr const char* kRestoreColumnSize = "サイズ";
inline constexpr const char* kRestoreButton = "復元";
inline constexpr const char* kRestoreNoBackups = "このファイルのバックアップはまだありません。";
inline constexpr const char* kRestoreSame = "今の一覧と同じ内容です。";
inline constexpr const char* kRestoreAdded = "戻すと増える人: %d人";
inline constexpr const char* kRestoreRemoved = "戻すと消える人: %d人";
inline constexpr const char* kRestoreChanged = "戻すと内容が変わる人: %d人";
inline constexpr const char* kRestoreGone = "バックアップ\" %s \"は見つからないか壊れているため、復元できません。";

// Address book interchange: the header of the CSV export (one label per pal field, in the
// record's order) and what reading an address book could not take.
inline constexpr const char* kPalFieldLabels[] = {
    "ﾊﾝﾄﾞﾙﾈｰﾑ",           "名前",    "性別",    "年齢",         "メールアドレス", "職業",
    "ホームページ",       "居住地",  "出身地",  "血液型",       "誕生日",         "最初のメール受信日",
    "最後のメール受信日", "TEL1",    "TEL2",    "趣味",         "所属マップ",     "最後のメール",
    "顔アイコン",         "マップX", "マップY", "写真ファイル", "写真を使う",     "メールアドレス2",
    "携帯メールアドレス", "メモ"};
inline constexpr const char* kProblemCardNotEnded = "%d 行目: END:VCARD のないカードは読み込みませんでした";
inline constexpr const char* kProblemLineTooLong = "%d 行目: 長すぎる行は読み込みませんでした";
inline constexpr const char* kProblemPhotoTooLarge = "%d 行目: 大きすぎる写真は読み込みませんでした";
inline constexpr const char* kProblemBadBase64 = "%d 行目: 壊れた base64 のデータは読み込みませんでした";
inline constexpr const char* kProblemNulBytes = "%d 行目: NUL 文字を取り除きました";
inline constexpr const char* kProblemQuoteNotClosed = "%d 行目: 閉じられていない引用符から後は読み込みませんでした";
inline constexpr const char* kProblemFieldTooLong = "%d 行目: 長すぎる項目のある行は読み込みませんでした";
inline constexpr const char* kProblemsMore = "ほかに %d 件";
inline constexpr const char* kCsvColumnsTitle = "CSV ファイルの列の割り当て";
inline constexpr const char* kCsvColumnsPrompt = "それぞれの列に、メールフレンドのどの項目を読み込むか選んでください。";
inline constexpr const char* kCsvColumnsHeader = "列の名前";
inline constexpr const char* kCsvColumnsSample = "最初の行の値";
inline constexpr const char* kCsvColumnsField = "読み込む項目";
inline constexpr const char* kCsvColumnsIgnore = "（読み込まない）";
inline constexpr const char* kCsvColumnsNeedAddress = "メールアドレスを読み込む列を選んでください。";
inline constexpr const char* kAddressBookUnreadable = "アドレス帳のファイル\" %s \"を開けません。";
inline constexpr const char* kAddressBookTooLarge = "アドレス帳のファイル\" %s \"は大きすぎるので開けません。";
inline constexpr const char* kAddressBookNotOne = "ファイル\" %s \"はアドレス帳（vCard または CSV）ではありません。";
inline constexpr const char* kCsvColumnsFound = "見つかった列: %s";
inline constexpr const char* kAddressBookNoPals = "アドレス帳から追加できるメールフレンドが見つかりませんでした。";
inline constexpr const char* kAddressBookFilter =
    "アドレス帳 (*.vcf;*.vcard;*.csv)|*.vcf;*.vcard;*.csv|vCard (*.vcf)|*.vcf|CSV (*.csv)|*.csv|すべてのﾌｧｲﾙ|*.*|";
inline constexpr const char* kExportVCardFilter = "vCard (*.vcf)|*.vcf|";
inline constexpr const char* kExportCsvFilter = "CSV (*.csv)|*.csv|";
inline constexpr const char* kExportGuardFormulas = "数式とみなされる値の先頭に ' を付ける(&F)";
inline constexpr const char* kExportFailed = "ファイル\" %s \"に書き出せませんでした。";
inline constexpr const char* kMenuImportAddressBook = "vCard・CSV(&V)...";
inline constexpr const char* kCmdImportAddressBook =
    "vCard や CSV のアドレス帳からメールフレンドを追加\nアドレス帳からインポート";
inline constexpr const char* kMenuExport = "エクスポート(&E)";
inline constexpr const char* kMenuExportVCard = "vCard(&V)...";
inline constexpr const char* kCmdExportVCard =
    "選択中のメールフレンド（選択がなければ全員）を vCard で書き出す\nvCard で書き出す";
inline constexpr const char* kMenuExportCsvUtf8 = "CSV UTF-8(&U)...";
inline constexpr const char* kCmdExportCsvUtf8 =
    "選択中のメールフレンド（選択がなければ全員）を CSV (UTF-8) で書き出す\nCSV (UTF-8) で書き出す";
inline constexpr const char* kMenuExportCsvCp932 = "CSV Shift_JIS(&S)...";
inline constexpr const char* kCmdExportCsvCp932 =
    "選択中のメールフレンド（選択がなければ全員）を CSV (Shift_JIS) で書き出す\nCSV (Shift_JIS) で書き出す";
inline constexpr const char* kCsvColumnsUnknown =
    "CSV ファイルの列の意味がわかりません。\r\nYubino の画面からインポートして、列を割り当ててください。";


// The correspondence archive.
inline constexpr const char* kDeleteMailsToo =
    "削除するメールフレンドとやり取りしたメールも削除しますか？\r\n"
    "「いいえ」ではメールを残し、同じメールアドレスで登録し直すと元に戻ります。";
inline constexpr const char* kArchiveRebuilt =
    "メールの保管ファイルが壊れていたので、\" %s \"として残し、新しく作り直しました。";
inline constexpr const char* kArchiveNewer =
    "メールの保管ファイルは新しいバージョンの Yubino で作られています。\r\n読み取り専用で開きます。";
inline constexpr const char* kArchiveUnavailable =
    "メールの保管ファイル\" %s \"を開けません。\r\nメールの履歴は保管されません。";
inline constexpr const char* kArchiveUpgrading = "メールの保管ファイルを新しい形式に更新しています...";
inline constexpr const char* kArchiveNotStored = "メールを保管ファイルに保存できませんでした。\r\n(%s)";
inline constexpr const char* kArchiveNotRead = "メールの保管ファイルを読めませんでした。\r\n(%s)";
inline constexpr const char* kArchiveSettingDamaged =
    "メールの保管ファイルに記録された「ご無沙汰とみなす日数」が壊れています。\r\n"
    "代わりに既定の日数を使います。日数を設定し直すと直ります。";
// The correspondence pane, the reply queue, the search field and the archive's settings.
inline constexpr const char* kMailReceived = "受信";
inline constexpr const char* kMailSent = "送信";
// The conversation with the selected pal.
inline constexpr const char* kConversationHelp =
    "選んだメールフレンドとやり取りしたメールです。スクロールすると前のメールを読み込みます。";
inline constexpr const char* kConversationChoosePal = "メールフレンドを一人選ぶと、メールのやり取りが表示されます";
inline constexpr const char* kConversationNoMail = "%1さんとのメールはまだありません";
inline constexpr const char* kConversationFrom = "差出人";
inline constexpr const char* kConversationTo = "宛先";
inline constexpr const char* kConversationCc = "Cc";
inline constexpr const char* kConversationDate = "日付";
inline constexpr const char* kConversationSubject = "件名";
inline constexpr const char* kConversationAttachments = "添付";
inline constexpr const char* kConversationAttachmentCount = "%s個 (保存していません)";
inline constexpr const char* kConversationNoSubject = "(件名なし)";
inline constexpr const char* kConversationYou = "自分";
inline constexpr const char* kConversationAnsweredNote =
    "返事を書いたことだけを記録したもので、メールの文章はありません。";
inline constexpr const char* kConversationNoText = "(本文なし)";
inline constexpr const char* kConversationWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
inline constexpr const char* kConversationNewestOnTop = "新しいメールを上に(&N)";
inline constexpr const char* kConversationNewestOnTopTip =
    "新しいメールを上に並べます。切ると新しいメールが下に並びます";
inline constexpr const char* kConversationWriteReply = "返事を書く";
inline constexpr const char* kConversationAnswered = "返事を書いた";
inline constexpr const char* kQueuePaneTitle = "返事の一覧";
inline constexpr const char* kQueueWaiting = "返事待ち";
inline constexpr const char* kQueueQuiet = "ご無沙汰";
inline constexpr const char* kQueueColumns[] = {"ﾊﾝﾄﾞﾙﾈｰﾑ", "ﾒｰﾙｱﾄﾞﾚｽ", "日付", "日数"};
inline constexpr const char* kQueueCounts = "返事待ち %1 人、ご無沙汰 %2 人";
inline constexpr const char* kMenuReplyQueue = "返事の一覧(&Q)";
inline constexpr const char* kCmdReplyQueue = "返事待ちとご無沙汰のメールフレンドを表示します\n返事の一覧";
inline constexpr const char* kMenuMarkAnswered = "返事を書いた(&R)";
inline constexpr const char* kCmdMarkAnswered = "選んだメールフレンドに今日返事を書いたことにします\n返事を書いた";
inline constexpr const char* kMenuArchiveSettings = "メールの保管の設定(&S)...";
inline constexpr const char* kCmdArchiveSettings = "自分のメールアドレスとご無沙汰までの日数を設定します\nメールの保管の設定";
inline constexpr const char* kArchiveSettingsTitle = "メールの保管の設定";
inline constexpr const char* kOwnAddressesLabel = "自分のメールアドレス (1 行に 1 つ)";
inline constexpr const char* kQuietDaysLabel = "ご無沙汰とみなす日数";
inline constexpr const char* kSearchPlaceholder = "検索 (Ctrl+F)";
// The mail search results pane.
inline constexpr const char* kSearchPaneTitle = "メールの検索結果";
inline constexpr const char* kSearchColumns[] = {"日時", "相手", "", "件名", "一致した箇所"};
inline constexpr const char* kSearchPalLabel = "相手(&A):";
inline constexpr const char* kSearchAllPals = "すべての相手";
inline constexpr const char* kSearchDirectionLabel = "向き(&D):";
inline constexpr const char* kSearchDirections[] = {"受信と送信", "受信", "送信"};
inline constexpr const char* kSearchPeriod = "期間(&T):";
inline constexpr const char* kSearchPeriodTo = "～";
inline constexpr const char* kSearchFound = "%1 通";
inline constexpr const char* kSearchFoundMore = "新しい順に %1 通 (ほかにもあります)";
inline constexpr const char* kSearchMore = "さらに表示(&M)";
inline constexpr const char* kSearchNoMail = "一致するメールはありません";
inline constexpr const char* kSearchFailed = "メールの保管ファイルを検索できません";
inline constexpr const char* kSearchChooseResult = "検索結果からメールを選んでください";
inline constexpr const char* kSearchNextHit = "次の一致(&N)";
inline constexpr const char* kSearchNextHitTip = "次に一致した箇所へ (F3)";
inline constexpr const char* kSearchPreviousHit = "前の一致(&P)";
inline constexpr const char* kSearchPreviousHitTip = "前に一致した箇所へ (Shift+F3)";
inline constexpr const char* kSearchHitPosition = "一致した箇所 %1 / %2";
inline constexpr const char* kSearchMailViewName = "選んだメール";
inline constexpr const char* kSearchHeaderDate = "日時: ";
inline constexpr const char* kSearchHeaderPal = "相手: ";
inline constexpr const char* kSearchHeaderSubject = "件名: ";
inline constexpr const char* kArchiveNotAvailable = "メールの保管ファイルを使えないため、設定を保存できません。";
inline constexpr const char* kMenuPalQuietDays = "ご無沙汰とみなす日数(&D)...";
inline constexpr const char* kPalQuietDaysOwn = "このメールフレンドだけの日数にする";
inline constexpr const char* kPalQuietDaysForAll = "全体の設定に従う (%d 日)";
inline constexpr const char* kNoPalWithAddress = "このメールアドレスのメールフレンドはいません: %s";
// Acting from the reply queue.
inline constexpr const char* kMenuWriteReply = "返事を書く(&W)";
inline constexpr const char* kCmdWriteReply =
    "選んだメールフレンドへの返事をメールソフトで書きます\n返事を書く (Ctrl+R)";
inline constexpr const char* kMenuSnooze = "あとで(&L)";
inline constexpr const char* kMenuSnoozeDays[] = {"3 日後に(&3)", "1 週間後に(&7)", "30 日後に(&M)"};
inline constexpr int kSnoozeDays[] = {3, 7, 30};
inline constexpr const char* kQueueLater = "%1（あとで: %2 まで）";
inline constexpr const char* kStepMarkAnswered = "返事を書いた (%1)";
inline constexpr const char* kStepSnooze = "あとで (%1)";
inline constexpr const char* kPalCount = "%1 人";
inline constexpr const char* kGreetingsLabel = "時候の挨拶 (返事の書き出し)";
inline constexpr const char* kGreetingMonth = "%1 月";

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
inline constexpr const char* kCheckNotImap = "メールアカウント %s: 接続先は IMAP サーバーではないようです (%s)";
inline constexpr const char* kCheckClosedAtLogin =
    "メールアカウント %s: ログインの途中でサーバーが接続を切りました (%s)";
inline constexpr const char* kCheckClosed =
    "メールアカウント %s: サーバーとの接続が途中で切れました。次の確認で続きから取り込みます。";
inline constexpr const char* kCheckTooLong = "メールアカウント %s: サーバーの応答が長すぎるため、接続を切りました";
inline constexpr const char* kCheckTooSlow =
    "メールアカウント %s: サーバーの応答が遅すぎるため、確認を打ち切りました。次の確認で続きから取り込みます。";
inline constexpr const char* kCheckOldTls =
    "メールアカウント %s: サーバーが TLS 1.2 より古い暗号化にしか対応していないため、接続しませんでした";
inline constexpr const char* kCheckMailNotSent =
    "メールアカウント %s: フォルダー\" %s \"のメール (UID %s) "
    "をサーバーが送ってこなかったため、次の確認でもう一度読みます";
inline constexpr const char* kCheckUnreadableAnswer = "読めない応答: ";
inline constexpr const char* kCheckLocalUnreadable = "メールアカウント %s: %s を読めませんでした (%s)";
// The mailbox check in the window.
inline constexpr const char* kCmdCheckMail = "メールを確認(&C)";
inline constexpr const char* kCmdMailAccounts = "メールアカウント(&O)...";
inline constexpr const char* kCheckMailTip = "メールボックスからメールフレンドとのメールを取り込みます";
inline constexpr const char* kMailAccountsTip = "確認するメールボックスとアカウントを設定します";
inline constexpr const char* kMailAccountsTitle = "メールアカウント";
inline constexpr const char* kCheckRunning = "メールを確認しています: %s (%s/%s)";
inline constexpr const char* kCheckCancel = "中止";
inline constexpr const char* kCheckNewMailFromPals = "%s人から新しいメールが%s通";
inline constexpr const char* kCheckNewMail = "新しいメールが%s通";
inline constexpr const char* kCheckNoNewMail = "新しいメールはありません";
inline constexpr const char* kCheckFailed = "メールを確認できませんでした";
// One undo step per run of the intake; a mail from an own address kept as sent.
inline constexpr const char* kStepMailIntake = "メール %d 通の取り込み";
inline constexpr const char* kMailTakenAsSent = "自分のアドレスから送ったメールとして保存しました";
inline constexpr const char* kCheckFoldersChecked = "確認したフォルダー: %s";
inline constexpr const char* kCheckNoAccounts = "メールアカウントがありません。メールアカウントを登録してください。";
inline constexpr const char* kCheckPasswordTitle = "メールアカウントのパスワード";
inline constexpr const char* kCheckPasswordPrompt = "%s のパスワード:";
inline constexpr const char* kPasswordFileOpenToOthers =
    "パスワードのファイル %s は自分以外のユーザーも読めるため使いません。"
    "chmod 600 でこのファイルを自分だけが読めるようにしてください。";
inline constexpr const char* kCheckNotKept = "メールアカウント %s: 受け取ったメールを保存できなかったため、確認を中止しました";

// "接続を確認" of the accounts dialog (UTF-8, like the check's messages). A "%s" right
// after a sentence is the server's or the system's words in parentheses, or nothing.
inline constexpr const char* kTestButton = "接続を確認(&T)";
inline constexpr const char* kTestRunning = "接続しています...";
inline constexpr const char* kTestTrust = "この証明書を信頼する(&R)";
inline constexpr const char* kTestNoPassword = "パスワードが入力されなかったため、接続を確認しませんでした。";
inline constexpr const char* kTestOk =
    "接続できました。フォルダーが %s 個あり、受信トレイ (INBOX) のメールは %s 通です。";
inline constexpr const char* kTestOkNoInbox = "接続できました。フォルダーが %s 個あります。";
inline constexpr const char* kTestNoHost = "サーバー名を入力してください。";
inline constexpr const char* kTestHostUnknown = "サーバー \"%s\" が見つかりません。サーバー名を確かめてください%s。";
inline constexpr const char* kTestRefused =
    "サーバー %s のポート %s に接続できませんでした。サーバー名、ポート、暗号化の種類を確かめてください%s。";
inline constexpr const char* kTestLogin =
    "サーバーがログインを断りました。ユーザー名とパスワードを確かめてください%s。";
inline constexpr const char* kTestCertificate =
    "サーバーの証明書を確認できませんでした%s。\n"
    "発行先: %s\n発行者: %s\n有効期間: %s ～ %s\nSHA-256: %s\n"
    "このサーバーの証明書に間違いがなければ、「この証明書を信頼する」を押してください。";
inline constexpr const char* kTestUnknown = "(不明)";
inline constexpr const char* kTestTrusted = "この証明書を信頼します。もう一度接続を確認しています...";
inline constexpr const char* kSinceDaysChoice = "%1 日";
inline constexpr const char* kSinceAll = "すべて";

// File, New and the welcome of the first start.
inline constexpr const char* kMenuFileNew = "新規作成(&N)...";
inline constexpr const char* kCmdFileNew = "空のﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀﾌｧｲﾙを作って開く\n新規作成";
inline constexpr const char* kNewFileInUse =
    "\" %s \"は使用中のファイルです。\r\n新しいファイルには別の名前を選んでください。";
inline constexpr const char* kNewFileExists =
    "\" %s \"はすでにあります。\r\n中のメールフレンドを失わないよう、新しいファイルにはまだない名前を選んでください。";
inline constexpr const char* kNewFileNotMade = "新しいメールフレンドデータのファイル\" %s \"を作成できませんでした。";

// The welcome of the first start.
inline constexpr const char* kWelcomeTitle = "Yubino へようこそ";
inline constexpr const char* kWelcomeIntro = "はじめに、使い始め方と自分のメールアドレスを決めてください。";
inline constexpr const char* kWelcomeWithSample = "サンプルのメールフレンドで始める(&S)";
inline constexpr const char* kWelcomeWithNewFile = "空のファイルで始める(&E):";
inline constexpr const char* kWelcomeSuggestedFile = "メールフレンド.ybf";
inline constexpr const char* kWelcomeBrowse = "参照(&B)...";
inline constexpr const char* kWelcomeOwnAddresses = "自分のメールアドレス (1 行に 1 つ、後からでも設定できます)(&A):";
inline constexpr const char* kWelcomeSetUpMail =
    "続けてメールアカウントを設定する (後からでも [ツール] の [メールアカウント] で設定できます)(&M)";
inline constexpr const char* kWelcomeNoFileName = "空のファイルで始めるには、ファイル名を入力してください。";
inline constexpr const char* kNotAnAddress = "\"%s\"はメールアドレスではありません。";

// The address book sync in the window (QString::arg places).
inline constexpr const char* kCmdSyncContacts = "連絡先を同期(&Y)...";
inline constexpr const char* kSyncContactsTip = "CardDAV サーバーのアドレス帳とメールフレンドを同期します";
inline constexpr const char* kCmdContactAccount = "連絡先の同期の設定(&K)...";
inline constexpr const char* kContactAccountTip = "同期する CardDAV サーバーとアドレス帳を設定します";
inline constexpr const char* kContactAccountTitle = "連絡先の同期";
inline constexpr const char* kContactAccountUrl = "サーバーの URL(&U):";
inline constexpr const char* kContactAccountUser = "ユーザー名(&N):";
inline constexpr const char* kContactAccountPassword = "パスワード(&P):";
inline constexpr const char* kContactAccountCaFile = "CA 証明書ファイル(&C):";
inline constexpr const char* kContactAccountFingerprint = "信頼する証明書(&T):";
inline constexpr const char* kContactAccountBook = "アドレス帳(&A):";
inline constexpr const char* kContactAccountBookHint = "サーバーに 1 つだけのときは空欄";
inline constexpr const char* kContactAccountNeedsHttps = "サーバーの URL は https:// で始めてください。";
inline constexpr const char* kContactAccountNeedsUser = "ユーザー名を入力してください。";
inline constexpr const char* kContactAccountNotStored = "連絡先の同期の設定を保存できませんでした: %1";
inline constexpr const char* kContactSyncRunning = "連絡先を同期しています...";
inline constexpr const char* kContactSyncDone = "連絡先を同期しました。";
inline constexpr const char* kContactSyncStopped = "連絡先の同期を中止しました。ここまでの変更は保存されています。";
inline constexpr const char* kContactSyncCounts =
    "追加 %1 件、更新 %2 件、削除 %3 件、競合 %4 件 (サーバーへ送信 %5 件)";
inline constexpr const char* kContactSyncConflict = "%1 の %2: 「%3」を残し、「%4」をメモに書きました";
inline constexpr const char* kContactSyncNotAdded =
    "メールフレンドは 500 人までしか登録できないため、サーバーの %1 件は取り込みませんでした";
inline constexpr const char* kContactSyncAskDeletions =
    "同期すると %1 件の連絡先が削除されます (サーバーとこのファイルの両方を合わせて)。同期を続けますか?";
inline constexpr const char* kContactSyncChooseBook = "同期するアドレス帳を選んでください:";
inline constexpr const char* kContactSyncUnreachable =
    "サーバー %1 に接続できませんでした。URL とネットワークの接続を確かめてください。";
inline constexpr const char* kContactSyncLoginRefused =
    "サーバーがログインを拒否しました。ユーザー名とパスワードを確かめてください。";
inline constexpr const char* kContactSyncAskTrust =
    "サーバーの証明書を確認できませんでした。\n\nSHA-256 フィンガープリント:\n%1\n\n"
    "サーバーの管理者に確かめたフィンガープリントと同じなら、この証明書を信頼して同期を続けますか?";
inline constexpr const char* kContactSyncUntrusted = "サーバーの証明書を確認できないため、同期しませんでした。";
inline constexpr const char* kContactSyncNoBook =
    "サーバーにアドレス帳が見つかりませんでした。URL を確かめてください。";
inline constexpr const char* kContactSyncFailed = "連絡先を同期できませんでした: %1";
inline constexpr const char* kStepContactSync = "連絡先の同期";

}  // namespace texts

// One of the texts above in code page 932.
std::string Cp932Text(std::string_view utf8);
// The text with its first "%s" replaced by `arg` (code page 932 bytes, inserted as they are).
std::string FormatText(std::string_view utf8Template, std::string_view arg);
// The text with its first "%d" replaced by `number`.
std::string FormatText(std::string_view utf8Template, int number);
