#include "archive/pal_mail_follow.h"

#include <cstdio>
#include <map>

#include "archive/archive_seed.h"
#include "core/yubino_app.h"
#include "mail/mail_batch.h"
#include "mail/mail_charsets.h"
#include "mail/stored_mail_text.h"

COleDateTime DateOfArchiveDate(const std::string& archiveDate) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    COleDateTime date(0.0, COleDateTime::invalid);
    if (std::sscanf(archiveDate.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &year, &month, &day, &hour, &minute, &second) == 6)
        date.SetDateTime(year, month, day, hour, minute, second);
    return date;
}

ArchiveResult<std::vector<std::string>> FollowArchive(CYubinoApp& app, CMailArchive& archive) {
    ArchiveResult<std::vector<CMailArchive::ReceivedSpan>> read = archive.ReceivedSpans();
    if (!read.Ok()) return {{read.kind, read.error}, {}};
    std::map<std::string, CMailArchive::ReceivedSpan> spans;
    for (CMailArchive::ReceivedSpan& span : read.value) spans.emplace(span.pal, std::move(span));
    ArchiveResult<std::vector<std::string>> updated;
    for (const CPenPal& row : std::vector<CPenPal>(app.Pals())) {
        const auto span = spans.find(ArchiveAddress(row.m_strMailAddress));
        if (span == spans.end()) continue;
        CPenPal pal = row;
        std::string text;
        Utf8ToCp932Replacing(span->second.lastBody, text);
        // The newest first: the oldest then moves only the first mail date.
        bool changed = ApplyBatchRules(pal, DateOfArchiveDate(span->second.lastDate), ToStoredMailText(text));
        changed |= ApplyBatchRules(pal, DateOfArchiveDate(span->second.firstDate), pal.m_strLastMailText);
        if (!changed) continue;
        app.ReplacePal(pal);
        updated.value.push_back(pal.m_strMailAddress);
    }
    return updated;
}
