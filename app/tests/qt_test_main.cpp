// GoogleTest with a Qt application on the offscreen platform, for widget tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "trace.hpp"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The latency trace is on for every test, so that what it records can be checked; tests find
  // the file through JOLSTRAND_TRACE, as the launcher's own users name it.
  const QTemporaryDir traceFolder;
  const QString traceFile = traceFolder.filePath(QStringLiteral("trace.log"));
  qputenv("JOLSTRAND_TRACE", traceFile.toUtf8());
  jolstrand::Trace::traceTo(traceFile.toStdString());
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
