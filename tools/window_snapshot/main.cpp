// Renders a companion window into a PNG for the documentation:
//   window_snapshot setup-held OUT.png
//   window_snapshot setup-confirmed OUT.png
//   window_snapshot about OUT.png
//   window_snapshot update OUT.png      (Linux: the update engine's dialog)
// In this platform's texts; run it under Xvfb (docs/make_window_screenshots.sh).

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "about_window_controller.hpp"
#include "platform/workspace.hpp"
#include "setup_window_controller.hpp"
#if defined(__linux__)
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
#endif
  std::fprintf(stderr,
               "usage: window_snapshot setup-held|setup-confirmed OUT.png\n"
               "       window_snapshot about OUT.png\n"
               "       window_snapshot update OUT.png\n");
  return 2;
}
