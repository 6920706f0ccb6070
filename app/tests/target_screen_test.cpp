#include "target_screen.hpp"

#include <gtest/gtest.h>

namespace jolstrand {
namespace {

const QRect screenA(0, 0, 1000, 800);
const QRect screenB(1000, 0, 1000, 800);

ScreenSnapshot withWindows(std::vector<WindowInfo> windows, QPoint pointer = {1500, 400}) {
  return {42, std::move(windows), {screenA, screenB}, pointer};
}

WindowInfo window(QRect bounds, qint64 pid = 42, int layer = 0) {
  return {pid, layer, bounds};
}

TEST(TargetScreen, TakesTheScreenShowingMostOfTheFrontWindow) {
  EXPECT_EQ(TargetScreen::find(withWindows({window({700, 100, 1000, 500})})), 1U);  // 70 % on B
  EXPECT_EQ(TargetScreen::find(withWindows({window({300, 100, 1000, 500})})), 0U);
  EXPECT_EQ(TargetScreen::find(withWindows({window({500, 100, 1000, 500})})), 0U);  // a tie
  // Off every screen: the next qualifying window decides.
  EXPECT_EQ(
      TargetScreen::find(withWindows({window({5000, 0, 300, 300}), window({10, 10, 300, 300})})),
      0U);
}

TEST(TargetScreen, IgnoresSmallWindowsOtherProcessesAndOtherLayers) {
  const QPoint overA(10, 10);
  EXPECT_EQ(TargetScreen::find(withWindows({window({1100, 0, 40, 400})}, overA)), 0U);
  EXPECT_EQ(TargetScreen::find(withWindows({window({1100, 0, 400, 400}, 7)}, overA)), 0U);
  EXPECT_EQ(TargetScreen::find(withWindows({window({1100, 0, 400, 400}, 42, 3)}, overA)), 0U);
  EXPECT_EQ(TargetScreen::find(withWindows({{42, std::nullopt, QRect(1100, 0, 400, 400)}}, overA)),
            0U);
  ScreenSnapshot noList = withWindows({}, overA);
  noList.windows.reset();
  EXPECT_EQ(TargetScreen::find(noList), 0U);
}

TEST(TargetScreen, FindsAScreenAboveThePrimary) {
  const QRect above(0, -900, 1600, 900);
  const ScreenSnapshot snapshot{
      42, std::vector{window({100, -800, 600, 400})}, {screenA, above}, {10, 10}};
  EXPECT_EQ(TargetScreen::find(snapshot), 1U);
}

TEST(TargetScreen, HasNoAnswerWithThePointerOutsideEveryScreen) {
  EXPECT_EQ(TargetScreen::find(withWindows({}, {5000, 5000})), std::nullopt);
  EXPECT_EQ(TargetScreen::find({std::nullopt, std::nullopt, {}, {0, 0}}), std::nullopt);
}

}  // namespace
}  // namespace jolstrand
