#pragma once
// The Linux update engine's dialog: the program's icon, a headline, the new and the running
// version, the release notes, and Install / Later (Install the default). After Install it shows
// the download in progress with a Cancel button instead. The release notes come from the feed and
// are shown as HTML that can load nothing at all: no images, style sheets or other resources,
// remote or local, and a click on a link opens nothing by itself (the dialog reports https links,
// which its owner may open in the browser). Main thread.

#include <QDialog>
#include <QIcon>
#include <QUrl>
#include <functional>
#include <memory>

#include "platform/linux/update/update_presenter.hpp"
#include "platform/linux/update/update_texts.hpp"

class QLabel;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QTextBrowser;

namespace jolstrand {

class UpdateDialog : public QDialog {
  Q_OBJECT

 public:
  UpdateDialog(const UpdateTexts& texts, const UpdateOffer& offer, const QIcon& icon);

  /// Replaces the buttons with the download in progress and Cancel.
  void showDownloading();

  [[nodiscard]] QTextBrowser* notes() const { return notes_; }
  [[nodiscard]] QPushButton* installButton() const { return install_; }
  /// Later, or Cancel while downloading.
  [[nodiscard]] QPushButton* laterButton() const { return later_; }
  [[nodiscard]] QProgressBar* progress() const { return progress_; }

  /// Later, Cancel, Escape and closing the window all land here; the dialog hides.
  void reject() override;

 signals:
  void installRequested();
  void dismissed();
  /// A link in the release notes whose address begins with "https://" was clicked.
  void httpsLinkClicked(const QUrl& url);

 private:
  const UpdateTexts& texts_;
  QString newVersion_;
  QLabel* status_ = nullptr;
  QTextBrowser* notes_ = nullptr;
  QPushButton* install_ = nullptr;
  QPushButton* later_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

/// The presenter made of UpdateDialog and message boxes, with the program's window icon.
/// openLink opens an https link from the release notes.
[[nodiscard]] std::unique_ptr<UpdatePresenter> makeUpdateDialogs(
    std::function<void(const QUrl&)> openLink);

}  // namespace jolstrand
