#include "ui/days_notification.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>
#include <fstream>

#include "analysis/days_to_remember.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/app_paths.h"
#include "storage/atomic_file.h"
#include "ui/qt_text.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
constexpr int kMaxLines = 10;  // a notification is a glance, the analysis dialog has the rest

// The stamp is our own one-line file: a date, never longer than a few bytes.
std::string DayLastTold(const std::filesystem::path& stampFile) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(stampFile, error)) return {};
    std::ifstream in(stampFile, std::ios::binary);
    std::string day(16, '\0');
    in.read(day.data(), static_cast<std::streamsize>(day.size()));
    day.resize(static_cast<std::size_t>(in.gcount()));
    return day;
}

QString Body(const std::vector<DayToRemember>& days) {
    QStringList lines;
    for (const DayToRemember& day : days) {
        if (lines.size() == kMaxLines) break;
        lines << ToQString(DayToRememberText(day));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

bool NotifyDaysToRemember(const CYubinoApp& app, QDBusConnection bus, const std::filesystem::path& stampFile,
                          const COleDateTime& today) {
    const std::string todayText = today.Format("%Y-%m-%d");
    // Without a place to remember the day, the program would tell at every start.
    if (stampFile.empty() || DayLastTold(stampFile) == todayText) return false;
    const std::vector<DayToRemember> days = DaysToRemember(app.Pals(), today);
    if (days.empty() || !bus.isConnected()) return false;
    QDBusConnectionInterface* names = bus.interface();
    if (!names || !names->isServiceRegistered(kService).value()) return false;

    QDBusMessage notify = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                                         kService, QStringLiteral("Notify"));
    notify << QString::fromUtf8(texts::kAppName) << 0u << QStringLiteral("yubino")
           << QString::fromUtf8(texts::kRememberNotificationTitle) << Body(days) << QStringList() << QVariantMap()
           << -1;
    // Sent without waiting for the answer: start-up never waits on the desktop.
    if (!bus.send(notify)) return false;
    std::error_code error;
    std::filesystem::create_directories(stampFile.parent_path(), error);
    WriteFileAtomically(stampFile, todayText);
    return true;
}

std::filesystem::path DaysToldStampFile() {
    const std::string state = SystemEnv("XDG_STATE_HOME");
    if (!state.empty()) return std::filesystem::path(state) / "yubino" / "days-told";
    const std::string home = SystemEnv("HOME");
    if (home.empty()) return {};
    return std::filesystem::path(home) / ".local" / "state" / "yubino" / "days-told";
}

bool HasSessionBus() {
    if (!SystemEnv("DBUS_SESSION_BUS_ADDRESS").empty()) return true;
    const std::string runtime = SystemEnv("XDG_RUNTIME_DIR");
    std::error_code error;
    return !runtime.empty() && std::filesystem::exists(std::filesystem::path(runtime) / "bus", error);
}
