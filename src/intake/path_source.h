// Mail files and folders as a source: .eml files, mbox files, Maildir folders and files of
// the Japanese mail text, read in the order given.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "intake/mail_source.h"

class CPathSource : public CMailSource {
public:
    // Hears (bytes read, bytes in all) as the reading goes on.
    using ProgressFn = std::function<void(std::uint64_t read, std::uint64_t total)>;

    explicit CPathSource(std::vector<std::filesystem::path> paths, ProgressFn progress = {})
        : m_paths(std::move(paths)), m_progress(std::move(progress)) {}

    bool ReadInto(CIntakeSink& sink) override;
    void Cancel() override { m_cancelled = true; }

private:
    std::vector<std::filesystem::path> m_paths;
    ProgressFn m_progress;
    std::atomic<bool> m_cancelled{false};
};
