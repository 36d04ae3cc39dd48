#include "storage/quoted_csv.h"

namespace {

class CsvParser {
public:
    CsvParser(std::string_view text, char separator) : m_text(text), m_separator(separator) {}

    CsvReadResult Run() {
        while (m_pos < m_text.size()) {
            if (!ReadRecord()) break;
        }
        return std::move(m_result);
    }

private:
    bool AtLineEnd() const { return m_text[m_pos] == '\r' || m_text[m_pos] == '\n'; }

    // Steps over one line end ("\r\n" counting as one) and counts it.
    void SkipLineEnd() {
        if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n') ++m_pos;
        ++m_pos;
        ++m_line;
    }

    void Put(std::string& field, char c) {
        if (c == '\0') {
            m_hadNul = true;
        } else if (field.size() >= kMaxCsvFieldBytes) {
            m_tooLong = true;
        } else {
            field.push_back(c);
        }
    }

    // One record; false when a quote stayed open to the end of the text.
    bool ReadRecord() {
        CsvRecord record;
        record.line = m_line;
        m_hadNul = m_tooLong = false;
        while (true) {
            std::string field;
            if (m_pos < m_text.size() && m_text[m_pos] == '"' && !ReadQuoted(field)) {
                m_result.problems.push_back({ImportProblem::Kind::QuoteNotClosed, m_quoteLine});
                return false;
            }
            // Unquoted text, or what follows a closing quote, is taken as it stands.
            while (m_pos < m_text.size() && m_text[m_pos] != m_separator && !AtLineEnd()) Put(field, m_text[m_pos++]);
            record.fields.push_back(std::move(field));
            if (m_pos < m_text.size() && m_text[m_pos] == m_separator) {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size()) SkipLineEnd();
            break;
        }
        if (m_hadNul) m_result.problems.push_back({ImportProblem::Kind::NulBytes, record.line});
        if (m_tooLong) m_result.problems.push_back({ImportProblem::Kind::FieldTooLong, record.line});
        const bool blank = record.fields.size() == 1 && record.fields[0].empty();
        if (!blank && !m_tooLong) m_result.records.push_back(std::move(record));
        return true;
    }

    bool ReadQuoted(std::string& field) {
        m_quoteLine = m_line;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '"') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '"') {
                    Put(field, '"');
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return true;
            }
            if (c == '\r' || c == '\n') {
                // A line break inside quotes belongs to the field as written.
                const std::size_t start = m_pos;
                SkipLineEnd();
                for (std::size_t i = start; i < m_pos; ++i) Put(field, m_text[i]);
                continue;
            }
            Put(field, c);
            ++m_pos;
        }
        return false;
    }

    std::string_view m_text;
    char m_separator;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_quoteLine = 1;
    bool m_hadNul = false;
    bool m_tooLong = false;
    CsvReadResult m_result;
};

}  // namespace

CsvReadResult ReadQuotedCsv(std::string_view text, char separator) { return CsvParser(text, separator).Run(); }

char GuessCsvSeparator(std::string_view text) {
    const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
    return firstLine.find('\t') != std::string_view::npos && firstLine.find(',') == std::string_view::npos ? '\t' : ',';
}

std::string QuoteCsvField(std::string_view field) {
    const bool needsQuotes = field.find_first_of(",\"\r\n") != std::string_view::npos ||
                             (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    if (!needsQuotes) return std::string(field);
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

namespace {

bool StartsLikeFormula(std::string_view field) {
    return !field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

// "-1", "+3", "-2.5": a spreadsheet reads them as the numbers they are.
bool IsPlainNumber(std::string_view field) {
    if (!field.empty() && (field.front() == '+' || field.front() == '-')) field.remove_prefix(1);
    const std::size_t point = field.find('.');
    const std::string_view whole = field.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? "0" : field.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return digits(whole) && digits(fraction);
}

// A leading apostrophe that the reader takes off: one before a formula's first character,
// or before another apostrophe (so that a cell that began with one comes back whole).
bool StartsWithGuard(std::string_view field) {
    return field.size() > 1 && field.front() == '\'' && (field[1] == '\'' || StartsLikeFormula(field.substr(1)));
}

}  // namespace

std::string GuardCsvCell(std::string_view field) {
    const bool formula = StartsLikeFormula(field) && !IsPlainNumber(field);
    if (!formula && !StartsWithGuard(field)) return std::string(field);
    return "'" + std::string(field);
}

std::string_view GuardedCellValue(std::string_view field) {
    if (StartsWithGuard(field)) field.remove_prefix(1);
    return field;
}
