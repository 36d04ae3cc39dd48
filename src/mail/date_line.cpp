#include "mail/date_line.h"

#include <climits>
#include <string>

#include "core/texts.h"

namespace {

// White space as sscanf sees it in the "C" locale.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipSpace(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    return pos;
}

enum class NumberRead { kRead, kNoNumber, kTooLarge };

// One "%d": reads at `pos`, advancing it past the number. Every digit is consumed even
// when the value has long left the int range, so a line of a million digits stays linear.
NumberRead ReadInt(std::string_view text, std::size_t& pos, int& value) {
    pos = SkipSpace(text, pos);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    if (pos >= text.size() || !IsDigit(text[pos])) return NumberRead::kNoNumber;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    bool tooLarge = false;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        if (!tooLarge) magnitude = magnitude * 10 + (text[pos] - '0');
        tooLarge = tooLarge || magnitude > limit;
    }
    if (tooLarge) return NumberRead::kTooLarge;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return NumberRead::kRead;
}

}  // namespace

bool ScanIntegers(std::string_view line, std::string_view pattern, int* values, int count) {
    std::size_t pos = 0;
    int read = 0;
    for (std::size_t p = 0; p < pattern.size(); ++p) {
        if (IsSpace(pattern[p])) {
            pos = SkipSpace(line, pos);
        } else if (pattern.substr(p, 2) == "%d") {
            ++p;
            int value = 0;
            NumberRead result = ReadInt(line, pos, value);
            if (result == NumberRead::kTooLarge) return false;
            if (result == NumberRead::kNoNumber || read >= count) return true;
            values[read++] = value;
        } else if (pos < line.size() && line[pos] == pattern[p]) {
            ++pos;
        } else {
            return true;
        }
    }
    return true;
}

void ReadReceivedDate(std::string_view line, COleDateTime& date) {
    static const std::string pattern = Cp932Text(texts::kDateLinePattern);
    int ymd[3] = {2000, 1, 1};
    if (!ScanIntegers(line, pattern, ymd, 3)) {
        date.m_status = COleDateTime::invalid;
        return;
    }
    date.SetDateTime(ymd[0], ymd[1], ymd[2], 0, 0, 0);
}
