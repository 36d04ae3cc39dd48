// Seed twins: a pal's last mail copied from the pal data file ("seed", without a
// Message-ID) beside the same mail taken in from the mailbox. They are the same mail when
// pal, date and body agree; the body compares as the pal table keeps it (code page 932,
// LF line ends), since the seed went through that form.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class CSqliteDb;

// The body as the pal table would keep it, for telling twins apart.
std::string TwinBodyKey(std::string_view utf8Body);

// Whether the archive holds a mail of the pal (archive id) at `date` whose body is
// `utf8Body` in the table's form, other than the row `exceptId`.
bool HasMailLike(CSqliteDb& db, std::int64_t palId, std::string_view date, std::string_view utf8Body,
                 std::int64_t exceptId = 0);

// Deletes every seed row that has a twin; a seed that is the only copy of its mail stays
// (of two seeds alike, the older row). `progress` hears (done, total) now and then.
// Returns the number removed. The caller holds the transaction.
using TwinProgressFn = std::function<void(int done, int total)>;
int RemoveSeedTwins(CSqliteDb& db, const TwinProgressFn& progress = {});
