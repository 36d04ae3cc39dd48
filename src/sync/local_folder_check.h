// The check of a local mail folder: a Maildir folder or an mbox file, every mail of it at
// each check (the archive keeps each once, by its Message-ID). Runs on a worker thread;
// Cancel() from any other.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>

#include "mail/internet_mail.h"
#include "sync/imap_check.h"

class CLocalFolderCheck {
public:
    // Takes one mail in for good; false when it could not be kept (the check stops there).
    using TakeFn = std::function<bool(const ParsedMail&)>;

    // `account` names the folder in the messages. Progress counts per cent of the bytes.
    CheckOutcome Run(const std::string& account, const std::filesystem::path& path, const TakeFn& take,
                     const CheckProgressFn& progress = {});
    void Cancel() { m_cancelled = true; }

private:
    std::atomic<bool> m_cancelled{false};
};
