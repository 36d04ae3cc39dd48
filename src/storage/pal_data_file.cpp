#include "storage/pal_data_file.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <unordered_set>
#include <utility>

#include "core/cp932.h"
#include "core/yubino_app.h"

namespace {

// Length prefixes: one byte below 0xFF; else 0xFF and 16 bits below 0xFFFE; else 0xFF,
// 0xFFFF and 32 bits. 0xFF 0xFFFE marks a UTF-16 string whose prefix follows.
constexpr std::uint8_t kPrefix16 = 0xFF;
constexpr std::uint16_t kPrefix32 = 0xFFFF;
constexpr std::uint16_t kUtf16Mark = 0xFFFE;

// Calls `visit` on the 26 fields of a record in file order; stops at the first false.
template <typename Pal, typename Visitor>
bool VisitFieldsInFileOrder(Pal& pal, Visitor&& visit) {
    return visit(pal.m_strHandleName) && visit(pal.m_strName) && visit(pal.m_strSex) && visit(pal.m_strAge) &&
           visit(pal.m_strMailAddress) && visit(pal.m_strJob) && visit(pal.m_strHomePage) &&
           visit(pal.m_strResidence) && visit(pal.m_strBirthplace) && visit(pal.m_dtBirthday) &&
           visit(pal.m_dtFirstMail) && visit(pal.m_dtLastMail) && visit(pal.m_strTel1) && visit(pal.m_strTel2) &&
           visit(pal.m_strHobby) && visit(pal.m_strBloodType) && visit(pal.m_nFaceIcon) && visit(pal.m_strMapName) &&
           visit(pal.m_nMapX) && visit(pal.m_nMapY) && visit(pal.m_strLastMailText) && visit(pal.m_strPictureFile) &&
           visit(pal.m_bUsePicture) && visit(pal.m_strMailAddress2) && visit(pal.m_strMobileAddress) &&
           visit(pal.m_strMemo);
}

// Little-endian values from a byte range. Every read fails, leaving its target alone, when
// the data ends first; a length is checked against what remains before anything is made.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_pos(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    bool AtEnd() const { return m_pos == m_end; }
    std::size_t Remaining() const { return static_cast<std::size_t>(m_end - m_pos); }

    bool operator()(std::string& text) {
        std::uint32_t length = 0;
        bool utf16 = false;
        if (!ReadLength(length, utf16)) return false;
        if (!utf16) return Take(length, text);
        // The count of UTF-16 units has the same forms; a second mark also announces 32 bits.
        if (!ReadLength(length, utf16)) return false;
        if (utf16 && !Read(length)) return false;
        if (length > Remaining() / 2) return false;
        text = cp932::FromUtf16Le(std::string_view(m_pos, std::size_t{length} * 2));
        m_pos += std::size_t{length} * 2;
        return true;
    }

    bool operator()(int& value) {
        std::uint32_t bits;
        if (!Read(bits)) return false;
        value = static_cast<std::int32_t>(bits);
        return true;
    }

    bool operator()(COleDateTime& date) {
        std::uint32_t status;
        std::uint64_t bits;
        if (!Read(status) || !Read(bits)) return false;
        date.m_status = static_cast<COleDateTime::DateTimeStatus>(status);
        date.m_dt = std::bit_cast<double>(bits);
        return true;
    }

private:
    template <typename T>
    bool Read(T& value) {
        if (Remaining() < sizeof(T)) return false;
        T v = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) v |= static_cast<T>(static_cast<std::uint8_t>(m_pos[i])) << (8 * i);
        m_pos += sizeof(T);
        value = v;
        return true;
    }

    // A length prefix, or the UTF-16 mark (`utf16Mark`) that stands in its place.
    bool ReadLength(std::uint32_t& length, bool& utf16Mark) {
        utf16Mark = false;
        std::uint8_t small;
        if (!Read(small)) return false;
        length = small;
        if (small != kPrefix16) return true;
        std::uint16_t medium;
        if (!Read(medium)) return false;
        length = medium;
        utf16Mark = medium == kUtf16Mark;
        return medium != kPrefix32 || Read(length);
    }

    bool Take(std::uint32_t length, std::string& text) {
        if (length > Remaining()) return false;
        text.assign(m_pos, length);
        m_pos += length;
        return true;
    }

    const char* m_pos;
    const char* m_end;
};

// Appends little-endian values to a string reserved for the whole file.
class Writer {
public:
    explicit Writer(std::string& out) : m_out(out) {}

    bool operator()(const std::string& text) {
        const std::size_t length = text.size();
        if (length < kPrefix16) {
            Put(static_cast<std::uint8_t>(length));
        } else if (length < kUtf16Mark) {
            Put(kPrefix16);
            Put(static_cast<std::uint16_t>(length));
        } else {
            Put(kPrefix16);
            Put(kPrefix32);
            Put(static_cast<std::uint32_t>(length));
        }
        m_out.append(text);
        return true;
    }
    bool operator()(int value) {
        Put(static_cast<std::uint32_t>(value));
        return true;
    }
    bool operator()(const COleDateTime& date) {
        Put(static_cast<std::uint32_t>(date.m_status));
        Put(std::bit_cast<std::uint64_t>(date.m_dt));
        return true;
    }

private:
    template <typename T>
    void Put(T value) {
        char bytes[sizeof(T)];
        for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<char>(value >> (8 * i));
        m_out.append(bytes, sizeof(T));
    }

    std::string& m_out;
};

// The size a record takes in the file, so that the output is allocated once.
struct SizeCounter {
    std::size_t size = 0;
    bool operator()(const std::string& text) {
        size += (text.size() < kPrefix16 ? 1 : text.size() < kUtf16Mark ? 3 : 7) + text.size();
        return true;
    }
    bool operator()(int) {
        size += 4;
        return true;
    }
    bool operator()(const COleDateTime&) {
        size += 12;
        return true;
    }
};

// The pals the file holds: the table in order, at most as many as a table can have.
std::span<const CPenPal> PalsToWrite(const CYubinoApp& app) {
    std::span<const CPenPal> pals(app.Pals());
    return pals.first(std::min<std::size_t>(pals.size(), kMaxPals));
}

}  // namespace

bool CouldBePalData(std::string_view head) {
    return head.size() < kPalDataMagic.size() ? kPalDataMagic.starts_with(head) : head.starts_with(kPalDataMagic);
}

PalDataReadResult ReadPalData(CYubinoApp& app, std::string_view bytes) {
    PalDataReadResult result;
    if (!CouldBePalData(bytes)) {
        result.status = PalDataReadResult::Status::Foreign;
        return result;
    }
    if (bytes.size() < kPalDataMagic.size()) {
        result.status = PalDataReadResult::Status::TooShort;
        result.complete = bytes.empty();
        return result;
    }
    app.ClearPals();
    // The records go into the table in runs: AddPal's scan of the table per pal made a
    // read of 500 pals quadratic. Only a repeated address goes through AddPal, which
    // refuses it with its message.
    std::vector<CPenPal> run;
    std::unordered_set<std::string> addresses;
    auto addRun = [&] {
        app.ReplaceRows(app.Pals().size(), 0, run);
        run.clear();
    };
    Reader reader(bytes.substr(kPalDataMagic.size()));
    for (int i = 0; i < kMaxPals && !reader.AtEnd(); ++i) {
        // Every field is read, so a fresh record per pal reads as one scratch record would.
        CPenPal pal;
        if (!VisitFieldsInFileOrder(pal, reader)) {
            addRun();
            result.complete = false;
            return result;
        }
        // The picture is asked for once the record is read, added or not.
        const bool usesPicture = pal.m_bUsePicture == 1;
        const std::string picture = usesPicture ? pal.m_strPictureFile : std::string();
        if (addresses.insert(pal.m_strMailAddress).second) {
            run.push_back(std::move(pal));
        } else {
            addRun();
            if (!app.AddPal(pal)) ++result.refused;
        }
        if (usesPicture) app.UI().PreloadPicture(picture);
    }
    addRun();
    result.unreadTail = !reader.AtEnd();
    return result;
}

std::string WritePalData(const CYubinoApp& app) {
    SizeCounter counter{kPalDataMagic.size()};
    for (const CPenPal& pal : PalsToWrite(app)) VisitFieldsInFileOrder(pal, counter);
    std::string out;
    out.reserve(counter.size);
    out.append(kPalDataMagic);
    Writer writer(out);
    for (const CPenPal& pal : PalsToWrite(app)) VisitFieldsInFileOrder(pal, writer);
    return out;
}
