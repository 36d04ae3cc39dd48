// The window killed at random moments: each next start offers the recovery copy, which
// loads whole and holds every change made more than the recovery delay before the kill.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "storage/recovery_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr int kKills = 50;
constexpr int kDelayMs = 200;
constexpr int kChangeEveryMs = 25;
// Time for the worker to write the copy once the delay has passed, on a busy machine.
constexpr milliseconds kWriteAllowance{400};
constexpr const char* kCounter = "counter@example.jp";

struct Line {
    Clock::time_point at;  // when the test read it: never before the window printed it
    std::string text;
};

// The window as a child process, its standard output read line by line.
class Window {
public:
    Window(const std::vector<std::string>& env, const fs::path& dataFile) {
        int out[2];
        if (::pipe(out) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDERR_FILENO);
            ::close(out[0]);
            for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
            ::execl(YUBINO_GUI_PATH, YUBINO_GUI_PATH, dataFile.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        m_fd = out[0];
    }
    ~Window() {
        Kill();
        if (m_fd >= 0) ::close(m_fd);
    }

    // Lines read until `until`, or until one starting with `stopAt`.
    std::vector<Line> Read(Clock::time_point until, const std::string& stopAt = "\n") {
        std::vector<Line> lines;
        while (Clock::now() < until) {
            std::size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                lines.push_back({Clock::now(), m_buffer.substr(0, end)});
                m_buffer.erase(0, end + 1);
                if (lines.back().text.rfind(stopAt, 0) == 0) break;
                continue;
            }
            pollfd p{m_fd, POLLIN, 0};
            const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now()).count();
            if (::poll(&p, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0) continue;
            char chunk[4096];
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n <= 0) break;
            m_buffer.append(chunk, static_cast<std::size_t>(n));
        }
        return lines;
    }

    Clock::time_point Kill() {
        const Clock::time_point at = Clock::now();
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
        return at;
    }

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    std::string m_buffer;
};

long CounterIn(const std::vector<CPenPal>& pals) {
    for (const CPenPal& pal : pals)
        if (pal.m_strMailAddress == kCounter) return std::stol("0" + pal.m_strMemo);
    return 0;
}

TEST(CrashRecovery, KilledFiftyTimesLosesNothingOlderThanTheDelay) {
    TempDir dir;
    const fs::path dataFile = dir / "pals.ybf";
    {
        FakeUserInterface quiet;
        CYubinoApp app(quiet);
        for (int i = 0; i < 30; ++i) {
            CPenPal pal;
            pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
            pal.m_strLastMailText = std::string(20000, 'm');
            app.AddPal(pal);
        }
        WriteFileBytes(dataFile, WritePalData(app));
    }
    const std::string dataBytes = ReadFileBytes(dataFile);
    const std::vector<std::string> env = {
        "HOME=" + dir.path().string(),
        "XDG_STATE_HOME=" + (dir / "state").string(),
        "XDG_DATA_HOME=" + (dir / "data").string(),
        "XDG_CONFIG_HOME=" + (dir / "config").string(),
        "QT_QPA_PLATFORM=offscreen",
        "YUBINO_RECOVERY_DELAY_MS=" + std::to_string(kDelayMs),
        "YUBINO_SCRIPTED_CHANGES_MS=" + std::to_string(kChangeEveryMs),
    };
    const fs::path copy = RecoveryFileFor(dataFile, [&](const char* name) -> std::string {
        return std::string(name) == "XDG_STATE_HOME" ? (dir / "state").string() : "";
    });

    std::mt19937 random(20261207);
    long expectedStart = 0;
    int killsWithOldChanges = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        Window window(env, dataFile);
        const std::vector<Line> startLines = window.Read(Clock::now() + std::chrono::seconds(30), "start ");
        ASSERT_FALSE(startLines.empty()) << "the window did not start";
        const std::string& start = startLines.back().text;
        ASSERT_EQ(start.rfind("start ", 0), 0u) << start;
        EXPECT_EQ(startLines.front().text == "asked", kill > 0) << "the recovery copy is offered after a kill";
        EXPECT_EQ(std::stol(start.substr(6)), expectedStart) << "the copy was loaded whole";

        // The first run lives long enough to leave a copy behind.
        const int lifeMs = kill == 0 ? 1000 : 50 + static_cast<int>(random() % 1500);
        std::vector<Line> changes = window.Read(Clock::now() + milliseconds(lifeMs));
        const Clock::time_point killedAt = window.Kill();
        long required = 0;
        for (const Line& line : changes)
            if (line.text.rfind("change ", 0) == 0 && line.at + milliseconds(kDelayMs) + kWriteAllowance < killedAt)
                required = std::max(required, std::stol(line.text.substr(7)));

        const std::optional<std::vector<CPenPal>> recovered = ReadWholePalFile(copy);
        ASSERT_TRUE(recovered.has_value()) << "the recovery copy loads whole";
        EXPECT_EQ(recovered->size(), 31u);
        const long counter = CounterIn(*recovered);
        if (required > expectedStart) ++killsWithOldChanges;
        EXPECT_GE(counter, required) << "changes older than the delay are in the copy";
        ASSERT_EQ(InspectRecoveryFile(dataFile, copy), RecoveryState::Newer);
        expectedStart = counter;
    }
    EXPECT_EQ(ReadFileBytes(dataFile), dataBytes) << "killed windows never wrote the data file";
    EXPECT_GE(killsWithOldChanges, kKills / 3) << "most runs lived long enough for their changes to count";
}

}  // namespace
