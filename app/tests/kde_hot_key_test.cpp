// The KDE backend against KDE's own kglobalaccel (kglobalaccel5, offscreen) on a bus of the
// test's own, whose service folder is empty, so that nothing else is started on it.

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/linux/desktop_hot_keys.hpp"
#include "platform/linux/kglobalaccel.hpp"

namespace jolstrand {
namespace {

const QString appId = QStringLiteral("org.jolstrand.Jolstrand");
const QStringList otherAction = {QStringLiteral("org.test.Layouts"), QStringLiteral("switch"),
                                 QStringLiteral("Keyboard Layouts"),
                                 QStringLiteral("Switch Layout")};
constexpr int ctrlAltSpace = 0x04000000 | 0x08000000 | 0x20;

class KdeHotKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    QFile config(folder.filePath(QStringLiteral("bus.conf")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral(
                     "<busconfig><type>session</type><listen>unix:tmpdir=%1</listen>"
                     "<servicedir>%1/services</servicedir><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                     "<allow own=\"*\"/></policy></busconfig>")
                     .arg(folder.path())
                     .toUtf8());
    config.close();
    QDir(folder.path()).mkdir(QStringLiteral("services"));
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
               QStringLiteral("--config-file=") + config.fileName()});
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine().trimmed());
    connection = QDBusConnection::connectToBus(address, QStringLiteral("kde-test"));
    ASSERT_TRUE(connection.isConnected());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), folder.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       folder.filePath(QStringLiteral("config")));
    kglobalaccel.setProcessEnvironment(environment);
    kglobalaccel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    kglobalaccel.start(QStringLiteral("kglobalaccel5"), {});
    ASSERT_TRUE(kglobalaccel.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return connection.interface()->isServiceRegistered(KGlobalAccel::service).value(); },
        15000));
  }

  void TearDown() override {
    kglobalaccel.kill();
    kglobalaccel.waitForFinished();
    connection = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(QStringLiteral("kde-test"));
    bus.kill();
    bus.waitForFinished();
  }

  QDBusMessage call(const QString& method, const QList<QVariant>& arguments,
                    const QString& path = KGlobalAccel::path,
                    const QString& interface = KGlobalAccel::interface) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(KGlobalAccel::service, path, interface, method);
    message.setArguments(arguments);
    return connection.call(message);
  }

  // Another program takes Meta+Space for itself, as KDE's layout switcher may.
  void takeMetaSpace() {
    call(QStringLiteral("doRegister"), {otherAction});
    const QVariant keys = QVariant::fromValue(QList<int>{KGlobalAccel::metaSpace});
    call(QStringLiteral("setShortcut"), {otherAction, keys, KGlobalAccel::setPresent});
  }

  void invoke() {
    const QDBusReply<QDBusObjectPath> component = call(QStringLiteral("getComponent"), {appId});
    ASSERT_TRUE(component.isValid());
    call(QStringLiteral("invokeShortcut"), {shortcutId}, component.value().path(),
         KGlobalAccel::componentInterface);
  }

  QTemporaryDir folder;
  QProcess bus;
  QProcess kglobalaccel;
  QDBusConnection connection{QString()};
};

TEST_F(KdeHotKeyTest, TakesMetaSpaceAndShowsThePanelOnEachPress) {
  const auto hotKey = makeKdeHotKey(connection, appId);
  const auto check = makeKdeShortcutCheck(connection, appId);
  EXPECT_EQ(hotKey->registerKey(), 0);
  EXPECT_EQ(hotKey->registerKey(), 0);       // again: still one action
  EXPECT_FALSE(check->holdsCommandSpace());  // ours is no other holder
  QSignalSpy presses(hotKey.get(), &HotKeyBackend::pressed);
  invoke();
  ASSERT_TRUE(presses.wait(10000));
  EXPECT_EQ(presses.takeFirst().at(0).toString(), QString());

  // The user gives it other keys in System Settings; they are kept for the next start.
  QSignalSpy changes(hotKey.get(), &HotKeyBackend::statusChanged);
  call(QStringLiteral("setForeignShortcut"),
       {QStringList{appId, shortcutId, QStringLiteral("Jolstrand"),
                    QStringLiteral("Show Jolstrand")},
        QVariant::fromValue(QList<int>{ctrlAltSpace})});
  ASSERT_TRUE(changes.wait(10000));
  EXPECT_EQ(changes.takeFirst().at(0).toInt(), HotKeyBackend::otherKey);
  EXPECT_EQ(hotKey->trigger(), "Ctrl+Alt+Space");
  hotKey->unregisterKey();
  EXPECT_EQ(makeKdeHotKey(connection, appId)->registerKey(), HotKeyBackend::otherKey);
}

TEST_F(KdeHotKeyTest, AKeyAnotherProgramHoldsIsRefusedAndItsHolderNamed) {
  takeMetaSpace();
  const auto hotKey = makeKdeHotKey(connection, appId);
  const auto check = makeKdeShortcutCheck(connection, appId);
  EXPECT_EQ(hotKey->registerKey(), HotKeyBackend::refusedByDesktop);
  EXPECT_TRUE(check->holdsCommandSpace());
  EXPECT_EQ(check->holder(), "Switch Layout (Keyboard Layouts)");

  // The other program lets go: the next registration (the controller's, when the check turns
  // free) takes the key.
  call(QStringLiteral("unRegister"), {otherAction});
  EXPECT_FALSE(check->holdsCommandSpace());
  EXPECT_EQ(hotKey->registerKey(), 0);
}

}  // namespace
}  // namespace jolstrand
