// One update the whole way, with every real part: the Updater over the platform's engine, a local
// HTTPS server serving a signed feed and a release archive made as the release tools make them,
// the engine's own dialog answered by a click, and a portable installation on disk that is
// replaced. The restart is recorded instead of carried out.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "archive_writer.hpp"
#include "folder_contents.hpp"
#include "https_fixture.hpp"
#include "jolstrand/log.hpp"
#include "jolstrand/release_signing.hpp"
#include "platform/linux/update/linux_update_engine.hpp"
#include "platform/linux/update/update_dialog.hpp"
#include "program_info.hpp"
#include "updater.hpp"
#include "visible_window.hpp"

namespace jolstrand {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::visibleTopLevel;
using Entry = testing::ArchiveEntry;

std::string infoPlist(const std::string& build, const std::string& extraKeys = {}) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
         "<key>CFBundleVersion</key><string>" +
         build + "</string>" + extraKeys + "</dict></plist>\n";
}

constexpr char layout[] = "bin\nbin/jolstrand\nlib\nlib/jolstrand\nshare\nshare/jolstrand\n";

class UpdateWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root / "bin");
    fs::create_directories(root / "lib" / "jolstrand");
    fs::create_directories(root / "share" / "jolstrand");
    std::ofstream(root / "bin" / "jolstrand") << "#!/bin/sh\necho 1.0\n";
    fs::permissions(root / "bin" / "jolstrand", fs::perms::owner_exec, fs::perm_options::add);
    std::ofstream(root / "share" / "jolstrand" / "Info.plist") << infoPlist("10");
    std::ofstream(root / "share" / "jolstrand" / "portable-layout") << layout;
  }

  // Serves the release of build 11 and a feed for it; tamper changes the archive once signed.
  void publish(bool tamper) {
    const fs::path archive = served / "Jolstrand-1.1-linux.tar.gz";
    const std::string top = "Jolstrand-1.1-linux-x86_64/";
    testing::writeArchive(
        archive.string(),
        {{.name = top, .kind = Entry::Kind::folder, .mode = 0755},
         {.name = top + "bin/", .kind = Entry::Kind::folder, .mode = 0755},
         {.name = top + "bin/jolstrand",
          .contents = "#!/bin/sh\n[ \"$1\" = --self-test ] && echo 'Jolstrand 1.1 (build 11)' || "
                      "echo 1.1\n",
          .mode = 0755},
         {.name = top + "lib/jolstrand/modules/jolstrand-launcher.so", .contents = "module"},
         {.name = top + "share/jolstrand/Info.plist", .contents = infoPlist("11")},
         {.name = top + "share/jolstrand/portable-layout", .contents = layout}});
    std::string bytes = testing::fileContents(archive);
    std::ofstream(served / "appcast.xml", std::ios::binary) << ReleaseSigning::appcast(
        bytes, "1.1", 11, "- Updates itself", server.url("/" + archive.filename().string()), "",
        std::chrono::system_clock::now(), key.privateKey);
    if (tamper) {
      bytes[bytes.size() / 2] ^= 0x01;
      std::ofstream(archive, std::ios::binary) << bytes;
    }
  }

  // The program as the launcher makes it, with its engine, started.
  Updater& startUpdater() {
    info.emplace(infoPlist("10",
                           "<key>CFBundleShortVersionString</key><string>1.0</string>"
                           "<key>JolstrandUpdateFeed</key><string>" +
                               server.url("/appcast.xml") +
                               "</string><key>SUPublicEDKey</key><string>" + key.publicKey +
                               "</string>"));
    updater.emplace(
        *info,
        [this](UpdateEngineEvents& events) {
          return makeLinuxUpdateEngine(
              events, {*info, (root / "bin" / "jolstrand").string(), settings},
              [this](std::string program, std::vector<std::string>, RestartRollback) {
                restarts.push_back(std::move(program));
              });
        },
        [] {});
    updater->start();
    EXPECT_TRUE(updater->isOn());
    return *updater;
  }

  std::string runningVersion() {
    FILE* output = popen((root / "bin" / "jolstrand").c_str(), "r");
    char line[32] = {};
    const bool read = output != nullptr && std::fgets(line, sizeof line, output) != nullptr;
    if (output != nullptr) pclose(output);
    return read ? line : "";
  }

  QTemporaryDir folder;
  fs::path root = fs::path(folder.path().toStdString()) / "Jolstrand";
  fs::path served = [this] {
    const fs::path path = fs::path(folder.path().toStdString()) / "served";
    fs::create_directories(path);
    return path;
  }();
  testing::HttpsServer server{served.string()};
  ReleaseSigning::KeyPair key = ReleaseSigning::makeKeyPair();
  QSettings settings{folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
  std::vector<std::string> log;
  LogCapture capture{[this](std::string_view line) { log.emplace_back(line); }};
  std::optional<ProgramInfo> info;
  std::optional<Updater> updater;
  std::vector<std::string> restarts;  ///< the programs the engine asked to restart into
};

TEST_F(UpdateWalk, TheMenusCheckInstallsTheNewVersionInPlace) {
  publish(false);
  startUpdater().checkForUpdates();
  ASSERT_TRUE(QTest::qWaitFor([] { return visibleTopLevel<UpdateDialog>() != nullptr; }, 20000));
  visibleTopLevel<UpdateDialog>()->installButton()->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return runningVersion() == "1.1\n"; }, 20000));
  EXPECT_EQ(testing::fileContents(root.string() + ".old-10/bin/jolstrand"),
            "#!/bin/sh\necho 1.0\n");
  EXPECT_THAT(restarts, ElementsAre((root / "bin" / "jolstrand").string()));
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(UpdateWalk, ATamperedArchiveIsRefusedAndTheInstallationKept) {
  publish(true);
  startUpdater().checkForUpdates();
  ASSERT_TRUE(QTest::qWaitFor([] { return visibleTopLevel<UpdateDialog>() != nullptr; }, 20000));
  visibleTopLevel<UpdateDialog>()->installButton()->click();
  ASSERT_TRUE(QTest::qWaitFor([] { return visibleTopLevel<QMessageBox>() != nullptr; }, 20000));
  EXPECT_THAT(log, ElementsAre("Jolstrand: update stopped: the archive's signature does not "
                               "verify with the public key"));
  EXPECT_EQ(runningVersion(), "1.0\n");
  EXPECT_THAT(restarts, IsEmpty());
  EXPECT_THAT(testing::namesIn(folder.path().toStdString()),
              ::testing::UnorderedElementsAre("Jolstrand", "served", "settings.ini"));
}

}  // namespace
}  // namespace jolstrand
