// The pieces of a Wayland session that need no compositor: sway's and Hyprland's IPC messages and
// answers, and the activation token a second start hands to the running launcher.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/linux/wayland/hyprland_ipc.hpp"
#include "platform/linux/wayland/sway_ipc.hpp"
#include "single_instance.hpp"

namespace jolstrand {
namespace {

TEST(SwayIpc, FramesMessagesAndKeepsAnIncompleteOne) {
  QByteArray buffer = sway::encode(4, "{}") + sway::encode(0x80000003, R"({"change":"new"})");
  const QByteArray third = sway::encode(0, "[]");
  buffer += third.left(third.size() - 1);
  const std::vector<sway::Message> messages = sway::takeMessages(buffer);
  ASSERT_EQ(messages.size(), 2U);
  EXPECT_EQ(messages[0].type, 4U);
  EXPECT_EQ(messages[0].payload, "{}");
  EXPECT_EQ(messages[1].type, sway::windowEvent);
  EXPECT_EQ(buffer, third.left(third.size() - 1));  // waits for its last byte
  buffer += third.right(1);
  EXPECT_EQ(sway::takeMessages(buffer).at(0).payload, "[]");
  EXPECT_TRUE(buffer.isEmpty());
  // Something that is not the protocol is dropped whole.
  QByteArray garbage = "not-ipc and more bytes";
  EXPECT_TRUE(sway::takeMessages(garbage).empty());
  EXPECT_TRUE(garbage.isEmpty());
}

// Two outputs side by side; the focus on a window of process 42 on the second, then on the
// second output's empty workspace.
TEST(SwayIpc, FindsTheFocusedWindowAndItsOutput) {
  const auto tree = [](bool windowFocused) {
    return QJsonDocument::fromJson(
        QStringLiteral(R"({"type":"root","rect":{"x":0,"y":0,"width":2304,"height":800},"nodes":[
      {"type":"output","rect":{"x":0,"y":0,"width":1280,"height":800},"nodes":[
        {"type":"workspace","rect":{"x":0,"y":0,"width":1280,"height":800},"nodes":[
          {"type":"con","pid":7,"focused":false,"rect":{"x":0,"y":0,"width":1280,"height":800}}]}]},
      {"type":"output","rect":{"x":1280,"y":0,"width":1024,"height":768},"nodes":[
        {"type":"workspace","focused":%1,"rect":{"x":1280,"y":0,"width":1024,"height":768},
         "nodes":[],"floating_nodes":[
          {"type":"floating_con","pid":42,"focused":%2,"rect":{"x":1400,"y":100,"width":500,"height":300}}]}]}]})")
            .arg(windowFocused ? "false" : "true", windowFocused ? "true" : "false")
            .toUtf8());
  };
  const CompositorFocus onWindow = sway::focusIn(tree(true));
  EXPECT_EQ(onWindow.windowPid, 42);
  EXPECT_EQ(onWindow.windowRect, QRect(1400, 100, 500, 300));
  EXPECT_EQ(onWindow.outputRect, QRect(1280, 0, 1024, 768));
  const CompositorFocus onWorkspace = sway::focusIn(tree(false));
  EXPECT_EQ(onWorkspace.windowPid, std::nullopt);
  EXPECT_EQ(onWorkspace.outputRect, QRect(1280, 0, 1024, 768));
  EXPECT_EQ(sway::focusIn(QJsonDocument()).outputRect, std::nullopt);
}

TEST(SwayIpc, PlacesThePanelByProcessAndTitleAndReadsTheAnswer) {
  EXPECT_EQ(
      sway::placementCommand(42, QStringLiteral("Jolstrand search"), QRect(1472, 200, 640, 56)),
      R"([pid=42 title="^Jolstrand search$"] floating enable, border none, )"
      "move absolute position 1472 px 200 px");
  EXPECT_TRUE(sway::commandsSucceeded(QJsonDocument::fromJson(R"([{"success":true}])")));
  EXPECT_FALSE(sway::commandsSucceeded(QJsonDocument::fromJson(
      R"([{"success":true},{"success":false,"error":"No matching node."}])")));
  EXPECT_FALSE(sway::commandsSucceeded(QJsonDocument()));
}

// Answers as Hyprland's documentation describes them (never run against Hyprland here).
TEST(HyprlandIpc, ReadsTheFocusAndPlacesThePanel) {
  const QByteArray window = R"({"address":"0x55d1","at":[1400,100],"size":[500,300],"pid":42})";
  const auto monitors = [](bool secondFocused) {
    return QStringLiteral(
               R"([{"id":0,"x":0,"y":0,"width":2560,"height":1600,"scale":2.0,"focused":%1},
        {"id":1,"x":1280,"y":0,"width":1024,"height":768,"scale":1.0,"focused":%2}])")
        .arg(secondFocused ? "false" : "true", secondFocused ? "true" : "false")
        .toUtf8();
  };
  const CompositorFocus focus = hyprland::focusFrom(window, monitors(true));
  EXPECT_EQ(focus.windowPid, 42);
  EXPECT_EQ(focus.windowRect, QRect(1400, 100, 500, 300));
  EXPECT_EQ(focus.outputRect, QRect(1280, 0, 1024, 768));
  EXPECT_EQ(hyprland::focusFrom("{}", monitors(false)).outputRect, QRect(0, 0, 1280, 800));
  EXPECT_EQ(hyprland::focusFrom("{}", "{}").windowPid, std::nullopt);

  EXPECT_EQ(
      hyprland::placementRequest(QStringLiteral("Jolstrand search"), QRect(1472, 200, 640, 56)),
      "[[BATCH]]dispatch setfloating title:^(Jolstrand search)$;"
      "dispatch movewindowpixel exact 1472 200,title:^(Jolstrand search)$");
  EXPECT_TRUE(hyprland::batchSucceeded("ok\n\nok", 2));
  EXPECT_FALSE(hyprland::batchSucceeded("ok\n\nNo such window found", 2));
  const QString title = QStringLiteral("Jolstrand search");
  EXPECT_TRUE(hyprland::opensWindowTitled(
      "openwindow>>55d1,1,org.jolstrand.Jolstrand,Jolstrand search", title));
  EXPECT_FALSE(
      hyprland::opensWindowTitled("openwindow>>55d1,1,org.example,Notes, Jolstrand search", title));
  EXPECT_FALSE(hyprland::opensWindowTitled("closewindow>>55d1", title));
}

TEST(SingleInstance, ReadsTheTokenOfAShowRequest) {
  const std::pair<QByteArray, std::optional<QString>> cases[] = {
      {"show\n", QString()},
      {"show\ntoken abc_TIME12\n", QStringLiteral("abc_TIME12")},
      {"show\ntoken \n", QString()},     // no token
      {"show\ntoken a b\n", QString()},  // not one word of printable ASCII
      {"show\ntoken " + QByteArray(2000, 'x') + "\n", QString()},  // past any sensible size
      {"show\ntoken abc", QString()},                              // cut short
      {"hello\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [request, token] : cases) {
    EXPECT_EQ(SingleInstance::showRequestToken(request), token) << request.toStdString();
  }
}

TEST(SingleInstance, ASecondStartHandsItsTokenToTheRunningOne) {
  QTemporaryDir folder;
  const QString socket = folder.filePath(QStringLiteral("jolstrand.socket"));
  SingleInstance running(socket);
  ASSERT_TRUE(running.claim());
  running.startAnswering();
  QSignalSpy shown(&running, &SingleInstance::showRequested);
  const SingleInstance second(socket);
  ASSERT_TRUE(second.askRunningInstanceToShow("token-of-the-shortcut"));
  ASSERT_TRUE(shown.wait(5000));
  EXPECT_EQ(shown.at(0).at(0).toString(), "token-of-the-shortcut");
  ASSERT_TRUE(second.askRunningInstanceToShow());
  ASSERT_TRUE(shown.wait(5000));
  EXPECT_EQ(shown.at(1).at(0).toString(), "");
}

}  // namespace
}  // namespace jolstrand
