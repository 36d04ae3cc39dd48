// A stand-in for the desktop's opener (xdg-open), first on PATH while it lives: it records
// every link it is given, one a line, and ends with the exit status it was made with.
#pragma once

#include <QTest>
#include <QtGlobal>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

class StandInOpener {
public:
    explicit StandInOpener(int exitStatus = 0) : m_oldPath(qgetenv("PATH")) {
        const std::filesystem::path script = m_dir / "xdg-open";
        WriteFileBytes(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + Log().string() + "'\nexit " +
                                   std::to_string(exitStatus) + "\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        qputenv("PATH", QByteArray::fromStdString(m_dir.path().string()) + ":" + m_oldPath);
    }
    ~StandInOpener() { qputenv("PATH", m_oldPath); }
    StandInOpener(const StandInOpener&) = delete;
    StandInOpener& operator=(const StandInOpener&) = delete;

    // The links given so far.
    std::vector<std::string> Links() const {
        std::vector<std::string> links;
        if (!std::filesystem::exists(Log())) return links;
        std::istringstream lines(ReadFileBytes(Log()));
        for (std::string line; std::getline(lines, line);) links.push_back(line);
        return links;
    }
    // Waits (running the event loop) until `count` links were given; false after a minute.
    bool WaitForLinks(std::size_t count) const {
        return QTest::qWaitFor([&] { return Links().size() >= count; }, 60000);
    }

private:
    std::filesystem::path Log() const { return m_dir / "opened.txt"; }

    TempDir m_dir;
    QByteArray m_oldPath;
};
