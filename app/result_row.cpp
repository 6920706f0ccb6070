#include "result_row.hpp"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace jolstrand {
namespace {

constexpr int iconSize = 28;
constexpr int iconLeft = 12;
constexpr int nameGap = 10;
constexpr int nameRight = 12;

}  // namespace

ResultRow::ResultRow(int index, QWidget* parent) : QWidget(parent), index_(index) {
  setMouseTracking(true);  // hover reports without a button held
  QFont font = this->font();
  font.setPointSizeF(15);
  setFont(font);
}

void ResultRow::setName(const QString& name) {
  name_ = name;
  update();
}

void ResultRow::setIcon(const QPixmap& icon) {
  icon_ = icon;
  update();
}

void ResultRow::setSelected(bool selected) {
  selected_ = selected;
  update();
}

QRect ResultRow::highlightRect() const {
  return rect().adjusted(6, 1, -6, -1);
}

void ResultRow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (selected_) {
    QColor accent = palette().color(QPalette::Highlight);
    accent.setAlphaF(0.85F);
    QPainterPath highlight;
    highlight.addRoundedRect(QRectF(highlightRect()), 8, 8);
    painter.fillPath(highlight, accent);
  }
  const QRect iconRect(iconLeft, (height() - iconSize) / 2, iconSize, iconSize);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);  // an icon of another size
  if (!icon_.isNull()) painter.drawPixmap(iconRect, icon_);
  const int nameLeft = iconRect.right() + 1 + nameGap;
  const QRect nameRect(nameLeft, 0, width() - nameLeft - nameRight, height());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                   fontMetrics().elidedText(name_, Qt::ElideRight, nameRect.width()));
}

void ResultRow::mouseMoveEvent(QMouseEvent* /*event*/) {
  emit hovered(index_);
}

void ResultRow::mousePressEvent(QMouseEvent* event) {
  // Only the primary button opens; the others do nothing here.
  if (event->button() == Qt::LeftButton) {
    emit clicked(index_, event->modifiers(), event->timestamp());
  }
}

}  // namespace jolstrand
