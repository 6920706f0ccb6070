#include "panel_layout.hpp"

#include <gtest/gtest.h>

namespace jolstrand::layout {
namespace {

TEST(PanelLayout, GrowsDownwardFromAFixedTopEdge) {
  EXPECT_EQ(panelHeight(0), 56);
  EXPECT_EQ(panelHeight(1), 108);
  EXPECT_EQ(panelHeight(9), 428);
  const QRect visible(0, 25, 1440, 875);
  EXPECT_EQ(panelFrame(visible, 1).top(), panelFrame(visible, 9).top());
  EXPECT_EQ(panelFrame(visible, 9).bottom() + 1, panelFrame(visible, 9).top() + 428);
  EXPECT_EQ(panelFrame(visible, 0).center().x(), visible.center().x());
}

TEST(PanelLayout, PutsTheTopEdgeAThirdDownButNeverNearTheTop) {
  // In bottom-left coordinates: 900 high with top 900 → 656; 150 high → 130 (20 below the top).
  const auto bottomLeftTop = [](int height) {
    const QRect screen(0, 0, 1000, height);
    return height - topEdge(screen);
  };
  EXPECT_EQ(bottomLeftTop(900), 656);
  EXPECT_EQ(bottomLeftTop(150), 130);
  EXPECT_EQ(topEdge(QRect(0, 100, 800, 900)), 100 + 300 - 56);  // a screen below another
}

TEST(PanelLayout, PlacesRowsUnderTheSearchBar) {
  EXPECT_EQ(rowFrame(0), QRect(0, 62, 640, 40));
  EXPECT_EQ(rowFrame(8).bottom() + 1 + rowMargin, panelHeight(9));
  EXPECT_EQ(separatorFrame(), QRect(0, 56, 640, 1));
  // The frames the bottom-left layout gives, converted: field (48, b + 12, 576, 32) with b = 0.
  EXPECT_EQ(fromBottomLeft(QRect(48, 12, 576, 32), 56), fieldFrame());
  EXPECT_EQ(fromBottomLeft(QRect(0, 428 - 56 - 6 - 40, 640, 40), 428), rowFrame(0));
}

}  // namespace
}  // namespace jolstrand::layout
