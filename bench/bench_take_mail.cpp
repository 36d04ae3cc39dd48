// `yubino-cli take-mail` over an mbox, measured per process (CPU of the child, from wait4):
// 10,000 mails (from 500 pals and 1,000 senders no pal has) taken into an empty archive
// and into one that already holds 200,000 mails of the same pals. Target: the full
// archive costs at most 1.25 times the empty one. Medians of three runs each.
//   bench_take_mail [--dir DIR] [--mails N] [--stored N] [--runs N] [--cli PATH]
//   bench_take_mail --long N [--dir DIR]   one run over an mbox of N mails, telling the
//                                          rate and the child's memory every 10 seconds
//   bench_take_mail --prepare OUT [...]    writes pals.ybf, pals.mails.sqlite (the stored
//                                          archive) and mails.mbox into OUT, so that a
//                                          profiler can run one child: yubino-cli take-mail
//                                          OUT/pals.ybf OUT/mails.mbox
// --cli runs another build's yubino-cli, for a comparison in the same run and machine state.
// The stored archive and the mboxes are made once in DIR (default "bench_take_mail" in the
// working directory) and reused by later runs.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "archive/mail_archive.h"
#include "core/silent_user_interface.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"

namespace fs = std::filesystem;
extern char** environ;

namespace {

constexpr int kPals = 500;
constexpr int kStrangers = 1000;

std::string g_cli = YUBINO_CLI;

std::string Pal(int i) { return "pal" + std::to_string(i) + "@example.jp"; }

std::string Body(std::mt19937& random) {
    static const char* pieces[] = {"こんにちは",
                                   "お元気ですか",
                                   "今日は",
                                   "天気がよくて",
                                   "散歩に行きました",
                                   "週末の予定",
                                   "映画を見て",
                                   "手紙",
                                   "返事が遅くなって",
                                   "ごめんなさい",
                                   "京都",
                                   "写真を送ります",
                                   "また",
                                   "ね",
                                   "。",
                                   "、"};
    std::string body;
    while (body.size() < 600) {
        body += pieces[random() % std::size(pieces)];
        if (random() % 10 == 0) body += "\n";
    }
    return body + "\n";
}

// Mail i of the mbox: four in five from a pal, the rest from a sender no pal has; dates
// after every stored mail's.
void WriteMboxMail(std::ofstream& out, long i, std::mt19937& random) {
    const std::string from =
        i % 5 == 4 ? "friend" + std::to_string(i % kStrangers) + "@example.com" : Pal(static_cast<int>(i % kPals));
    const long minutes = i;
    char date[64];
    std::snprintf(date, sizeof date, "%02ld %s 2026 %02ld:%02ld:00 +0900", 1 + (minutes / 1440) % 28,
                  (minutes / 1440 / 28) % 2 ? "Nov" : "Oct", (minutes / 60) % 24, minutes % 60);
    out << "From " << from << " Mon Oct  5 10:00:00 2026\n"
        << "From: " << from << "\nTo: me@example.jp\nSubject: note " << i << "\nDate: " << date << "\nMessage-ID: <take"
        << i << "@bench>\nMIME-Version: 1.0\n"
        << "Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n\n"
        << Body(random) << "\n";
}

fs::path Mbox(const fs::path& dir, long mails) {
    const fs::path path = dir / ("mails-" + std::to_string(mails) + ".mbox");
    if (fs::exists(path)) return path;
    std::mt19937 random(3);
    {
        std::ofstream out(path.string() + ".part", std::ios::binary);
        for (long i = 0; i < mails; ++i) WriteMboxMail(out, i, random);
    }
    fs::rename(path.string() + ".part", path);
    return path;
}

void WritePals(const fs::path& file) {
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    for (int i = 0; i < kPals; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = Pal(i);
        pal.m_strHandleName = "Pal " + std::to_string(i);
        pal.m_dtLastMail = COleDateTime(2024, 1, 1 + i % 28, 9, 0, 0);
        pal.m_strLastMailText = "last mail of pal " + std::to_string(i);
        app.AddPal(pal);
    }
    std::ofstream(file, std::ios::binary) << WritePalData(app);
}

// `count` mails of the pals in batches of 1,000, dated before the mbox's; the day's damage
// check is marked done, so that the runs time the intake only.
fs::path StoredArchive(const fs::path& dir, int count) {
    const fs::path path = dir / ("stored-" + std::to_string(count) + ".mails.sqlite");
    if (fs::exists(path)) return path;
    const fs::path part = path.string() + ".part";
    fs::remove(part);
    CMailArchive archive;
    archive.Open(part, false);
    std::mt19937 random(5);
    for (int first = 0; first < count; first += 1000) {
        std::vector<MailRecord> batch;
        for (int i = first; i < std::min(count, first + 1000); ++i) {
            MailRecord mail;
            mail.pal = Pal(i % kPals);
            mail.direction = i % 3 == 0 ? MailDirection::Sent : MailDirection::Received;
            const int day = i / 200;
            mail.date = ArchiveDate(2015 + day / 365, 1 + (day % 365) / 31, 1 + (day % 365) % 28, i % 24, i % 60, 0);
            mail.subject = "stored " + std::to_string(i);
            mail.body = Body(random);
            mail.messageId = "stored" + std::to_string(i) + "@bench";
            mail.source = "bench";
            batch.push_back(std::move(mail));
        }
        archive.Store(batch);
    }
    archive.RecordCheck(CalendarDay::Today().Format());
    archive.Close();
    fs::rename(part, path);
    return path;
}

struct ChildRun {
    double cpuSeconds = 0;
    double wallSeconds = 0;
    long maxRssKb = 0;
    int status = 0;
};

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

ChildRun Wait(pid_t pid, std::chrono::steady_clock::time_point start) {
    ChildRun run;
    rusage usage{};
    if (wait4(pid, &run.status, 0, &usage) != pid) run.status = -1;
    run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.maxRssKb = usage.ru_maxrss;
    return run;
}

// A fresh copy of the pals and of the archive (none: an empty one), then take-mail.
ChildRun TakeMail(const fs::path& dir, const fs::path& mbox, const fs::path& storedArchive) {
    const fs::path work = dir / "run";
    fs::remove_all(work);
    fs::create_directories(work);
    WritePals(work / "pals.ybf");
    if (!storedArchive.empty()) fs::copy_file(storedArchive, CMailArchive::PathFor(work / "pals.ybf"));
    const auto start = std::chrono::steady_clock::now();
    return Wait(Spawn({g_cli, "take-mail", (work / "pals.ybf").string(), mbox.string()}), start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    double cpu = 0, wall = 0, rssMb = 0;
};

Figures Measure(const fs::path& dir, const fs::path& mbox, const fs::path& stored, int runs) {
    std::vector<double> cpu, wall, rss;
    for (int i = 0; i < runs; ++i) {
        const ChildRun run = TakeMail(dir, mbox, stored);
        if (run.status != 0) std::fprintf(stderr, "take-mail ended with status %d\n", run.status);
        cpu.push_back(run.cpuSeconds);
        wall.push_back(run.wallSeconds);
        rss.push_back(static_cast<double>(run.maxRssKb) / 1024.0);
    }
    return {Median(cpu), Median(wall), Median(rss)};
}

// A line of /proc/PID/status in MB ("RssAnon": the heap and stacks; "RssFile": the
// archive's pages mapped for reading, which SQLite caps), and how far the child has read `file`.
double StatusMb(pid_t pid, const std::string& key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(key + ":")) return std::atof(line.c_str() + key.size() + 1) / 1024.0;
    return 0;
}

long long ReadPosition(pid_t pid, const fs::path& file) {
    std::error_code ec;
    const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
    for (const fs::directory_entry& fd : fs::directory_iterator(fds, ec)) {
        if (fs::read_symlink(fd.path(), ec) != file) continue;
        std::ifstream info("/proc/" + std::to_string(pid) + "/fdinfo/" + fd.path().filename().string());
        std::string key;
        long long position = 0;
        info >> key >> position;
        return position;
    }
    return -1;
}

int RunLong(const fs::path& dir, long mails) {
    std::printf("writing an mbox of %ld mails...\n", mails);
    const fs::path mbox = fs::absolute(Mbox(dir, mails));
    const double bytes = static_cast<double>(fs::file_size(mbox));
    const fs::path work = dir / "run";
    fs::remove_all(work);
    fs::create_directories(work);
    WritePals(work / "pals.ybf");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Spawn({g_cli, "take-mail", (work / "pals.ybf").string(), mbox.string()});
    std::thread watch([&] {
        double lastMails = 0, lastSeconds = 0;
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(10));
            const long long position = ReadPosition(pid, mbox);
            if (position < 0) return;
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const double done = static_cast<double>(mails) * static_cast<double>(position) / bytes;
            std::printf("%6.0f s  ~%8.0f mails  %6.0f mails/s  RSS anonymous %6.1f MB, file %6.1f MB\n", seconds, done,
                        (done - lastMails) / (seconds - lastSeconds), StatusMb(pid, "RssAnon"),
                        StatusMb(pid, "RssFile"));
            std::fflush(stdout);
            lastMails = done;
            lastSeconds = seconds;
        }
    });
    const ChildRun run = Wait(pid, start);
    watch.join();
    std::printf("status %d: %ld mails in %.0f s wall, %.0f s CPU (%.0f mails/s CPU); peak RSS %.1f MB\n", run.status,
                mails, run.wallSeconds, run.cpuSeconds, static_cast<double>(mails) / run.cpuSeconds,
                static_cast<double>(run.maxRssKb) / 1024.0);
    return run.status == 0 ? 0 : 1;
}

long Option(int argc, char* argv[], const std::string& name, long fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) return std::atol(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char* argv[]) {
    fs::path dir = "bench_take_mail";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--dir") dir = argv[i + 1];
        if (std::string(argv[i]) == "--cli") g_cli = argv[i + 1];
    }
    fs::create_directories(dir);
    dir = fs::absolute(dir);
    if (const long mails = Option(argc, argv, "--long", 0); mails > 0) return RunLong(dir, mails);

    const long mails = Option(argc, argv, "--mails", 10000);
    const int stored = static_cast<int>(Option(argc, argv, "--stored", 200000));
    const int runs = static_cast<int>(std::max(1L, Option(argc, argv, "--runs", 3)));
    std::printf("making the mbox of %ld mails and the archive of %d...\n", mails, stored);
    std::fflush(stdout);
    const fs::path mbox = Mbox(dir, mails);
    const fs::path storedArchive = StoredArchive(dir, stored);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) != "--prepare") continue;
        const fs::path out = argv[i + 1];
        fs::create_directories(out);
        WritePals(out / "pals.ybf");
        fs::copy_file(storedArchive, out / "pals.mails.sqlite", fs::copy_options::overwrite_existing);
        fs::copy_file(mbox, out / "mails.mbox", fs::copy_options::overwrite_existing);
        return 0;
    }
    const Figures empty = Measure(dir, mbox, {}, runs);
    const Figures full = Measure(dir, mbox, storedArchive, runs);
    std::printf("take-mail of %ld mails, medians of %d runs (CPU of the child)\n", mails, runs);
    std::printf("  into an empty archive:        %7.2f s CPU  %7.2f s wall  peak RSS %6.1f MB\n", empty.cpu, empty.wall,
                empty.rssMb);
    std::printf("  into one of %7d mails:     %7.2f s CPU  %7.2f s wall  peak RSS %6.1f MB\n", stored, full.cpu,
                full.wall, full.rssMb);
    std::printf("  full / empty (target <= 1.25): %6.2f\n", full.cpu / empty.cpu);
    return 0;
}
