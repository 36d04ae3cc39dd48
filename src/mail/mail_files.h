// Mail files and folders: an .eml file, an mbox file (read as a stream, message by
// message), a Maildir folder (its cur/ and new/), or a file of the Japanese mail text.
// What a file is is decided by its content, never by its name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "mail/internet_mail.h"

// Receives what ReadMailPath finds.
class CMailSink {
public:
    virtual ~CMailSink() = default;
    // One mail read; false stops the reading.
    virtual bool TakeMail(const ParsedMail& mail) = 0;
    // A file, or a mail in an mbox, that could not be read. `reason` is UTF-8.
    virtual void Failed(const std::filesystem::path& path, const std::string& reason) = 0;
    // `bytes` more of the input have been read; false stops the reading.
    virtual bool Progress(std::uint64_t bytes) {
        (void)bytes;
        return true;
    }
};

// Caps on what is read whole: one message file, one Japanese mail text.
inline constexpr std::uint64_t kMaxMessageFileBytes = 64ull << 20;
inline constexpr std::uint64_t kMaxMailTextBytes = 4ull << 20;

// The whole of the regular file at `path`, opened without blocking, when it holds at most
// `cap` bytes; otherwise false and the reason (UTF-8).
bool ReadRegularFile(const std::filesystem::path& path, std::uint64_t cap, std::string& bytes, std::string& reason);

// Reads every mail at `path` into `sink`. False when the sink stopped the reading.
bool ReadMailPath(const std::filesystem::path& path, CMailSink& sink);

// The bytes ReadMailPath will read at `path` (a folder: its mail files), for progress.
std::uint64_t MailPathBytes(const std::filesystem::path& path);
