// IMAP folder names travel in modified UTF-7 (RFC 3501 5.1.3); people read them in UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The UTF-8 form of a folder name as the server sends it; nullopt when it is not valid.
std::optional<std::string> FolderNameFromImap(std::string_view wire);
// The form to send for a folder name typed or chosen in UTF-8; nullopt when not UTF-8.
std::optional<std::string> FolderNameToImap(std::string_view utf8);
// Whether a folder is named as mail programs name the Sent folder ("Sent", "Sent Items",
// "送信済み", ...), at the top or right under INBOX; for servers without SPECIAL-USE.
bool IsSentFolderName(std::string_view utf8, char delimiter);
