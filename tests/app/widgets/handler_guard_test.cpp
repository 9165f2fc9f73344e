#include "app/widgets/handler_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/qt_printers.h"
#include "support/recording_message_boxes.h"

namespace tarvex {
namespace {

TEST(RunGuardedTest, AnErrorIsShownAndTheCallerGoesOn) {
  test::RecordingMessageBoxes boxes;
  bool after = false;
  RunGuarded(boxes, [] { throw std::runtime_error("無効なパターン [a"); });
  RunGuarded(boxes, [] { throw 42; });
  RunGuarded(boxes, [&] { after = true; });

  EXPECT_TRUE(after);
  ASSERT_EQ(boxes.Calls.size(), 2u);
  EXPECT_EQ(boxes.Calls[0].Kind, QStringLiteral("Error"));
  EXPECT_EQ(boxes.Calls[0].Title, QStringLiteral("Tarvex"));
  EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("無効なパターン [a"));
  EXPECT_EQ(boxes.Calls[1].Text, QStringLiteral("予期しないエラーが発生しました。"));
}

}  // namespace
}  // namespace tarvex
