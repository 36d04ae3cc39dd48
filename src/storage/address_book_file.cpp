#include "storage/address_book_file.h"

#include <algorithm>
#include <cctype>

#include "core/texts.h"
#include "storage/pal_vcard.h"
#include "storage/text_encoding.h"
#include "core/file_read.h"

namespace {

bool StartsLikeVCard(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    while (!bytes.empty() && std::isspace(static_cast<unsigned char>(bytes.front()))) bytes.remove_prefix(1);
    std::string head(bytes.substr(0, 11));
    for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return head == "BEGIN:VCARD";
}

// The old road takes a file whose first line, split at every comma, has the field
// "電子メール アドレス" as it stands (code page 932 or UTF-8).
bool IsOldAddressBook(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::string_view header = bytes.substr(0, bytes.find_first_of("\r\n"));
    const std::string utf8Name = texts::kCsvAddressField, cp932Name = Cp932Text(texts::kCsvAddressField);
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = header.find(',', start);
        const std::string_view field = header.substr(start, comma - start);
        if (field == utf8Name || field == cp932Name) return true;
        if (comma == std::string_view::npos) return false;
        start = comma + 1;
    }
}

bool HoldsACard(std::string_view bytes) {
    for (std::size_t at = 0; (at = bytes.find(':', at)) != std::string_view::npos; ++at) {
        if (at < 5) continue;
        std::string word(bytes.substr(at - 5, 11));
        for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word == "BEGIN:VCARD") return true;
    }
    return false;
}

// NUL bytes near the start of a file without a UTF-16 byte-order mark: no text at all.
bool IsBinary(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return false;
    return bytes.substr(0, 4096).find('\0') != std::string_view::npos;
}

}  // namespace

AddressBookFile ReadAddressBookBytes(std::string_view bytes, bool namedVCard) {
    AddressBookFile file;
    // An empty file is an empty address book.
    const bool blank = bytes.find_first_not_of(" \t\r\n") == std::string_view::npos;
    if (IsBinary(bytes) || (namedVCard && !blank && !HoldsACard(bytes))) {
        file.kind = AddressBookFile::Kind::NotAddressBook;
        return file;
    }
    if (namedVCard || StartsLikeVCard(bytes)) {
        file.kind = AddressBookFile::Kind::VCard;
        file.pals = ReadVCardPals(bytes);
        return file;
    }
    if (IsOldAddressBook(bytes)) {
        file.kind = AddressBookFile::Kind::OldCsv;
        file.oldCsv = ReadAddressBook(bytes);
        return file;
    }
    file.kind = AddressBookFile::Kind::Csv;
    const std::string text = DecodeTextFile(bytes);
    file.csv = ReadQuotedCsv(text, GuessCsvSeparator(text));
    if (!file.csv.records.empty()) {
        file.header = std::move(file.csv.records.front().fields);
        file.csv.records.erase(file.csv.records.begin());
    }
    file.roles = RecognizeCsvHeader(file.header);
    if (RolesGiveAddress(file.roles))
        ApplyCsvRoles(file, file.roles);
    else
        file.pals.problems = file.csv.problems;
    return file;
}

void ApplyCsvRoles(AddressBookFile& file, const std::vector<CsvRole>& roles) {
    file.pals = PalsFromCsvRecords(file.csv.records, roles, file.header);
    file.pals.problems = file.csv.problems;
}

AddressBookFile ReadAddressBookForImport(const std::filesystem::path& path) {
    FileReadResult file = ReadRegularFile(path, kMaxAddressBookBytes);
    if (!file.Ok()) {
        AddressBookFile refused;
        if (file.status == FileReadResult::Status::TooLarge) refused.kind = AddressBookFile::Kind::TooLarge;
        return refused;
    }
    const std::string bytes = std::move(file.bytes);
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ReadAddressBookBytes(bytes, extension == ".vcf" || extension == ".vcard");
}

std::string OldCsvRefusalMessage(const std::filesystem::path& path) {
    std::string message = Cp932Text(texts::kCsvWrongFormat);
    const AddressBookFile file = ReadAddressBookForImport(path);
    if (file.kind == AddressBookFile::Kind::Csv && RolesGiveAddress(file.roles))
        message += "\r\n" + Cp932Text(texts::kCsvUseAddressBookImport);
    return message;
}
