#include "archive/reply_draft.h"

#include "archive/archive_seed.h"
#include "archive/pal_archive.h"
#include "core/cp932.h"

namespace {

int MonthOf(CalendarDay day) { return std::stoi(day.Format().substr(5, 2)); }

}  // namespace

SeasonalGreetings ReadSeasonalGreetings(CMailArchive& archive) {
    SeasonalGreetings greetings;
    for (int month = 1; month <= 12; ++month) {
        std::string& greeting = greetings[static_cast<std::size_t>(month - 1)];
        greeting = std::string(kSeasonalGreetings[static_cast<std::size_t>(month - 1)]);
        // Unreadable: the default stands.
        const std::optional<std::string> own = archive.ReadSetting(GreetingSettingKey(month)).value;
        if (own && !own->empty()) greeting = *own;
    }
    return greetings;
}

ArchiveStatus WriteSeasonalGreetings(CMailArchive& archive, const SeasonalGreetings& greetings) {
    std::vector<ArchiveSetting> settings;
    for (int month = 1; month <= 12; ++month) {
        const std::string& greeting = greetings[static_cast<std::size_t>(month - 1)];
        const bool isDefault = greeting == kSeasonalGreetings[static_cast<std::size_t>(month - 1)];
        settings.push_back({GreetingSettingKey(month), isDefault ? std::string() : greeting});
    }
    return archive.WriteSettings(settings);
}

ReplyRequest ReplyRequestFor(CPalArchive& archive, const CPenPal& pal, CalendarDay today) {
    ReplyRequest request;
    request.address = cp932::ToUtf8(pal.m_strMailAddress);
    request.handleName = cp932::ToUtf8(pal.m_strHandleName);
    request.greeting = std::string(kSeasonalGreetings[static_cast<std::size_t>(MonthOf(today) - 1)]);
    CMailArchive* mails = archive.Archive();
    if (!mails) return request;
    request.greeting = ReadSeasonalGreetings(*mails)[static_cast<std::size_t>(MonthOf(today) - 1)];
    // No quote from an archive that cannot be read.
    const std::string nextDay = CalendarDay{today.number + 1}.Format();
    if (const std::optional<MailRecord> last =
            mails->NewestMail(ArchiveAddress(pal.m_strMailAddress), MailDirection::Received, nextDay).value)
        request.lastReceived = ReceivedMail{last->subject, last->body};
    return request;
}
