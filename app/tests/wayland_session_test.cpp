// The pieces of a Wayland session that need no compositor: sway's IPC messages and answers, and
// the activation token a second start hands to the running launcher.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
  const sway::Focus onWindow = sway::focusIn(tree(true));
  EXPECT_EQ(onWindow.windowPid, 42);
  EXPECT_EQ(onWindow.windowRect, QRect(1400, 100, 500, 300));
  EXPECT_EQ(onWindow.outputRect, QRect(1280, 0, 1024, 768));
  const sway::Focus onWorkspace = sway::focusIn(tree(false));
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
