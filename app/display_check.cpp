#include "display_check.hpp"

#include <unistd.h>

#include <QtGlobal>
#include <algorithm>
#include <cstdio>

namespace jolstrand {
namespace {

QtMessageHandler passOn = nullptr;

// Qt's only fatal message while the application object is made is that no platform plugin could
// be started; everything else goes where it went before.
void endWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (passOn != nullptr) passOn(type, context, message);
    return;
  }
  reportNoDisplay();
  _exit(1);
}

#ifndef __APPLE__
bool namesPlatform(const std::vector<std::string>& arguments) {
  return std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
    return argument == "-platform" || argument == "--platform";
  });
}
#endif

}  // namespace

bool sessionNamesDisplay(const Environment& environment,
                         const std::vector<std::string>& arguments) {
#ifdef __APPLE__
  (void)environment;
  (void)arguments;
  return true;
#else
  return !environment.display.empty() || !environment.waylandDisplay.empty() ||
         !environment.qtPlatform.empty() || namesPlatform(arguments);
#endif
}

void reportNoDisplay() {
  std::fprintf(stderr, "jolstrand: %s\n", noDisplayMessage);
  std::fflush(stderr);
}

DisplayConnectionGuard::DisplayConnectionGuard() {
  passOn = qInstallMessageHandler(endWithoutDisplay);
}

DisplayConnectionGuard::~DisplayConnectionGuard() {
  qInstallMessageHandler(passOn);
  passOn = nullptr;
}

}  // namespace jolstrand
