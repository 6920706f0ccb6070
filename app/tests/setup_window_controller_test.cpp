#include "setup_window_controller.hpp"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <vector>

#include "symbols.hpp"

namespace jolstrand {
namespace {

class SetupWindowTest : public ::testing::Test {
 protected:
  SetupWindowController setup{QIcon(QStringLiteral(":/jolstrand/application.svg")),
                              macOSCompanionTexts().setup};
  const SetupTexts& texts = macOSCompanionTexts().setup;

  template <class T = QLabel>
  T& view(const char* name) {
    T* found = setup.window()->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }
  QString symbol(const char* name) { return view(name).property("symbol").toString(); }
  QColor textColor(const char* name) { return view(name).palette().color(QPalette::WindowText); }
  QColor role(ColorRole role) { return colorFor(role, setup.window()->palette()); }
  bool buttonShown() { return view<QPushButton>("step1Button").isVisibleTo(setup.window()); }
};

TEST_F(SetupWindowTest, WithTheDefaultClosuresStepOneIsHeldAndStepTwoBlocked) {
  EXPECT_EQ(setup.window(), nullptr);  // built on first show
  setup.show();
  ASSERT_NE(setup.window(), nullptr);
  EXPECT_EQ(setup.window()->windowTitle(), "Set Up Command-Space");
  EXPECT_EQ(symbol("step1Icon"), "1.circle");
  EXPECT_EQ(view("step1Title").text(), texts.heldTitle);
  EXPECT_EQ(view("step1Body").text(), texts.heldBody);
  EXPECT_TRUE(buttonShown());
  EXPECT_EQ(symbol("step2Icon"), "2.circle");
  EXPECT_EQ(view("step2Title").text(), "Press Command-Space");
  EXPECT_EQ(view("step2Body").text(), texts.blockedBody);
  EXPECT_EQ(textColor("step2Title"), role(ColorRole::tertiaryLabel));
  EXPECT_EQ(textColor("step2Body"), role(ColorRole::tertiaryLabel));
  EXPECT_EQ(textColor("step1Title"), role(ColorRole::label));
  EXPECT_EQ(textColor("step1Body"), role(ColorRole::secondaryLabel));
}

TEST_F(SetupWindowTest, AConfirmationWhileTheShortcutIsHeldStaysDimmed) {
  setup.show();
  setup.hotKeyWorked = true;
  setup.update();
  EXPECT_EQ(symbol("step1Icon"), "1.circle");
  EXPECT_EQ(symbol("step2Icon"), "checkmark.circle.fill");
  EXPECT_EQ(view("step2Title").text(), "Command-Space opens Jolstrand");
  EXPECT_EQ(textColor("step2Title"), role(ColorRole::tertiaryLabel));
  EXPECT_EQ(textColor("step2Body"), role(ColorRole::tertiaryLabel));
}

TEST_F(SetupWindowTest, ARefusedStatusShowsOnlyOnceTheShortcutIsFree) {
  bool holds = true;
  setup.checkSpotlight = [&] { return holds; };
  setup.hotKeyStatus = [] { return -9878; };
  setup.show();
  EXPECT_EQ(view("step2Body").text(), texts.blockedBody);
  holds = false;
  setup.update();
  EXPECT_EQ(symbol("step1Icon"), "checkmark.circle.fill");
  EXPECT_EQ(view("step1Title").text(), "Spotlight's shortcut is off");
  EXPECT_FALSE(buttonShown());
  EXPECT_EQ(symbol("step2Icon"), "exclamationmark.triangle.fill");
  EXPECT_TRUE(view("step2Body").text().contains("(error -9878)"));
  EXPECT_EQ(textColor("step2Title"), role(ColorRole::label));
  EXPECT_EQ(textColor("step2Body"), role(ColorRole::secondaryLabel));
}

TEST_F(SetupWindowTest, AsksForSpotlightBeforeTheStatusAndFollowsThemEveryHalfSecond) {
  std::vector<QString> calls;
  bool holds = true;
  setup.checkSpotlight = [&] {
    calls.emplace_back("spotlight");
    return holds;
  };
  setup.hotKeyStatus = [&] {
    calls.emplace_back("status");
    return 0;
  };
  setup.show();
  ASSERT_EQ(calls, (std::vector<QString>{"spotlight", "status"}));
  holds = false;  // the user switched the shortcut off in the settings
  QTRY_COMPARE_WITH_TIMEOUT(symbol("step1Icon"), QString("checkmark.circle.fill"), 2000);
  EXPECT_EQ(view("step2Body").text(), texts.readyBody);
}

// Return, or the keypad's Enter.
TEST_F(SetupWindowTest, ReturnClosesTheWindowOnlyOnceSetupIsConfirmed) {
  setup.checkSpotlight = [] { return false; };
  for (const auto& [key, modifiers] :
       {std::pair(Qt::Key_Return, Qt::KeyboardModifiers()),
        std::pair(Qt::Key_Enter, Qt::KeyboardModifiers(Qt::KeypadModifier))}) {
    setup.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(setup.window()));
    QTest::keyClick(setup.window(), key, modifiers);
    EXPECT_TRUE(setup.window()->isVisible());
    EXPECT_FALSE(view<QPushButton>("doneButton").isDefault());
    setup.hotKeyWorked = true;
    setup.update();
    EXPECT_TRUE(view<QPushButton>("doneButton").isDefault());
    QTest::keyClick(setup.window(), key, modifiers);
    EXPECT_FALSE(setup.window()->isVisible()) << key;
    EXPECT_FALSE(setup.isRefreshing());
  }
}

TEST_F(SetupWindowTest, ShowingAgainReusesTheWindowRecentresItAndClearsTheConfirmation) {
  setup.show();
  QWidget* window = setup.window();
  QLabel* title = &view("step2Title");
  setup.hotKeyWorked = true;
  window->move(0, 0);
  setup.show();
  EXPECT_EQ(setup.window(), window);
  EXPECT_EQ(&view("step2Title"), title);
  EXPECT_FALSE(setup.hotKeyWorked);
  EXPECT_EQ(symbol("step2Icon"), "2.circle");
  const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((window->frameGeometry().center() - centre).manhattanLength(), 2);
  EXPECT_TRUE(setup.isRefreshing());
  EXPECT_EQ(setup.findChildren<QTimer*>().size(), 1);
}

TEST_F(SetupWindowTest, ClosingByTheCloseBoxOrDoneStopsTheRefresh) {
  setup.show();
  setup.window()->close();
  EXPECT_FALSE(setup.isRefreshing());
  EXPECT_FALSE(setup.window()->isVisible());
  setup.show();
  EXPECT_TRUE(setup.isRefreshing());
  QTest::mouseClick(&view<QPushButton>("doneButton"), Qt::LeftButton);
  EXPECT_FALSE(setup.isRefreshing());
  EXPECT_FALSE(setup.window()->isVisible());
}

TEST_F(SetupWindowTest, OpenKeyboardSettingsCallsTheOwner) {
  int opened = 0;
  setup.onOpenSettings = [&] { ++opened; };
  setup.show();
  QTest::mouseClick(&view<QPushButton>("step1Button"), Qt::LeftButton);
  EXPECT_EQ(opened, 1);
}

TEST_F(SetupWindowTest, IsFiveHundredWideAndAsTallAsItsContent) {
  bool holds = true;
  setup.checkSpotlight = [&] { return holds; };
  setup.show();
  QWidget* window = setup.window();
  EXPECT_EQ(window->width(), 500);
  const int heldHeight = window->height();
  const QWidget& done = view<QPushButton>("doneButton");
  EXPECT_EQ(window->height() - done.mapTo(window, QPoint(0, done.height())).y(), 20);
  // The button sits 12 below the step's text.
  const QLabel& body = view("step1Body");
  const QWidget& button = view<QPushButton>("step1Button");
  EXPECT_EQ(button.mapTo(window, QPoint()).y() - body.mapTo(window, QPoint(0, body.height())).y(),
            12);
  holds = false;  // shorter texts and no button
  setup.update();
  QTRY_VERIFY(window->height() < heldHeight);
  EXPECT_EQ(window->width(), 500);
  QTRY_COMPARE(window->height() - done.mapTo(window, QPoint(0, done.height())).y(), 20);
}

TEST(SetupWindow, ARefreshAfterTheControllerIsGoneDoesNothing) {
  auto setup = std::make_unique<SetupWindowController>(QIcon(), linuxCompanionTexts().setup);
  int checks = 0;
  setup->checkSpotlight = [&] { return ++checks > 0; };
  setup->show();
  setup.reset();
  const int before = checks;
  QTest::qWait(700);
  EXPECT_EQ(checks, before);
}

}  // namespace
}  // namespace jolstrand
