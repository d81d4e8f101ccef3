#include "DesktopAppearance.h"
#include "Eventually.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

// A stand-in for the desktop portal's Settings interface on a private session bus.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
  public:
    quint32 FScheme = 1;

  public slots:
    QDBusVariant ReadOne(const QString& nameSpace, const QString& key) {
        if (nameSpace == "org.freedesktop.appearance" && key == "color-scheme") return QDBusVariant(FScheme);
        if (nameSpace == "org.freedesktop.appearance" && key == "accent-color") {
            QDBusArgument rgb;
            rgb.beginStructure();
            rgb << 0.0 << 0.5 << 1.0;
            rgb.endStructure();
            return QDBusVariant(QVariant::fromValue(rgb));
        }
        return QDBusVariant(QVariant(0u));
    }
};

namespace {

class DesktopAppearanceTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) return;
        FBus = new QProcess;
        FBus->start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (!FBus->waitForStarted() || !FBus->waitForReadyRead(10000)) return;
        FAddress = QString::fromUtf8(FBus->readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", FAddress.toUtf8());
        static int argc = 1;
        static char name[] = "platform_portal_tests";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);

        // The portal answers from its own thread, so a blocking call from this one
        // is served while it waits.
        FPortalThread = new QThread;
        FPortalThread->start();
        FPortal = new FakePortal;
        FPortal->moveToThread(FPortalThread);
        QDBusConnection portalBus = QDBusConnection::connectToBus(FAddress, "portal");
        portalBus.registerObject("/org/freedesktop/portal/desktop", FPortal, QDBusConnection::ExportAllSlots);
        portalBus.registerService("org.freedesktop.portal.Desktop");
    }
    static void TearDownTestSuite() {
        if (FPortalThread) {
            FPortalThread->quit();
            FPortalThread->wait();
        }
        if (FBus) {
            FBus->kill();
            FBus->waitForFinished();
        }
    }
    void SetUp() override {
        if (FAddress.isEmpty()) GTEST_SKIP() << "no dbus-daemon to run a private session bus";
    }

    static inline QProcess* FBus = nullptr;
    static inline QString FAddress;
    static inline QThread* FPortalThread = nullptr;
    static inline FakePortal* FPortal = nullptr;
};

TEST_F(DesktopAppearanceTest, ReadsSchemeAndAccentAndFollowsChanges) {
    const DesktopAppearance::State state = DesktopAppearance::Current();
    ASSERT_TRUE(state.Scheme.has_value());
    EXPECT_EQ(*state.Scheme, DesktopAppearance::ColorScheme::PreferDark);
    ASSERT_TRUE(state.Accent.has_value());
    EXPECT_EQ(*state.Accent, (DesktopAppearance::Rgb{0, 128, 255}));

    bool changed = false;
    QObject::connect(DesktopAppearance::Instance(), &DesktopAppearance::AppearanceChanged,
                     [&] { changed = true; });
    // The subscription is made from the event loop.
    QCoreApplication::processEvents();
    QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/portal/desktop",
                                                     "org.freedesktop.portal.Settings", "SettingChanged");
    signal << QString("org.freedesktop.appearance") << QString("color-scheme")
           << QVariant::fromValue(QDBusVariant(2u));
    QDBusConnection(QDBusConnection::connectToBus(FAddress, "portal")).send(signal);
    EXPECT_TRUE(Eventually([&] { return changed; }));
    EXPECT_EQ(DesktopAppearance::Current().Scheme, DesktopAppearance::ColorScheme::PreferLight);
}

TEST_F(DesktopAppearanceTest, AnOverrideReplacesThePortal) {
    DesktopAppearance::SetOverride(DesktopAppearance::State{});
    EXPECT_FALSE(DesktopAppearance::Current().Scheme.has_value());
    DesktopAppearance::SetOverride(std::nullopt);
    EXPECT_TRUE(DesktopAppearance::Current().Scheme.has_value());
}

} // namespace

#include "DesktopAppearanceTest.moc"
