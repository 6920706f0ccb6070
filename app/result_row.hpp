#pragma once
// One line of the result list: an application's icon and name, a rounded highlight when
// selected, and signals for the pointer moving over it and clicking it. Built once at a fixed
// position in the list, reused for every query. Main thread only.

#include <QPixmap>
#include <QWidget>
#include <optional>
#include <string>

namespace jolstrand {

class ResultRow : public QWidget {
  Q_OBJECT

 public:
  /// index: the row's position in the list, reported with every signal.
  ResultRow(int index, QWidget* parent);

  [[nodiscard]] int index() const { return index_; }
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

 signals:
  /// The pointer moved within the row.
  void hovered(int index);
  /// The primary mouse button went down on the row, with these modifiers held, at the window
  /// system's time timestamp.
  void clicked(int index, Qt::KeyboardModifiers modifiers, quint64 timestamp);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const int index_;
  QString name_;
  QPixmap icon_;
  bool selected_ = false;
};

}  // namespace jolstrand
