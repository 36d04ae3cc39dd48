// The pal table follows the archive: a pal's last mail (date and text) and first mail
// date come from the received mails the archive holds whenever it holds newer or older
// ones than the pal. Run at the end of every intake and when a data file and its archive
// are opened together, so that an intake cut off anywhere is caught up by the next.
#pragma once

#include <string>
#include <vector>

#include "archive/mail_archive.h"
#include "core/ole_date_time.h"

class CYubinoApp;

// "YYYY-MM-DDTHH:MM:SS" as a date; invalid for anything else.
COleDateTime DateOfArchiveDate(const std::string& archiveDate);

// Updates the table's pals by the batch rules from the archive's mails; returns the
// addresses (code page 932) of the pals changed, in table order. The caller records the
// change. A failed status when the archive cannot be read.
ArchiveResult<std::vector<std::string>> FollowArchive(CYubinoApp& app, CMailArchive& archive);
