// The days to remember told through a session bus of the test's own (a real dbus-daemon),
// with a stand-in for the desktop's notification service.
#include "ui/days_notification.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>
#include <QTest>

#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

class CFakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList told;

public slots:
    uint Notify(const QString& appName, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        told << appName + "|" + summary + "|" + body;
        return static_cast<uint>(told.size());
    }
};

class DaysNotificationTest : public testing::Test {
protected:
    void SetUp() override {
        const QString socket = QString::fromStdString((dir / "bus").string());
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                      QStringLiteral("--address=unix:path=") + socket});
        if (!daemon.waitForStarted(60000)) GTEST_SKIP() << "dbus-daemon cannot start";
        // The address is printed once the bus takes connections; the socket file alone
        // can be there a moment before.
        ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.canReadLine(); }, 60000));
        address = QStringLiteral("unix:path=") + socket;

        CPenPal pal;
        pal.m_strHandleName = "taro";
        pal.m_strMailAddress = "taro@example.jp";
        pal.m_dtBirthday = COleDateTime(1990, 12, 21);
        ASSERT_EQ(app.AddPal(pal), 1);
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        daemon.kill();
        daemon.waitForFinished();
    }
    void StartService() {
        QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("service"));
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                           QDBusConnection::ExportAllSlots));
    }
    bool Notify(const COleDateTime& today) {
        return NotifyDaysToRemember(app, QDBusConnection::connectToBus(address, QStringLiteral("client")), stamp,
                                    today);
    }

    TempDir dir;
    QProcess daemon;
    QString address;
    CFakeNotifications fake;
    FakeUserInterface ui;
    CYubinoApp app{ui};
    std::filesystem::path stamp = dir / "state" / "days-told";
};

TEST_F(DaysNotificationTest, ToldOnceADay) {
    StartService();
    ASSERT_TRUE(Notify(COleDateTime(2026, 12, 20, 9, 0, 0)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.told.isEmpty(); }, 60000));
    EXPECT_EQ(fake.told.first(),
              QStringLiteral("Yubino|Yubino: 近づいている記念日|12/21（あと 1 日） taroさんの誕生日（36 才）"));
    EXPECT_EQ(ReadFileBytes(stamp), "2026-12-20");

    EXPECT_FALSE(Notify(COleDateTime(2026, 12, 20, 18, 0, 0))) << "a second start the same day";
    EXPECT_TRUE(Notify(COleDateTime(2026, 12, 21, 8, 0, 0))) << "the next day";
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.told.size() == 2; }, 60000));
    EXPECT_TRUE(fake.told.last().endsWith(QStringLiteral("12/21（今日） taroさんの誕生日（36 才）")));
}

TEST_F(DaysNotificationTest, NothingToldWithoutAServiceOrWithoutDays) {
    EXPECT_FALSE(Notify(COleDateTime(2026, 12, 20))) << "no notification service on the bus";
    EXPECT_FALSE(std::filesystem::exists(stamp)) << "so it is tried again at the next start";
    StartService();
    EXPECT_FALSE(Notify(COleDateTime(2026, 6, 1))) << "no day to remember";
    EXPECT_FALSE(NotifyDaysToRemember(
        app, QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"), QStringLiteral("nowhere")), stamp,
        COleDateTime(2026, 12, 20)))
        << "no bus at all";
    QTest::qWait(100);
    EXPECT_TRUE(fake.told.isEmpty());
}

}  // namespace

#include "days_notification_test.moc"
