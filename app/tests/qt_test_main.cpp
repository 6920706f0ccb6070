// GoogleTest with a Qt application on the offscreen platform, for widget tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The latency trace is on for every test, so that what it records can be checked.
  const QTemporaryDir traceFolder;
  qputenv("JOLSTRAND_TRACE", traceFolder.filePath(QStringLiteral("trace.log")).toUtf8());
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
