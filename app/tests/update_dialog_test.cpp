#include "platform/linux/update/update_dialog.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocumentFragment>

#include "visible_window.hpp"

namespace jolstrand {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::visibleTopLevel;

const UpdateOffer offer{QStringLiteral("2.1"), QStringLiteral("2.0"),
                        QStringLiteral("<ul><li>Faster</li><li>Safer</li></ul>\n")};

QStringList labelTexts(const QWidget& widget) {
  QStringList texts;
  for (const QLabel* label : widget.findChildren<QLabel*>()) texts << label->text();
  return texts;
}

// The detail of a message box as the reader sees it, whatever format it was given in.
QString shownDetail(const QMessageBox& box) {
  const QString detail = box.informativeText();
  if (!Qt::mightBeRichText(detail)) return detail;
  return QTextDocumentFragment::fromHtml(detail).toPlainText();
}

// A new build that keeps the display version is told apart by its build, while it downloads too.
TEST(UpdateDialog, NamesTheBuildsWhenBothVersionsReadTheSame) {
  UpdateDialog dialog(updateTexts(),
                      {QStringLiteral("0.1.0"), QStringLiteral("0.1.0"), QString(),
                       QStringLiteral("2"), QStringLiteral("1")},
                      QIcon());
  EXPECT_THAT(labelTexts(dialog).join('\n').toStdString(),
              ::testing::HasSubstr("Jolstrand 0.1.0 (build 2) is now available\u2014you have "
                                   "0.1.0 (build 1)."));
  dialog.showDownloading();
  EXPECT_THAT(labelTexts(dialog).join('\n').toStdString(),
              ::testing::HasSubstr("Downloading and installing Jolstrand 0.1.0 (build 2)\u2026"));
}

TEST(UpdateDialog, OffersTheNewVersionWithItsNotesAndInstallAsTheDefault) {
  UpdateDialog dialog(updateTexts(), offer, QIcon());
  EXPECT_THAT(labelTexts(dialog).join('\n').toStdString(),
              ::testing::AllOf(::testing::HasSubstr("A new version of Jolstrand is available!"),
                               ::testing::HasSubstr("Jolstrand 2.1 is now available\u2014you have "
                                                    "2.0. Would you like to install it now?")));
  EXPECT_EQ(dialog.notes()->toPlainText().trimmed(), QStringLiteral("Faster\nSafer"));
  EXPECT_TRUE(dialog.installButton()->isDefault());
  EXPECT_EQ(dialog.installButton()->text(), QStringLiteral("Install"));
  EXPECT_EQ(dialog.laterButton()->text(), QStringLiteral("Later"));

  QSignalSpy install(&dialog, &UpdateDialog::installRequested);
  QSignalSpy dismissed(&dialog, &UpdateDialog::dismissed);
  dialog.show();
  dialog.installButton()->click();
  EXPECT_EQ(install.count(), 1);
  dialog.showDownloading();
  EXPECT_FALSE(dialog.installButton()->isVisible());
  EXPECT_TRUE(dialog.progress()->isVisible());
  EXPECT_EQ(dialog.laterButton()->text(), QStringLiteral("Cancel"));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dismissed.count(), 1);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(UpdateDialog, HidesTheNotesWhenTheFeedHasNone) {
  UpdateDialog dialog(updateTexts(), {QStringLiteral("2.1"), QStringLiteral("2.0"), {}}, QIcon());
  dialog.show();
  EXPECT_FALSE(dialog.notes()->isVisible());
}

TEST(UpdateDialog, ReleaseNotesLoadNothingLocalOrRemote) {
  const QTemporaryDir folder;
  const QString picture = folder.filePath(QStringLiteral("picture.png"));
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(picture));
  const QUrl local = QUrl::fromLocalFile(picture);
  const QUrl data(QStringLiteral("data:text/plain;base64,aGVsbG8="));
  const QUrl remote(QStringLiteral("https://tracker.example.org/pixel.png"));
  const QString notes = QStringLiteral("<p><img src=\"%1\"><img src=\"%2\"><img src=\"%3\"></p>")
                            .arg(local.toString(), data.toString(), remote.toString());
  UpdateDialog dialog(updateTexts(), {QStringLiteral("2.1"), QStringLiteral("2.0"), notes},
                      QIcon());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTextDocument& document = *dialog.notes()->document();
  for (const QUrl& url : {local, data, remote}) {
    SCOPED_TRACE(url.toString().toStdString());
    EXPECT_FALSE(document.resource(QTextDocument::ImageResource, url).isValid());
  }
}

TEST(UpdateDialog, ReportsOnlyHttpsLinksAndFollowsNone) {
  UpdateDialog dialog(updateTexts(), offer, QIcon());
  QSignalSpy links(&dialog, &UpdateDialog::httpsLinkClicked);
  for (const char* address : {"https://example.org/changes", "http://example.org/changes",
                              "file:///etc/passwd", "javascript:alert(1)", "https:relative"}) {
    emit dialog.notes()->anchorClicked(QUrl(QString::fromLatin1(address)));
  }
  ASSERT_EQ(links.count(), 1);
  EXPECT_EQ(links[0][0].toUrl(), QUrl(QStringLiteral("https://example.org/changes")));
  EXPECT_TRUE(dialog.notes()->source().isEmpty());
  EXPECT_EQ(dialog.notes()->toPlainText().trimmed(), QStringLiteral("Faster\nSafer"));
}

TEST(UpdateDialogs, AnswerOnceAndCloseWithoutAnswering) {
  std::vector<QUrl> opened;
  const auto dialogs = makeUpdateDialogs([&](const QUrl& url) { opened.push_back(url); });
  std::vector<UpdatePresenter::Answer> answers;
  int cancels = 0;
  const auto record = [&](UpdatePresenter::Answer answer) { answers.push_back(answer); };

  dialogs->offer(offer, record);
  UpdateDialog* dialog = visibleTopLevel<UpdateDialog>();
  ASSERT_NE(dialog, nullptr);
  emit dialog->notes()->anchorClicked(QUrl(QStringLiteral("https://example.org/changes")));
  EXPECT_THAT(opened, ElementsAre(QUrl(QStringLiteral("https://example.org/changes"))));
  dialog->installButton()->click();
  dialogs->showDownloading([&] { ++cancels; });
  dialog->laterButton()->click();  // Cancel
  EXPECT_THAT(answers, ElementsAre(UpdatePresenter::Answer::install));
  EXPECT_EQ(cancels, 1);

  // Closing the window is Later; a close by the engine answers nothing.
  answers.clear();
  dialogs->offer(offer, record);
  visibleTopLevel<UpdateDialog>()->close();
  EXPECT_THAT(answers, ElementsAre(UpdatePresenter::Answer::later));
  answers.clear();
  dialogs->offer(offer, record);
  dialogs->close();
  EXPECT_EQ(visibleTopLevel<UpdateDialog>(), nullptr);
  EXPECT_THAT(answers, IsEmpty());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(UpdateDialogs, NotesSayUpToDateOrWhyTheUpdateStoppedInPlainText) {
  const auto dialogs = makeUpdateDialogs(nullptr);
  dialogs->showUpToDate(QStringLiteral("2.0"));
  QMessageBox* note = visibleTopLevel<QMessageBox>();
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text(), QStringLiteral("You're up to date."));
  EXPECT_EQ(shownDetail(*note), QStringLiteral("Jolstrand 2.0 is the newest version."));

  dialogs->showStopped(QStringLiteral("the server said <b>no</b> & left"));
  note = visibleTopLevel<QMessageBox>();
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text(), QStringLiteral("Jolstrand couldn't be updated."));
  EXPECT_EQ(shownDetail(*note),
            QStringLiteral("The update stopped: the server said <b>no</b> & left. Your copy of "
                           "Jolstrand is unchanged."));
}

}  // namespace
}  // namespace jolstrand
