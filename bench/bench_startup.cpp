// Start-up as the user waits for it: Yubino launched as a process on 500 pals, half of them
// with a 640 x 480 photo (one file, as a shared picture) that the list and the map show,
// until its screenshot of the first window is written; against startup_plain, a Qt program
// of the same widgets that loads the same photo as Qt loads any picture and writes the same
// screenshot, and a bare QMainWindow. The three are launched in turn; the medians of their
// wall and CPU times and their peak RSS (the screenshot ends their lives) are reported.
//   bench_startup [runs]          31 runs unless told
//   bench_startup --prepare DIR   writes the file set and a copy of yubino into DIR and
//                                 prints the command a profiler runs
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/maps.h"
#include "core/silent_user_interface.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "storage/window_state.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kPhotoWidth = 640;
constexpr int kPhotoHeight = 480;
const char kKanto[] = "\x8A\xD6\x93\x8C";

// A photo-like picture: soft shapes over a gradient, with grain, so that it compresses
// as a photo does.
void WritePhoto(const fs::path& file, int seed) {
    std::mt19937 random(seed);
    QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, kPhotoHeight);
    sky.setColorAt(0, QColor::fromHsv(random() % 360, 120, 230));
    sky.setColorAt(1, QColor::fromHsv(random() % 360, 160, 90));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 12; ++i) {
        painter.setBrush(QColor::fromHsv(random() % 360, 140, 60 + random() % 190));
        painter.drawEllipse(random() % kPhotoWidth - 80, random() % kPhotoHeight - 80, 60 + random() % 200,
                            60 + random() % 200);
    }
    painter.end();
    for (int y = 0; y < kPhotoHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kPhotoWidth; ++x) {
            const int grain = static_cast<int>(random() % 17) - 8;
            const QColor c(line[x]);
            line[x] = qRgb(std::clamp(c.red() + grain, 0, 255), std::clamp(c.green() + grain, 0, 255),
                           std::clamp(c.blue() + grain, 0, 255));
        }
    }
    image.save(QString::fromStdString(file.string()), "JPEG", 85);
}

// 500 pals on one map, the even ones with the photo; Yubino's settings file beside its copy
// names their file, and the window state chooses their map and fills the recent files.
void Prepare(const fs::path& dir, const fs::path& yubino) {
    fs::create_directories(dir / "photos");
    fs::create_directories(dir / "state" / "yubino");
    fs::create_directories(dir / "config");
    const fs::path photo = dir / "photos" / "photo.jpg";
    WritePhoto(photo, 1);
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    for (int i = 0; i < kMaxPals; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        pal.m_strHandleName = "Handle " + std::to_string(i);
        pal.m_strMapName = kKanto;
        pal.m_nFaceIcon = i % 115;
        pal.m_nMapX = (i * 37) % 360;
        pal.m_nMapY = (i * 53) % 360;
        if (i % 2 == 0) {
            pal.m_strPictureFile = photo.string();
            pal.m_bUsePicture = 1;
        }
        app.AddPal(pal);
    }
    std::ofstream(dir / "pals.ybf", std::ios::binary) << WritePalData(app);
    std::ofstream(dir / "yubino.cfg", std::ios::binary) << (dir / "pals.ybf").string();
    WindowState state;
    state.map = FindMapIndex(kKanto);
    for (int i = 0; i < 8; ++i) AddRecentFile(state.recentFiles, dir / ("recent" + std::to_string(i) + ".ybf"));
    WriteWindowState(dir / "state" / "yubino" / "window-state", state);
    // A copy, so that the settings file beside it is the benchmark's and not the build's;
    // the features module goes along, as installed.
    fs::copy_file(yubino, dir / "yubino", fs::copy_options::overwrite_existing);
    fs::copy_file(yubino.parent_path() / "yubino-features.so", dir / "yubino-features.so",
                  fs::copy_options::overwrite_existing);
}

struct Launch {
    double ms = 0;
    double cpuMs = 0;  // user and system time: steadier than the wall clock on a busy machine
    long maxRssKb = 0;
};

double Ms(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

Launch Run(const std::vector<std::string>& command, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> env = extraEnv;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> argv, envp;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    // Qt's notes on standard error are no figures.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    clock_gettime(CLOCK_MONOTONIC, &end);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s ended with status %d\n", argv[0], status);
        std::exit(1);
    }
    return {(end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6,
            Ms(usage.ru_utime) + Ms(usage.ru_stime), usage.ru_maxrss};
}

template <typename T>
T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Series {
    std::vector<double> ms, cpuMs;
    std::vector<long> rss;
    void Add(const Launch& launch) {
        ms.push_back(launch.ms);
        cpuMs.push_back(launch.cpuMs);
        rss.push_back(launch.maxRssKb);
    }
    void Print(const char* name) const {
        std::printf("  %-45s %7.1f ms %7.1f ms %7.1f MB\n", name, Median(ms), Median(cpuMs), Median(rss) / 1024.0);
    }
};

std::vector<std::string> YubinoEnv(const fs::path& dir) {
    return {"QT_QPA_PLATFORM=offscreen", "HOME=" + dir.string(), "XDG_STATE_HOME=" + (dir / "state").string(),
            "XDG_CONFIG_HOME=" + (dir / "config").string(), "XDG_DATA_HOME=" + (dir / "data").string()};
}

}  // namespace

int main(int argc, char* argv[]) {
    const fs::path buildDir = fs::canonical("/proc/self/exe").parent_path().parent_path();
    const fs::path plainProgram = buildDir / "bench" / "startup_plain";
    if (argc >= 3 && std::string(argv[1]) == "--prepare") {
        const fs::path dir = fs::absolute(argv[2]);
        Prepare(dir, buildDir / "yubino");
        std::string env;
        for (const std::string& e : YubinoEnv(dir)) env += e + " ";
        std::printf("%s%s --screenshot %s\n", env.c_str(), (dir / "yubino").c_str(), (dir / "yubino.png").c_str());
        std::printf("QT_QPA_PLATFORM=offscreen %s %s %s\n", plainProgram.c_str(), dir.c_str(),
                    (dir / "plain.png").c_str());
        return 0;
    }
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 31;
    const fs::path dir = fs::temp_directory_path() / ("yubino-startup-" + std::to_string(::getpid()));
    Prepare(dir, buildDir / "yubino");
    const std::vector<std::string> offscreen{"QT_QPA_PLATFORM=offscreen"};
    const std::vector<std::string> yubino{(dir / "yubino").string(), "--screenshot", (dir / "yubino.png").string()};
    const std::vector<std::string> plain{plainProgram.string(), dir.string(), (dir / "plain.png").string()};
    const std::vector<std::string> minimal{plainProgram.string(), "--minimal", (dir / "minimal.png").string()};
    // One of each first, so that every program starts from the page cache.
    Run(yubino, YubinoEnv(dir));
    Run(plain, offscreen);
    Series y, p, m;
    for (int i = 0; i < runs; ++i) {
        m.Add(Run(minimal, offscreen));
        p.Add(Run(plain, offscreen));
        y.Add(Run(yubino, YubinoEnv(dir)));
    }
    fs::remove_all(dir);
    std::printf("launch to the screenshot of the first window, medians of %d runs (offscreen),\n", runs);
    std::printf("500 pals, 250 with a 640x480 photo                     wall        CPU   peak RSS\n");
    m.Print("bare QMainWindow:");
    p.Print("plain Qt program, the same widgets and photos:");
    y.Print("Yubino:");
    std::printf("  Yubino / plain program (target <= 1.2):        %7.2f    %7.2f\n", Median(y.ms) / Median(p.ms),
                Median(y.cpuMs) / Median(p.cpuMs));
    std::printf("  Yubino / bare window:                          %7.2f    %7.2f\n", Median(y.ms) / Median(m.ms),
                Median(y.cpuMs) / Median(m.cpuMs));
    return 0;
}
