// The intake's own texts (UTF-8), beside the program's table in core/texts.h.
#pragma once

namespace texts {

inline constexpr const char* kStepMailIntake = "メール %d 通の取り込み";
inline constexpr const char* kMailTakenAsSent = "自分のアドレスから送ったメールとして保存しました";
inline constexpr const char* kCheckFailed = "メールを確認できませんでした";

}  // namespace texts
