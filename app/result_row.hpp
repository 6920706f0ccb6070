#pragma once
// One line of the result list: an application's icon and name, a rounded highlight when
// selected, and reports of the pointer moving over it and clicking it. Built once, reused for
// every query. Main thread only.

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

namespace jolstrand {

class ResultRow : public QWidget {
  Q_OBJECT

 public:
  explicit ResultRow(QWidget* parent);

  int index = 0;  ///< the row's position in the list
  /// Called with index whenever the pointer moves within the row.
  std::function<void(int)> onHover;
  /// Called with index and the modifiers held on a press of the primary mouse button.
  std::function<void(int, Qt::KeyboardModifiers)> onClick;
  /// The application whose icon the row expects.
  std::optional<std::string> path;

  void setName(const QString& name);
  [[nodiscard]] const QString& name() const { return name_; }
  void setIcon(const QPixmap& icon);
  [[nodiscard]] const QPixmap& icon() const { return icon_; }
  void setSelected(bool selected);
  [[nodiscard]] bool isSelected() const { return selected_; }

  /// The highlight's rectangle: the row inset by 6 left and right and 1 top and bottom.
  [[nodiscard]] QRect highlightRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QString name_;
  QPixmap icon_;
  bool selected_ = false;
};

}  // namespace jolstrand
