#include "symbols.hpp"

#include <gtest/gtest.h>

#include <QImage>

namespace jolstrand {
namespace {

TEST(Symbols, DrawEveryNamedSymbolInItsTintWithLightPartsCutOut) {
  const QColor orange(255, 149, 0);
  for (const QString& name : symbolNames()) {
    const QPixmap pixmap = symbolPixmap(name, 20, orange, 2.0);
    ASSERT_FALSE(pixmap.isNull()) << name.toStdString();
    EXPECT_EQ(pixmap.size(), QSize(40, 40));
    EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        if (qAlpha(pixel) < 250) continue;
        ++opaque;
        EXPECT_EQ(qRed(pixel), 255);
        EXPECT_EQ(qGreen(pixel), 149);
      }
    }
    EXPECT_GT(opaque, 0) << name.toStdString();
  }
  // The white check inside the filled circle is a hole, not a white mark.
  const QImage check =
      symbolPixmap(QStringLiteral("checkmark.circle.fill"), 24, Qt::black, 1.0).toImage();
  EXPECT_LT(qAlpha(check.pixel(10, 15)), 128);
  EXPECT_TRUE(symbolPixmap(QStringLiteral("no.such.symbol"), 20, Qt::black, 1.0).isNull());
}

}  // namespace
}  // namespace jolstrand
