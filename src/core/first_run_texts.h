// The texts of File, New and of the welcome at the program's first start (UTF-8), beside
// the others in texts.h.
#pragma once

namespace texts {

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
inline constexpr const char* kWelcomeNoFileName = "空のファイルで始めるには、ファイル名を入力してください。";
inline constexpr const char* kNotAnAddress = "\"%s\"はメールアドレスではありません。";

}  // namespace texts
