#include "about_window_controller.hpp"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "color_roles.hpp"
#include "fakes.hpp"
#include "support_page.hpp"

namespace jolstrand {
namespace {

class AboutWindowTest : public ::testing::Test {
 protected:
  testing::FakeWorkspace workspace;
  const AboutTexts& texts = macOSCompanionTexts().about;

  std::unique_ptr<AboutWindowController> about(ProgramVersion version) {
    auto controller = std::make_unique<AboutWindowController>(
        QIcon(QStringLiteral(":/jolstrand/application.svg")), std::move(version), texts, workspace);
    controller->show();
    return controller;
  }
  template <class T = QLabel>
  static T& view(const AboutWindowController& about, const char* name) {
    T* found = about.window()->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }
  static int top(const AboutWindowController& about, const char* name) {
    return view<QWidget>(about, name).mapTo(about.window(), QPoint()).y();
  }
  static int bottom(const AboutWindowController& about, const char* name) {
    const QWidget& widget = view<QWidget>(about, name);
    return widget.mapTo(about.window(), QPoint(0, widget.height())).y();
  }
};

TEST_F(AboutWindowTest, ShowsTheVersionTheCopyrightAndEveryParagraph) {
  const auto controller = about({"1.4", "212", "Copyright © 2026 Jolstrand"});
  QWidget* window = controller->window();
  EXPECT_EQ(window->windowTitle(), "About Jolstrand");
  EXPECT_EQ(window->width(), 420);
  EXPECT_EQ(view(*controller, "name").text(), "Jolstrand");
  EXPECT_EQ(view(*controller, "version").text(), "Version 1.4 (212)");
  EXPECT_EQ(view(*controller, "copyright").text(), "Copyright © 2026 Jolstrand");
  EXPECT_EQ(view(*controller, "whatItIs").text(), texts.whatItIs);
  EXPECT_EQ(view(*controller, "howToUse").text(), texts.howToUse);
  EXPECT_EQ(view(*controller, "shortcutNote").text(), texts.shortcutNote);
  EXPECT_EQ(view(*controller, "freeNote").text(), texts.freeNote);
  const QPalette& palette = window->palette();
  const auto color = [&](const char* name, QPalette::ColorRole role = QPalette::WindowText) {
    return view<QWidget>(*controller, name).palette().color(role);
  };
  EXPECT_EQ(color("version"), colorFor(ColorRole::secondaryLabel, palette));
  EXPECT_EQ(color("whatItIs"), colorFor(ColorRole::label, palette));
  EXPECT_EQ(color("shortcutNote"), colorFor(ColorRole::secondaryLabel, palette));
  EXPECT_EQ(color("copyright"), colorFor(ColorRole::tertiaryLabel, palette));
  EXPECT_EQ(color("supportLink", QPalette::ButtonText), colorFor(ColorRole::link, palette));
}

TEST_F(AboutWindowTest, MissingVersionKeysShowAsQuestionMarks) {
  EXPECT_EQ(view(*about({}), "version").text(), "Version ? (?)");
  EXPECT_EQ(view(*about({"2.0", std::nullopt, std::nullopt}), "version").text(), "Version 2.0 (?)");
  // As the program's own Info.plist gives them: a build number that is not text is missing.
  const ProgramInfo info(
      "<plist><dict><key>CFBundleShortVersionString</key><string>3.1</string>"
      "<key>CFBundleVersion</key><integer>7</integer></dict></plist>");
  EXPECT_EQ(view(*about(versionOf(info)), "version").text(), "Version 3.1 (?)");
}

TEST_F(AboutWindowTest, AnEmptyCopyrightStillTakesItsLineApart) {
  const auto with = about({"1", "1", "Copyright"});
  const auto without = about({"1", "1", std::nullopt});
  const QLabel& empty = view(*without, "copyright");
  EXPECT_TRUE(empty.text().isEmpty());
  EXPECT_GT(empty.height(), 0);
  EXPECT_EQ(without->window()->height(), with->window()->height());
  EXPECT_EQ(top(*without, "copyright") - bottom(*without, "supportLink"), 18);
}

TEST_F(AboutWindowTest, SpacesTheBlocksApart) {
  const auto controller = about({"1", "1", "c"});
  const AboutWindowController& a = *controller;
  EXPECT_EQ(top(a, "name") - 20 - 96, 12);  // below the icon, after the top inset
  EXPECT_EQ(top(a, "version") - bottom(a, "name"), 4);
  EXPECT_EQ(top(a, "whatItIs") - bottom(a, "version"), 18);
  EXPECT_EQ(top(a, "howToUse") - bottom(a, "whatItIs"), 12);
  EXPECT_EQ(top(a, "shortcutNote") - bottom(a, "howToUse"), 12);
  EXPECT_EQ(top(a, "freeNote") - bottom(a, "shortcutNote"), 18);
  EXPECT_EQ(top(a, "supportLink") - bottom(a, "freeNote"), 4);
  EXPECT_EQ(a.window()->height() - bottom(a, "copyright"), 20);
  // Centred: the link's middle is the window's.
  const QWidget& link = view<QWidget>(a, "supportLink");
  EXPECT_NEAR(link.mapTo(a.window(), link.rect().center()).x(), 210, 1);
}

TEST_F(AboutWindowTest, TheLinkOpensTheSupportPageAndNamesItInItsTooltip) {
  const auto controller = about({});
  auto& link = view<QPushButton>(*controller, "supportLink");
  EXPECT_EQ(link.text(), "Support Jolstrand on Ko-fi");
  EXPECT_TRUE(link.font().underline());
  EXPECT_TRUE(link.isFlat());
  EXPECT_EQ(link.toolTip(), supportPageURL().toString());
  QTest::mouseClick(&link, Qt::LeftButton);
  ASSERT_EQ(workspace.openedURLs.size(), 1U);
  EXPECT_EQ(workspace.openedURLs[0], supportPageURL());
}

TEST_F(AboutWindowTest, ShowingAgainReusesTheWindowAndCentresIt) {
  const auto controller = about({});
  QWidget* window = controller->window();
  window->close();
  window->move(0, 0);
  controller->show();
  EXPECT_EQ(controller->window(), window);
  EXPECT_TRUE(window->isVisible());
  const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((window->frameGeometry().center() - centre).manhattanLength(), 2);
}

}  // namespace
}  // namespace jolstrand
