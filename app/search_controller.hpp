#pragma once
// Turns typing into launches. Owns the search panel and everything in it: the query field, the
// magnifying glass, the separator and nine reused result rows. Every edit of the query runs the
// matcher over the current catalogue with the launch scores taken when the panel opened, and
// lays out at most nine results below a fixed top edge. Keys and the mouse move the selection;
// Return opens and records the launch, Command-Return reveals, Escape or losing focus hides.
// Icons come from an IconCache, emptied when the catalogue changes. Main thread only.

#include <QObject>
#include <QRect>
#include <array>
#include <functional>
#include <memory>

#include "icon_cache.hpp"
#include "jolstrand/matcher.hpp"
#include "jolstrand/usage_store.hpp"
#include "target_screen.hpp"

class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace jolstrand {

class ResultRow;
class SearchPanel;
class Workspace;

class SearchController : public QObject {
  Q_OBJECT

 public:
  /// Where the panel's screen is chosen from: the windows, screens and pointer.
  using ScreenSnapshotSource = std::function<ScreenSnapshot()>;
  /// Told the shown panel's frame each time it is shown or resized, for a compositor that
  /// places windows only on request (see WindowSystem::place).
  using PanelPlacer = std::function<void(QWidget& panel, const QRect& frame)>;

  /// workspace must outlive the controller.
  SearchController(Workspace& workspace, ScreenSnapshotSource screens, PanelPlacer place = {});
  ~SearchController() override;

  /// The current catalogue; set by the owner. Answers an empty matcher until then.
  std::function<Matcher()> matcher;
  /// Where scores come from and launches go; optional, not owned.
  UsageStore* usageStore = nullptr;

  [[nodiscard]] SearchPanel& panel() const { return *panel_; }
  [[nodiscard]] QLineEdit& field() const { return *field_; }
  [[nodiscard]] ResultRow& row(int index) const {
    return *rows_.at(static_cast<std::size_t>(index));
  }
  [[nodiscard]] const std::vector<Match>& results() const { return results_; }
  [[nodiscard]] int selection() const { return selection_; }

  /// Shows the panel emptied, on the target screen, with keyboard focus; activationToken (may be
  /// empty) is what the desktop gave the request to show it.
  void show(const QString& activationToken = {});
  void hide();
  /// Hides the panel when it is shown, else shows it (with activationToken).
  void toggle(const QString& activationToken = {});
  /// After a rescan: forgets the icons and, when the panel is shown, searches again.
  void catalogueChanged();

 private:
  void build();
  void update();
  void layOut();
  bool handleKey(QKeyEvent* event);
  void select(int index);
  void activateSelection(bool reveal, quint64 eventTime);

  Workspace& workspace_;
  const ScreenSnapshotSource screens_;
  const PanelPlacer place_;
  std::unique_ptr<SearchPanel> panel_;
  QLineEdit* field_ = nullptr;
  QLabel* glass_ = nullptr;
  QFrame* separator_ = nullptr;
  std::array<ResultRow*, 9> rows_{};
  std::vector<Match> results_;
  int selection_ = 0;
  UsageScores usage_;
  QRect visible_;    // the visible area of the screen the panel is on
  IconCache icons_;  // after the panel: its loads end before the rows go
};

}  // namespace jolstrand
