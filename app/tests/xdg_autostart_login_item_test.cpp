// The Linux login item against real folders: the autostart entry it writes, reads and removes.

#include "platform/linux/xdg_autostart_login_item.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <string>
#include <tuple>

namespace jolstrand {
namespace {

std::string read(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

void write(const std::string& path, const std::string& bytes) {
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// What desktop-file-validate says about the file; empty when it has no complaint.
QString validatorComplaints(const std::string& path) {
  QProcess validator;
  validator.setProcessChannelMode(QProcess::MergedChannels);
  validator.start(QStringLiteral("desktop-file-validate"), {QString::fromStdString(path)});
  if (!validator.waitForFinished(30000)) return QStringLiteral("desktop-file-validate did not run");
  const QString output = QString::fromUtf8(validator.readAll());
  if (validator.exitStatus() != QProcess::NormalExit || validator.exitCode() != 0) {
    return QStringLiteral("failed: ") + output;
  }
  return output;
}

class AutostartLoginItem : public ::testing::Test {
 protected:
  std::string config() const { return folder.path().toStdString() + "/config"; }
  QTemporaryDir folder;
};

TEST_F(AutostartLoginItem, EnableWritesAValidEntryAndDisableRemovesIt) {
  XdgAutostartLoginItem item(config(), "/usr/bin/jolstrand");
  EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
  EXPECT_EQ(item.disable(), std::nullopt);  // nothing to remove is no failure

  // The autostart folder and the configuration folder itself do not exist yet.
  ASSERT_EQ(item.enable(), std::nullopt);
  EXPECT_EQ(item.entryPath(), config() + "/autostart/org.jolstrand.Jolstrand.desktop");
  EXPECT_EQ(item.place().toStdString(), config() + "/autostart");
  EXPECT_EQ(item.status(), LoginItemStatus::Enabled);
  const std::string entry = read(item.entryPath());
  EXPECT_NE(entry.find("\nExec=/usr/bin/jolstrand\n"), std::string::npos) << entry;
  EXPECT_EQ(entry.find("Hidden"), std::string::npos);
  EXPECT_EQ(validatorComplaints(item.entryPath()), "");

  ASSERT_EQ(item.enable(), std::nullopt);  // again: the same entry, still enabled
  EXPECT_EQ(read(item.entryPath()), entry);

  ASSERT_EQ(item.disable(), std::nullopt);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(item.entryPath())));
  EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
}

// Exec quotes and escapes the program; TryExec, a plain string, only escapes backslashes.
TEST_F(AutostartLoginItem, ProgramPathsWithReservedCharactersAreQuoted) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"/usr/bin/jolstrand", "Exec=/usr/bin/jolstrand", "TryExec=/usr/bin/jolstrand"},
      {"/opt/My Apps/jolstrand", R"(Exec="/opt/My Apps/jolstrand")",
       "TryExec=/opt/My Apps/jolstrand"},
      {"/opt/a\"b$c`d\\e/jolstrand", R"(Exec="/opt/a\\"b\\$c\\`d\\\\e/jolstrand")",
       R"(TryExec=/opt/a"b$c`d\\e/jolstrand)"},
      {"/opt/100%/jolstrand", "Exec=/opt/100%%/jolstrand", "TryExec=/opt/100%/jolstrand"},
  };
  for (const auto& [program, exec, tryExec] : cases) {
    XdgAutostartLoginItem item(config(), program);
    ASSERT_EQ(item.enable(), std::nullopt) << program;
    const std::string entry = read(item.entryPath());
    EXPECT_NE(entry.find("\n" + exec + "\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\n" + tryExec + "\n"), std::string::npos) << entry;
    EXPECT_EQ(validatorComplaints(item.entryPath()), "") << program;
    EXPECT_EQ(item.status(), LoginItemStatus::Enabled) << program;  // read back as this program
  }
  // A path that cannot be one Exec argument is refused before anything is written.
  for (const std::string program : {"jolstrand", "", "/opt/new\nline/jolstrand"}) {
    XdgAutostartLoginItem item(config(), program);
    ASSERT_EQ(item.disable(), std::nullopt);
    const std::optional<QString> refusal = item.enable();
    ASSERT_TRUE(refusal.has_value());
    EXPECT_TRUE(refusal->contains(QStringLiteral("autostart entry"))) << refusal->toStdString();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(item.entryPath())));
  }
}

// Enabled means an entry the desktop starts that starts this program.
TEST_F(AutostartLoginItem, OnlyAShownEntryThatStartsThisProgramIsEnabled) {
  XdgAutostartLoginItem item(config(), "/opt/My Apps/jolstrand");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(config() + "/autostart")));
  const std::string start = "[Desktop Entry]\nType=Application\nName=J\n";
  const std::string exec = "Exec=\"/opt/My Apps/jolstrand\"\n";
  const std::pair<std::string, LoginItemStatus> cases[] = {
      {start + exec, LoginItemStatus::Enabled},
      {start + exec + "Hidden=true\n", LoginItemStatus::NotRegistered},
      {start + exec + "X-GNOME-Autostart-enabled=false\n", LoginItemStatus::NotRegistered},
      {start + exec + "Hidden=false\n", LoginItemStatus::Enabled},
      // Hidden in another group is not the entry's.
      {start + exec + "[Desktop Action x]\nHidden=true\n", LoginItemStatus::Enabled},
      // Another program, as when a copy of the program has moved since it was enabled.
      {start + "Exec=/opt/old/jolstrand\n", LoginItemStatus::NotRegistered},
      {start + "Exec=\"/opt/My Apps/jolstrand2\"\n", LoginItemStatus::NotRegistered},
      {start, LoginItemStatus::NotRegistered},
      // Unreadable as a desktop entry: whatever the desktop does with it, it is not this program.
      {"not a desktop entry", LoginItemStatus::NotRegistered},
      {start + "Exec=/opt/My Apps/jolstrand\n", LoginItemStatus::NotRegistered},  // two words
  };
  for (const auto& [bytes, expected] : cases) {
    write(item.entryPath(), bytes);
    EXPECT_EQ(item.status(), expected) << bytes;
  }
  // Enabling replaces a hidden entry, or one for another program, with this program's.
  for (const std::string& bytes : {start + exec + "Hidden=true\n", start + "Exec=/opt/old/j\n"}) {
    write(item.entryPath(), bytes);
    ASSERT_EQ(item.enable(), std::nullopt);
    EXPECT_EQ(item.status(), LoginItemStatus::Enabled);
  }
}

// A desktop entry is UTF-8 throughout; a path in another encoding cannot be named in one.
TEST_F(AutostartLoginItem, RefusesAProgramPathThatIsNotUTF8) {
  XdgAutostartLoginItem item(config(), "/opt/caf\xe9/jolstrand");
  const std::optional<QString> refusal = item.enable();
  ASSERT_TRUE(refusal.has_value());
  EXPECT_TRUE(refusal->contains(QStringLiteral("UTF-8"))) << refusal->toStdString();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(item.entryPath())));
  EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
  EXPECT_EQ(autostartEntry("/opt/caf\xe9/jolstrand"), std::nullopt);
  EXPECT_NE(autostartEntry("/opt/caf\xc3\xa9/jolstrand"), std::nullopt);
}

TEST_F(AutostartLoginItem, RefusalsSayWhyAndLeaveNothingHalfWritten) {
  XdgAutostartLoginItem item(config(), "/usr/bin/jolstrand");
  // A regular file where the autostart folder belongs.
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(config())));
  write(config() + "/autostart", "in the way");
  std::optional<QString> refusal = item.enable();
  ASSERT_TRUE(refusal.has_value());
  EXPECT_TRUE(refusal->contains(QString::fromStdString(config() + "/autostart")))
      << refusal->toStdString();
  EXPECT_EQ(read(config() + "/autostart"), "in the way");
  EXPECT_EQ(
      QDir(QString::fromStdString(config())).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
      QStringList{"autostart"});
  EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);

  // A folder where the entry belongs: neither written over nor removed.
  QFile::remove(QString::fromStdString(config() + "/autostart"));
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(item.entryPath() + "/inside")));
  refusal = item.enable();
  ASSERT_TRUE(refusal.has_value());
  EXPECT_FALSE(refusal->isEmpty());
  EXPECT_EQ(QDir(QString::fromStdString(config() + "/autostart"))
                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            QStringList{"org.jolstrand.Jolstrand.desktop"});
  EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
  refusal = item.disable();
  ASSERT_TRUE(refusal.has_value());
  EXPECT_TRUE(QDir(QString::fromStdString(item.entryPath() + "/inside")).exists());
}

TEST(LoginItemFactory, IsTheAutostartEntryOnLinux) {
  QTemporaryDir folder;
  const std::unique_ptr<LoginItem> item =
      makeLoginItem(folder.path().toStdString(), "/usr/bin/jolstrand");
  ASSERT_EQ(item->enable(), std::nullopt);
  EXPECT_TRUE(QFile::exists(folder.path() + "/autostart/org.jolstrand.Jolstrand.desktop"));
  EXPECT_EQ(item->status(), LoginItemStatus::Enabled);
}

}  // namespace
}  // namespace jolstrand
