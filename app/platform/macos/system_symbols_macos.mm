#import <AppKit/AppKit.h>

#include "platform/macos/system_symbols_macos.hpp"

#include <QPainter>
#include <algorithm>

#include "platform/macos/image_drawing_macos.hpp"

namespace jolstrand {

QPixmap systemSymbolPixmap(const QString& name, int points, const QColor& tint, qreal pixelRatio) {
  if (@available(macOS 11.0, *)) {
    @autoreleasepool {
      NSImage* symbol = [[NSImage imageWithSystemSymbolName:name.toNSString()
                                   accessibilityDescription:nil]
          imageWithSymbolConfiguration:[NSImageSymbolConfiguration
                                           configurationWithPointSize:points
                                                               weight:NSFontWeightRegular]];
      const int pixels = qRound(points * pixelRatio);
      if (symbol == nil || pixels <= 0 || symbol.size.width <= 0 || symbol.size.height <= 0) {
        return {};
      }
      const CGFloat scale =
          std::min({pixelRatio, pixels / symbol.size.width, pixels / symbol.size.height});
      QImage image = drawnImage(symbol, pixels,
                                NSMakeSize(symbol.size.width * scale, symbol.size.height * scale));
      // A symbol draws in one colour with its details transparent; the tint takes that colour's
      // place.
      QPainter painter(&image);
      painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
      painter.fillRect(image.rect(), tint);
      painter.end();
      QPixmap pixmap = QPixmap::fromImage(image);
      pixmap.setDevicePixelRatio(pixelRatio);
      return pixmap;
    }
  }
  return {};
}

}  // namespace jolstrand
