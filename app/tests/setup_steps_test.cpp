#include "setup_steps.hpp"

#include <gtest/gtest.h>

namespace jolstrand {
namespace {

using Step2 = SetupStep2State;
using Role = ColorRole;

struct Row {
  bool holds;
  std::int32_t status;
  bool worked;
  Step2 step2;
  const char* symbol;
  Role tint;
};

// Every combination of the three inputs, with the statuses 0, a positive and a negative error.
const Row table[] = {
    {true, 0, false, Step2::blocked, "2.circle", Role::tertiaryLabel},
    {true, 10, false, Step2::blocked, "2.circle", Role::tertiaryLabel},
    {true, -9878, false, Step2::blocked, "2.circle", Role::tertiaryLabel},
    {true, 0, true, Step2::confirmed, "checkmark.circle.fill", Role::systemGreen},
    {true, 10, true, Step2::confirmed, "checkmark.circle.fill", Role::systemGreen},
    {true, -9878, true, Step2::confirmed, "checkmark.circle.fill", Role::systemGreen},
    {false, 0, false, Step2::ready, "2.circle", Role::label},
    {false, 10, false, Step2::refused, "exclamationmark.triangle.fill", Role::systemOrange},
    {false, -9878, false, Step2::refused, "exclamationmark.triangle.fill", Role::systemOrange},
    {false, 0, true, Step2::confirmed, "checkmark.circle.fill", Role::systemGreen},
    {false, 10, true, Step2::confirmed, "checkmark.circle.fill", Role::systemGreen},
    {false, -9878, true, Step2::confirmed, "checkmark.circle.fill", Role::systemGreen},
};

TEST(SetupView, DecidesBothStepsForEveryCombinationOfInputs) {
  const SetupTexts& texts = macOSCompanionTexts().setup;
  for (const Row& row : table) {
    SCOPED_TRACE(testing::Message()
                 << "holds " << row.holds << " status " << row.status << " worked " << row.worked);
    const SetupView view = setupView(row.holds, row.status, row.worked, texts);

    // Step 1 follows the shortcut alone and never changes its text colours.
    EXPECT_EQ(view.step1State, row.holds ? SetupStep1State::held : SetupStep1State::free);
    EXPECT_EQ(view.step1.symbol, row.holds ? "1.circle" : "checkmark.circle.fill");
    EXPECT_EQ(view.step1.tint, row.holds ? Role::label : Role::systemGreen);
    EXPECT_EQ(view.step1.title, row.holds ? texts.heldTitle : texts.freeTitle);
    EXPECT_EQ(view.step1.body, row.holds ? texts.heldBody : texts.freeBody);
    EXPECT_EQ(view.step1.titleColor, Role::label);
    EXPECT_EQ(view.step1.bodyColor, Role::secondaryLabel);
    EXPECT_EQ(view.settingsButtonVisible, row.holds);

    EXPECT_EQ(view.step2State, row.step2);
    EXPECT_EQ(view.step2.symbol, row.symbol);
    EXPECT_EQ(view.step2.tint, row.tint);
    // Dimmed while the shortcut is held, in every state, confirmed included.
    EXPECT_EQ(view.step2.titleColor, row.holds ? Role::tertiaryLabel : Role::label);
    EXPECT_EQ(view.step2.bodyColor, row.holds ? Role::tertiaryLabel : Role::secondaryLabel);
    EXPECT_EQ(view.returnPressesDone, row.step2 == Step2::confirmed);
  }
}

TEST(SetupView, PrintsTheRefusedStatusInSignedDecimal) {
  const SetupTexts& texts = macOSCompanionTexts().setup;
  EXPECT_EQ(setupView(false, -9878, false, texts).step2.body,
            "macOS refused the shortcut (error -9878). Another app may be using it. Quit "
            "Jolstrand from its menu bar item and open it again to retry.");
  EXPECT_EQ(setupView(false, 2147483647, false, linuxCompanionTexts().setup).step2.body,
            "The desktop refused the shortcut (error 2147483647). Another app may be using it. "
            "Quit Jolstrand from its tray icon and open it again to retry.");
  EXPECT_TRUE(setupView(false, -2147483647 - 1, false, texts)
                  .step2.body.contains(QStringLiteral("(error -2147483648)")));
}

TEST(ColorRoles, FollowThePalettesTextAndBrightness) {
  QPalette light;
  light.setColor(QPalette::Window, Qt::white);
  light.setColor(QPalette::WindowText, Qt::black);
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(30, 30, 30));
  dark.setColor(QPalette::WindowText, Qt::white);
  EXPECT_EQ(colorFor(Role::label, light).rgb(), QColor(Qt::black).rgb());
  EXPECT_EQ(colorFor(Role::secondaryLabel, dark).rgb(), QColor(Qt::white).rgb());
  // Ever fainter: label, secondary, tertiary.
  EXPECT_GT(colorFor(Role::label, light).alphaF(), colorFor(Role::secondaryLabel, light).alphaF());
  EXPECT_GT(colorFor(Role::secondaryLabel, light).alphaF(),
            colorFor(Role::tertiaryLabel, light).alphaF());
  EXPECT_NE(colorFor(Role::systemGreen, light), colorFor(Role::systemGreen, dark));
  EXPECT_NE(colorFor(Role::systemOrange, light), colorFor(Role::systemOrange, dark));
  EXPECT_EQ(colorFor(Role::link, light), light.color(QPalette::Link));
}

}  // namespace
}  // namespace jolstrand
