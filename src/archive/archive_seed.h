// The bridge from the pal table to the archive: a pal's last mail as an archive record,
// and the records that seed an archive from an old data file's pals.
#pragma once

#include <vector>

#include "archive/mail_record.h"
#include "core/ole_date_time.h"
#include "core/pen_pal.h"

// "YYYY-MM-DDTHH:MM:SS" of a pal date; an invalid or null date counts as the pal dates'
// default, 2000-01-01.
std::string ArchiveDateOf(const COleDateTime& date);

// The pal's last mail (date and stored text) as a received mail filed under the pal.
MailRecord LastMailOf(const CPenPal& pal, const char* source);

// The last mails of the pals that have one, to store into an archive that lacks them.
std::vector<MailRecord> SeedRecords(const std::vector<CPenPal>& pals);

// A pal address (code page 932) as the archive keeps it (UTF-8), and back.
std::string ArchiveAddress(const std::string& cp932Address);
std::string TableAddress(const std::string& archiveAddress);
