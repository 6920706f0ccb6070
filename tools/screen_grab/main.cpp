// Saves part of the X screen as it is now into a PNG, for the documentation's pictures of the
// running launcher (docs/make_menu_screenshot.sh):
//   screen_grab OUT.png X Y WIDTH HEIGHT

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 6) {
    std::fprintf(stderr, "usage: screen_grab OUT.png X Y WIDTH HEIGHT\n");
    return 2;
  }
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
      0, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "screen_grab: couldn't write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
