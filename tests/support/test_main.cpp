#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

// The test binary is also run without the test's environment to list its tests, so the
// platform plugin must be chosen here.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Every copy and delete keeps a journal; none of a test may land among the user's.
  char state[] = "/tmp/tarvex-test-state-XXXXXX";
  if (mkdtemp(state) == nullptr) return 1;
  setenv("XDG_STATE_HOME", state, 1);
  // And the content check's digest cache none among the user's either.
  const std::string cache = std::string(state) + "/cache";
  setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int failed = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(state, ignored);
  return failed;
}
