// GoogleTest with a Qt core application, for tests of Qt services that need an event loop but
// no windows.

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  const QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
