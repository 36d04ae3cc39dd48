// What a reply to a pal starts from: the pal's name, the month's greeting as the user set
// it in the archive, and the pal's last received mail up to a day.
#pragma once

#include <array>
#include <string>

#include "archive/mail_archive.h"
#include "archive/reply_queue.h"
#include "core/pen_pal.h"
#include "mail/reply_link.h"

class CPalArchive;

using SeasonalGreetings = std::array<std::string, 12>;

// The greetings of the twelve months (UTF-8): the user's own where set, the defaults
// elsewhere. Defaults alone when the archive cannot be read.
SeasonalGreetings ReadSeasonalGreetings(CMailArchive& archive);
// Keeps the user's greetings; one equal to the default is kept as no setting at all.
ArchiveStatus WriteSeasonalGreetings(CMailArchive& archive, const SeasonalGreetings& greetings);

// The reply to `pal` on `today`: its last mail received before the day ended is quoted.
ReplyRequest ReplyRequestFor(CPalArchive& archive, const CPenPal& pal, CalendarDay today);
