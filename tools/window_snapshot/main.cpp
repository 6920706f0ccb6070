// Renders a companion window into a PNG for the documentation:
//   window_snapshot setup-held OUT.png
//   window_snapshot setup-confirmed OUT.png
//   window_snapshot about OUT.png
//   window_snapshot update OUT.png      (Linux: the update engine's dialog)
//   window_snapshot setup-on DESKTOP OUT.png   (Linux: one desktop's setup window in one state;
//                                               DESKTOP is a name of the table below)
// In this platform's texts; run it under Xvfb (docs/make_window_screenshots.sh).

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "about_window_controller.hpp"
#include "platform/workspace.hpp"
#include "setup_window_controller.hpp"
#if defined(__linux__)
#include "platform/hot_key_backend.hpp"
#include "platform/linux/update/update_dialog.hpp"
#endif

namespace {

int save(QWidget& window, const char* path) {
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  QTest::qWait(300);  // let the window settle at its final size
  if (!window.grab().save(QString::fromLocal8Bit(path))) {
    std::fprintf(stderr, "window_snapshot: couldn't write %s\n", path);
    return 1;
  }
  return 0;
}

#if defined(__linux__)
// The setup window as each desktop shows it, in the state worth a picture.
struct DesktopState {
  const char* name;
  jolstrand::ShortcutRoute route;
  bool held;
  std::int32_t status;
  jolstrand::ShortcutDetails details;
};

const DesktopState desktopStates[] = {
    {"gnome-awaiting",
     jolstrand::ShortcutRoute::gnomePortal,
     false,
     jolstrand::HotKeyBackend::awaitingDesktop,
     {}},
    {"gnome-other-key",
     jolstrand::ShortcutRoute::gnomePortal,
     false,
     jolstrand::HotKeyBackend::otherKey,
     {.trigger = QStringLiteral("Ctrl+Alt+Space")}},
    {"gnome-custom-add",
     jolstrand::ShortcutRoute::gnomeCustomShortcut,
     false,
     jolstrand::HotKeyBackend::noKey,
     {.command = QStringLiteral("jolstrand"), .userAddsShortcut = true}},
    {"gnome-custom-added",
     jolstrand::ShortcutRoute::gnomeCustomShortcut,
     false,
     0,
     {.userAddsShortcut = true}},
    {"kde-held",
     jolstrand::ShortcutRoute::kde,
     true,
     jolstrand::HotKeyBackend::refusedByDesktop,
     {.holder = QStringLiteral("Switch to Next Keyboard Layout (Keyboard Layout Switcher)")}},
    {"hyprland",
     jolstrand::ShortcutRoute::hyprlandPortal,
     false,
     jolstrand::HotKeyBackend::noKey,
     {}},
};

int snapshotDesktop(const QIcon& icon, const char* name, const char* path) {
  for (const DesktopState& state : desktopStates) {
    if (std::strcmp(state.name, name) != 0) continue;
    jolstrand::SetupWindowController setup(icon, jolstrand::linuxCompanionTexts(state.route).setup);
    setup.checkSpotlight = [&state] { return state.held; };
    setup.hotKeyStatus = [&state] { return state.status; };
    setup.shortcutDetails = [&state] { return state.details; };
    setup.show();
    return save(*setup.window(), path);
  }
  std::fprintf(stderr, "window_snapshot: no desktop state %s\n", name);
  return 2;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QIcon icon(QStringLiteral(":/jolstrand/jolstrand.svg"));
  const jolstrand::CompanionTexts& texts = jolstrand::platformCompanionTexts();
  const bool setupHeld = argc == 3 && std::strcmp(argv[1], "setup-held") == 0;
  const bool setupConfirmed = argc == 3 && std::strcmp(argv[1], "setup-confirmed") == 0;
  if (setupHeld || setupConfirmed) {
    jolstrand::SetupWindowController setup(icon, texts.setup);
    setup.checkSpotlight = [setupHeld] { return setupHeld; };
    setup.show();
    if (setupConfirmed) {
      setup.hotKeyWorked = true;  // as when the hot key fires while the window is open
      setup.update();
    }
    return save(*setup.window(), argv[2]);
  }
  if (argc == 3 && std::strcmp(argv[1], "about") == 0) {
    const auto workspace = jolstrand::makeWorkspace();
    jolstrand::AboutWindowController about(icon, versionOf(jolstrand::ProgramInfo::own()),
                                           texts.about, *workspace);
    about.show();
    return save(*about.window(), argv[2]);
  }
#if defined(__linux__)
  if (argc == 3 && std::strcmp(argv[1], "update") == 0) {
    const jolstrand::UpdateOffer offer{
        QStringLiteral("1.3"), QStringLiteral("1.2"),
        QStringLiteral("<p>Jolstrand now updates itself on Linux.</p>\n"
                       "<ul><li>Checks for a new version once a day</li><li>Installs only "
                       "updates signed by its maker</li><li>Faster start with large "
                       "catalogues</li></ul>\n"),
        QStringLiteral("13"), QStringLiteral("12")};
    jolstrand::UpdateDialog dialog(jolstrand::updateTexts(), offer, icon);
    dialog.show();
    return save(dialog, argv[2]);
  }
  if (argc == 4 && std::strcmp(argv[1], "setup-on") == 0) {
    return snapshotDesktop(icon, argv[2], argv[3]);
  }
#endif
  std::fprintf(stderr,
               "usage: window_snapshot setup-held|setup-confirmed OUT.png\n"
               "       window_snapshot about OUT.png\n"
               "       window_snapshot update OUT.png\n"
               "       window_snapshot setup-on DESKTOP OUT.png\n");
  return 2;
}
