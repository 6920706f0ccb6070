#include "environment.hpp"

#include <gtest/gtest.h>

#include "scoped_variable.hpp"

namespace jolstrand {
namespace {

using testing::ScopedVariable;

TEST(Environment, ReadsTheFoldersAndFallsBackUnderHome) {
  const ScopedVariable home("HOME", "/home/u");
  const ScopedVariable data("XDG_DATA_HOME", std::nullopt);
  const ScopedVariable config("XDG_CONFIG_HOME", "");  // empty counts as not set
  const ScopedVariable runtime("XDG_RUNTIME_DIR", "/run/user/7");
  const ScopedVariable root("JOLSTRAND_ROOT", "/fixture");
  const ScopedVariable trace("JOLSTRAND_TRACE", std::nullopt);
  const ScopedVariable desktop("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
  const ScopedVariable dataDirs("XDG_DATA_DIRS", "/usr/share");
  const ScopedVariable path("PATH", "/bin:/usr/bin");
  const ScopedVariable terminal("TERMINAL", std::nullopt);
  const Environment environment = Environment::fromProcess();
  EXPECT_EQ(environment.home, "/home/u");
  EXPECT_EQ(environment.dataHome, "/home/u/.local/share");
  EXPECT_EQ(environment.configHome, "/home/u/.config");
  EXPECT_EQ(environment.runtimeDir, "/run/user/7");
  EXPECT_EQ(environment.root, "/fixture");
  EXPECT_EQ(environment.traceFile, "");
  EXPECT_EQ(environment.currentDesktop, "ubuntu:GNOME");
  EXPECT_EQ(environment.dataDirs, "/usr/share");
  EXPECT_EQ(environment.searchPath, "/bin:/usr/bin");
  EXPECT_EQ(environment.terminal, "");
  const AppScanner::DesktopSettings desktopSettings = environment.desktopSettings();
  EXPECT_EQ(desktopSettings.dataHome, "/home/u/.local/share");
  EXPECT_EQ(desktopSettings.dataDirs, "/usr/share");
  EXPECT_EQ(desktopSettings.currentDesktops, "ubuntu:GNOME");
  EXPECT_EQ(desktopSettings.searchPath, "/bin:/usr/bin");

  const ScopedVariable ownData("XDG_DATA_HOME", "/data");
  const ScopedVariable ownConfig("XDG_CONFIG_HOME", "/config");
  EXPECT_EQ(Environment::fromProcess().dataHome, "/data");
  EXPECT_EQ(Environment::fromProcess().configHome, "/config");
}

TEST(Environment, TakesTheCollationLocaleFromTheFirstVariableSet) {
  const ScopedVariable all("LC_ALL", "");
  const ScopedVariable collate("LC_COLLATE", "sv_SE.UTF-8");
  const ScopedVariable lang("LANG", "de_DE.UTF-8");
  EXPECT_EQ(Environment::fromProcess().locale, "sv_SE.UTF-8");
  const ScopedVariable allSet("LC_ALL", "C");
  EXPECT_EQ(Environment::fromProcess().locale, "C");
}

}  // namespace
}  // namespace jolstrand
