#pragma once
// Application icons for the result rows, loaded from the workspace on a thread pool and cached
// by path until clear(). A row is cleared while its icon loads and receives it only if it
// still shows that application by then; a load started before clear() fills the row but not
// the emptied cache. Main thread only; the loads themselves run on the pool.

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QThreadPool>
#include <string>

namespace jolstrand {

class ResultRow;
class Workspace;

class IconCache : public QObject {
  Q_OBJECT

 public:
  /// Icons are `points` square. workspace must outlive the cache, and the rows given to
  /// setIcon too.
  IconCache(Workspace& workspace, int points);
  /// Waits for the loads still running.
  ~IconCache() override;

  /// Gives row the icon of the application at path, at once when cached.
  void setIcon(ResultRow& row, const std::string& path, qreal pixelRatio);
  /// Forgets every icon (the catalogue changed).
  void clear();
  [[nodiscard]] qsizetype size() const { return icons_.size(); }

 private:
  void deliver(ResultRow& row, const std::string& path, const QImage& image, int generation);

  Workspace& workspace_;
  const int points_;
  QHash<QString, QPixmap> icons_;
  int generation_ = 0;  // counts clear() calls
  QThreadPool loader_;  // last: waited for first, so no load outlives what it uses
};

}  // namespace jolstrand
