#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// The test binary is also run without the test's environment to list its tests, so the
// platform plugin must be chosen here.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
