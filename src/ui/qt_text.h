// Text crossing between the core (code page 932 bytes) and Qt (QString).
#pragma once

#include <QString>
#include <optional>
#include <string>

// For display: bytes that are no valid code page 932 show as U+FFFD.
QString ToQString(const std::string& cp932);

// For input: nothing when the text holds characters that code page 932 lacks; those
// characters are then stored in `unconvertible`.
std::optional<std::string> ToCp932(const QString& text, QString* unconvertible = nullptr);

// For text from outside (drops, the clipboard): characters that code page 932 lacks
// become "?", and `replaced` (when given) is set when any did.
std::string ToCp932Lossy(const QString& text, bool* replaced = nullptr);
