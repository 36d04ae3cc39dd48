// The days to remember told once a day at start-up, by the desktop's notification service
// (org.freedesktop.Notifications on the session bus). Where nothing answers, nothing is told
// and nobody is bothered.
#pragma once

#include <QDBusConnection>
#include <filesystem>

#include "core/ole_date_time.h"

class CYubinoApp;

// Sends one notification listing the pals' days to remember from `today`, unless there are
// none, the day was already told (`stampFile` holds the day last told), or no notification
// service is on `bus`. True when it was sent; then `stampFile` remembers today.
bool NotifyDaysToRemember(const CYubinoApp& app, QDBusConnection bus, const std::filesystem::path& stampFile,
                          const COleDateTime& today);

// Where the day last told is kept: $XDG_STATE_HOME/yubino/days-told (~/.local/state);
// empty when neither that nor $HOME is set.
std::filesystem::path DaysToldStampFile();

// Whether a session bus is there to ask, without starting one (libdbus would launch a bus
// for an X display that has none).
bool HasSessionBus();
