#pragma once
// What the Linux update engine shows the user: the offer of an update (with Install and Later),
// its download in progress, and the notes that there is nothing newer or that an update stopped.
// Answers come back through callbacks, never after the presenter is gone. The real one is made of
// Qt dialogs (update_dialog.hpp); tests answer for the user. Main thread.

#include <QString>
#include <functional>

namespace jolstrand {

/// An update as the dialog shows it.
struct UpdateOffer {
  QString newVersion;      ///< the feed item's display version
  QString runningVersion;  ///< the running build's display version
  QString notesHTML;       ///< the item's release notes
  QString newBuild;        ///< the feed item's build number
  QString runningBuild;    ///< the running build's number
};

class UpdatePresenter {
 public:
  enum class Answer { install, later };

  virtual ~UpdatePresenter() = default;
  /// Shows the offer, in front; answered is called once (closing the dialog answers later).
  virtual void offer(const UpdateOffer& offer, std::function<void(Answer)> answered) = 0;
  /// After Install: the offer turns into a download in progress; cancelled is called once if the
  /// user stops it.
  virtual void showDownloading(std::function<void()> cancelled) = 0;
  /// Closes the offer or the download in progress, without calling their callbacks.
  virtual void close() = 0;
  /// Shows, without waiting for it, that runningVersion is the newest.
  virtual void showUpToDate(const QString& runningVersion) = 0;
  /// Shows, without waiting for it, why an update stopped.
  virtual void showStopped(const QString& description) = 0;
};

}  // namespace jolstrand
