#pragma once

#include <QPaintDevice>
#include <QtMath>

class QWidget;

namespace veskora {

// Twips (1/1440 inch) to pixels and back with the screen's logical DPI:
// px = twips × DPI / 1440, e.g. 15 twips per pixel at 96 DPI.
class TwipsScale {
 public:
  TwipsScale(double dpiX, double dpiY) : perTwipX_(dpiX / 1440.0), perTwipY_(dpiY / 1440.0) {}
  explicit TwipsScale(const QPaintDevice& device) : TwipsScale(device.logicalDpiX(), device.logicalDpiY()) {}

  int X(double twips) const { return qRound(twips * perTwipX_); }
  int Y(double twips) const { return qRound(twips * perTwipY_); }
  double TwipsX(int px) const { return px / perTwipX_; }
  double TwipsY(int px) const { return px / perTwipY_; }

 private:
  double perTwipX_;
  double perTwipY_;
};

// Places a widget within its parent, all four values in twips.
void PlaceInTwips(QWidget& widget, int left, int top, int width, int height);
void MoveInTwips(QWidget& widget, int left, int top);

}  // namespace veskora
