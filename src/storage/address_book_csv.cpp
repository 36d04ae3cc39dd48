#include "storage/address_book_csv.h"

#include <optional>

#include "core/cp932.h"
#include "core/texts.h"
#include "core/file_read.h"
#include "storage/text_encoding.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// An address book larger than this is no address book (a device, a disk image).
constexpr std::size_t kMaxAddressBookFileBytes = 64u << 20;

// The file's lines without their ends ("\n" or "\r\n"). A line ends at a NUL byte too,
// as text read into a C string always did.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_rest(text) {}

    bool Next(std::string_view& line) {
        if (m_done) return false;
        std::size_t end = m_rest.find('\n');
        if (end == std::string_view::npos) {
            m_done = true;
            if (m_rest.empty()) return false;  // a final line end starts no further line
            line = m_rest;
        } else {
            line = m_rest.substr(0, end);
            m_rest.remove_prefix(end + 1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        }
        line = line.substr(0, line.find('\0'));
        return true;
    }

private:
    std::string_view m_rest;
    bool m_done = false;
};

// The field at `index` (fields split at every comma, counted from 0); empty when the line
// has fewer fields.
std::string_view FieldAt(std::string_view line, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) return {};
        start = comma + 1;
    }
    return line.substr(start, line.find(',', start) - start);
}

struct Columns {
    std::optional<std::size_t> name;
    std::optional<std::size_t> address;
    // Outlook's Japanese exports without "表示名": "名前", or "姓" and "名".
    std::optional<std::size_t> fullName;
    std::optional<std::size_t> familyName;
    std::optional<std::size_t> givenName;

    bool GiveName() const { return name || fullName || familyName || givenName; }

    // The entry's name: the display name, else the full name, else family and given name.
    std::string NameIn(std::string_view line) const {
        if (name) return std::string(FieldAt(line, *name));
        if (fullName) return std::string(FieldAt(line, *fullName));
        const std::string_view family = familyName ? FieldAt(line, *familyName) : std::string_view();
        const std::string_view given = givenName ? FieldAt(line, *givenName) : std::string_view();
        return std::string(family) + (family.empty() || given.empty() ? "" : " ") + std::string(given);
    }
};

template <typename Decode>
Columns ReadHeader(std::string_view header, const Decode& decode) {
    const std::string nameField = Cp932Text(texts::kCsvNameField);
    const std::string addressField = Cp932Text(texts::kCsvAddressField);
    Columns columns;
    std::size_t index = 0, start = 0;
    while (true) {
        std::size_t comma = header.find(',', start);
        const std::string field = decode(header.substr(start, comma - start));
        if (field == nameField) columns.name = index;
        if (field == addressField) columns.address = index;
        if (field == Cp932Text("名前")) columns.fullName = index;
        if (field == Cp932Text("姓")) columns.familyName = index;
        if (field == Cp932Text("名")) columns.givenName = index;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
        ++index;
    }
    return columns;
}

template <typename Decode>
AddressBookReadResult ReadLines(std::string_view text, const Decode& decode) {
    AddressBookReadResult result;
    LineReader lines(text);
    std::string_view line;
    if (!lines.Next(line)) {
        result.status = AddressBookReadResult::Status::Empty;
        return result;
    }
    const Columns columns = ReadHeader(line, decode);
    if (!columns.address) {
        result.status = AddressBookReadResult::Status::WrongFormat;
        return result;
    }
    if (!columns.GiveName()) return result;  // no entry can have a name
    while (lines.Next(line)) {
        const std::string name = columns.NameIn(line);
        std::string_view address = FieldAt(line, *columns.address);
        if (name.empty() || address.empty()) continue;
        AddressBookEntry entry{decode(name), decode(address)};
        if (entry.name.size() > kMaxEntryTextBytes || entry.address.size() > kMaxEntryTextBytes) continue;
        result.entries.push_back(std::move(entry));
    }
    return result;
}

}  // namespace

AddressBookReadResult ReadAddressBook(std::string_view bytes) {
    const bool hasBom = bytes.starts_with(kUtf8Bom);
    if (hasBom) bytes.remove_prefix(kUtf8Bom.size());
    if (hasBom || LooksLikeUtf8(bytes)) return ReadLines(bytes, Utf8ToCp932Lossy);
    return ReadLines(bytes, [](std::string_view cp932) { return std::string(cp932); });
}

AddressBookReadResult ReadAddressBookFile(const std::filesystem::path& path) {
    const FileReadResult file = ReadRegularFile(path, kAddressBookFileCap);
    if (!file.Ok()) {
        AddressBookReadResult result;
        result.status = AddressBookReadResult::Status::Unreadable;
        result.problem = FileReadProblem(file, kAddressBookFileCap);
        return result;
    }
    return ReadAddressBook(file.bytes);
}
