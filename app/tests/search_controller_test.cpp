#include "search_controller.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "fakes.hpp"
#include "fixture_tree.hpp"
#include "program_alert.hpp"
#include "result_row.hpp"
#include "search_panel.hpp"

namespace jolstrand {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

AppEntry app(const std::string& name) {
  return AppEntry("id." + name, "/Applications/" + name + ".app", name);
}

class SearchControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    catalogue = Matcher({app("Safari"), app("Sound Wave Editor"), app("Slack"), app("Spotify"),
                         app("Notes"), app("Numbers"), app("Mail")});
    controller.matcher = [this] { return catalogue; };
    controller.usageStore = &store;
  }
  void type(const QString& text) { QTest::keyClicks(&controller.field(), text); }
  void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&controller.field(), static_cast<Qt::Key>(key), modifiers);
  }
  std::vector<std::string> shownNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < 9; ++i) {
      if (controller.row(i).isVisible()) names.push_back(controller.row(i).name().toStdString());
    }
    return names;
  }

  testing::FixtureTree tree;
  UsageStore store{tree.path("usage.json")};
  testing::FakeWorkspace workspace;
  Matcher catalogue;
  SearchController controller{workspace, [] {
                                const QRect screen = QGuiApplication::primaryScreen()->geometry();
                                return ScreenSnapshot{{}, {}, {screen}, {1, 1}};
                              }};
};

TEST_F(SearchControllerTest, OpensAsTheSearchBarAloneWithoutHistory) {
  controller.show();
  EXPECT_TRUE(controller.panel().isVisible());
  EXPECT_EQ(controller.panel().height(), 56);
  EXPECT_THAT(shownNames(), IsEmpty());
}

TEST_F(SearchControllerTest, ListsMatchesAndGrowsDownwardFromAFixedTop) {
  controller.show();
  const int top = controller.panel().y();
  type("s");
  EXPECT_THAT(shownNames(),
              ElementsAre("Slack", "Safari", "Spotify", "Sound Wave Editor", "Notes", "Numbers"));
  EXPECT_EQ(controller.panel().height(), 56 + 12 + 6 * 40);
  EXPECT_EQ(controller.panel().y(), top);
  EXPECT_EQ(controller.row(1).geometry(), QRect(0, 102, 640, 40));
  type("af");
  EXPECT_THAT(shownNames(), ElementsAre("Safari"));
  EXPECT_EQ(controller.panel().y(), top);
}

// The hot key while an alert of the program waits for its answer: the panel takes keys as ever.
// Typed at its window, as the window system delivers them, so that a blocked window drops them.
TEST_F(SearchControllerTest, TakesKeysWhileAnAlertWaitsForItsAnswer) {
  const auto alert = makeProgramAlert(QStringLiteral("Waiting"), QString());
  QPushButton* ok = alert->addButton(QMessageBox::Ok);
  std::vector<std::string> shown;
  QTimer::singleShot(100, [&] {
    controller.show();
    for (const char key : {'s', 'a', 'f'}) QTest::keyClick(controller.panel().windowHandle(), key);
    shown = shownNames();
    ok->click();
  });
  runInFront(*alert);
  EXPECT_THAT(shown, ElementsAre("Safari"));
}

TEST_F(SearchControllerTest, MovesTheSelectionWithoutWrappingAround) {
  controller.show();
  type("s");
  EXPECT_TRUE(controller.row(0).isSelected());
  press(Qt::Key_Up);
  EXPECT_EQ(controller.selection(), 0);
  press(Qt::Key_Down);
  press(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(controller.selection(), 2);
  EXPECT_TRUE(controller.row(2).isSelected());
  EXPECT_FALSE(controller.row(0).isSelected());
  for (int i = 0; i < 5; ++i) press(Qt::Key_Down);
  EXPECT_EQ(controller.selection(), 5);
  press(Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(controller.selection(), 4);
  EXPECT_EQ(controller.field().text(), "s");  // the keys never reached the query

  type("zzz");  // no results: arrows are taken and change nothing
  press(Qt::Key_Down);
  EXPECT_EQ(controller.selection(), 0);
  EXPECT_EQ(controller.field().text(), "szzz");
}

TEST_F(SearchControllerTest, OpensAndRecordsOrRevealsWithoutRecording) {
  controller.show();
  type("not");
  press(Qt::Key_Return);
  EXPECT_THAT(workspace.opened, ElementsAre("/Applications/Notes.app"));
  EXPECT_FALSE(controller.panel().isVisible());
  EXPECT_EQ(store.scores(std::chrono::system_clock::now()).count("id.Notes"), 1U);

  controller.show();
  EXPECT_THAT(shownNames(), ElementsAre("Notes"));  // the empty query lists what was used
  type("mail");
  press(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_THAT(workspace.revealed, ElementsAre("/Applications/Mail.app"));
  EXPECT_EQ(store.scores(std::chrono::system_clock::now()).count("id.Mail"), 0U);

  controller.show();
  type("num");
  press(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(workspace.opened.back(), "/Applications/Numbers.app");
  controller.show();
  type("qqq");
  press(Qt::Key_Return);  // nothing to open: taken, the panel stays
  EXPECT_EQ(workspace.opened.size(), 2U);
  EXPECT_TRUE(controller.panel().isVisible());
  press(Qt::Key_Escape);
  EXPECT_FALSE(controller.panel().isVisible());
}

TEST_F(SearchControllerTest, FollowsThePointerAndClicks) {
  controller.show();
  type("s");
  QTest::mouseMove(&controller.row(2), QPoint(100, 20));
  EXPECT_EQ(controller.selection(), 2);
  QTest::mouseClick(&controller.row(1), Qt::LeftButton, Qt::ControlModifier, QPoint(100, 20));
  EXPECT_THAT(workspace.revealed, ElementsAre("/Applications/Safari.app"));
  controller.show();
  type("s");
  QTest::mouseClick(&controller.row(3), Qt::LeftButton, Qt::NoModifier, QPoint(100, 20));
  EXPECT_THAT(workspace.opened, ElementsAre("/Applications/Sound Wave Editor.app"));
}

TEST_F(SearchControllerTest, OpensRowsOnlyWithThePrimaryButton) {
  controller.show();
  type("s");
  QTest::mouseClick(&controller.row(1), Qt::RightButton, Qt::NoModifier, QPoint(100, 20));
  QTest::mouseClick(&controller.row(1), Qt::MiddleButton, Qt::ControlModifier, QPoint(100, 20));
  EXPECT_THAT(workspace.opened, IsEmpty());
  EXPECT_THAT(workspace.revealed, IsEmpty());
  EXPECT_TRUE(controller.panel().isVisible());
  QTest::mouseClick(&controller.row(1), Qt::LeftButton, Qt::NoModifier, QPoint(100, 20));
  EXPECT_THAT(workspace.opened, ElementsAre("/Applications/Safari.app"));
}

// The trace file is set by the test program's main; lines from other tests come before.
int keyToRowsLines() {
  QFile trace(qEnvironmentVariable("JOLSTRAND_TRACE"));
  if (!trace.open(QIODevice::ReadOnly)) return 0;
  return static_cast<int>(trace.readAll().count("keyToRows "));
}

TEST_F(SearchControllerTest, TracesOnlyKeysThatLayOutRows) {
  controller.show();
  const int before = keyToRowsLines();
  type("s");
  EXPECT_EQ(keyToRowsLines(), before + 1);
  press(Qt::Key_Down);  // moves the selection, lays out nothing
  controller.catalogueChanged();
  press(Qt::Key_Escape);
  controller.show();
  EXPECT_EQ(keyToRowsLines(), before + 1);
  type("l");
  EXPECT_EQ(keyToRowsLines(), before + 2);
}

TEST_F(SearchControllerTest, SearchesAgainAfterARescanWhileShown) {
  controller.show();
  type("s");
  press(Qt::Key_Down);
  catalogue = Matcher({app("Sketch"), app("Safari")});
  controller.catalogueChanged();
  EXPECT_THAT(shownNames(), ElementsAre("Safari", "Sketch"));
  EXPECT_EQ(controller.selection(), 0);
}

TEST_F(SearchControllerTest, LoadsIconsOnceAndKeepsEachRowsOwn) {
  controller.show();
  type("s");
  QTRY_VERIFY(!controller.row(0).icon().isNull());
  const QImage slack = controller.row(0).icon().toImage();
  type("l");  // "sl": Slack alone, in row 0 again, from the cache at once
  EXPECT_EQ(controller.row(0).icon().toImage(), slack);
  controller.field().clear();
  type("sa");
  QTRY_VERIFY(!controller.row(0).icon().isNull());
  EXPECT_NE(controller.row(0).icon().toImage(), slack);  // Safari's, not Slack's
}

TEST_F(SearchControllerTest, HidesWhenItLosesFocus) {
  controller.show();
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&controller.panel(), &activate);
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(&controller.panel(), &deactivate);
  EXPECT_FALSE(controller.panel().isVisible());
}

}  // namespace
}  // namespace jolstrand
