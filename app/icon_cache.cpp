#include "icon_cache.hpp"

#include "platform/workspace.hpp"
#include "qt_text.hpp"
#include "result_row.hpp"
#include "thread_hand_off.hpp"

namespace jolstrand {

IconCache::IconCache(Workspace& workspace, int points) : workspace_(workspace), points_(points) {}

IconCache::~IconCache() {
  loader_.waitForDone();
}

void IconCache::setIcon(ResultRow& row, const std::string& path, qreal pixelRatio) {
  row.path = path;
  if (const auto cached = icons_.constFind(qtString(path)); cached != icons_.constEnd()) {
    row.setIcon(*cached);
    return;
  }
  row.setIcon(QPixmap());
  startHandedOver(loader_, [this, &row, path, pixelRatio, generation = generation_] {
    QImage image = workspace_.icon(path, points_, pixelRatio);
    // Queued to this object: dropped if the cache is gone by the time it would run.
    QMetaObject::invokeMethod(this,
                              handedOver([this, &row, path, generation, image = std::move(image)] {
                                deliver(row, path, image, generation);
                              }),
                              Qt::QueuedConnection);
  });
}

void IconCache::deliver(ResultRow& row, const std::string& path, const QImage& image,
                        int generation) {
  const QPixmap icon = QPixmap::fromImage(image);
  if (generation == generation_) icons_.insert(qtString(path), icon);
  if (row.path == path) row.setIcon(icon);  // else the row has moved on
}

void IconCache::clear() {
  icons_.clear();
  ++generation_;
}

}  // namespace jolstrand
