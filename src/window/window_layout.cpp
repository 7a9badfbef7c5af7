#include "window/window_layout.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTreeView>
#include <QWidget>
#include <algorithm>

#include "window/twips.h"

namespace veskora {

namespace {

void SetLeft(QWidget* widget, int x) { widget->move(x, widget->y()); }
void SetTop(QWidget* widget, int y) { widget->move(widget->x(), y); }
void SetWidth(QWidget* widget, int width) { widget->resize(qMax(0, width), widget->height()); }
void SetHeight(QWidget* widget, int height) { widget->resize(widget->width(), qMax(0, height)); }

// Disabling the window for a forced size change takes the keyboard focus
// away from the control that held it; it is given back afterwards.
void ForceOuterSize(QWidget& window, const QSize& outer) {
  const QPointer<QWidget> focus = window.focusWidget();
  window.setEnabled(false);
  SetOuterSize(window, outer);
  window.setEnabled(true);
  if (focus && focus->isVisible()) focus->setFocus();
}

// Room kept between the bottom row and the bottom edge of the client area.
constexpr double kBottomMarginTwips = 120;
// Room kept between a text that is cut and the right edge.
constexpr double kEdgeMarginTwips = 120;

// The height the bands below the list are placed from. H itself, as long as
// the bottom row then ends inside the client area with some room to spare;
// under a title bar and menu bar taller than the design's it would not, and
// the bands are placed from the client area's bottom edge instead.
double BandsHeight(double H, const TwipsScale& twips, const LayoutControls& c) {
  // How far above H the bottom row ends: the small buttons at H - 1000 + 285,
  // the status label at H - 960 + its height.
  const double rowEnd = std::min(1000.0 - 285.0, 960.0 - twips.TwipsY(c.monitor->height()));
  return std::min(H, twips.TwipsY(c.client->height()) - kBottomMarginTwips + rowEnd);
}

}  // namespace

QSize OuterSize(const QWidget& window) { return window.frameGeometry().size(); }

void SetOuterSize(QWidget& window, const QSize& outer) {
  const QSize frame = window.frameGeometry().size() - window.size();
  window.resize(outer - frame);
}

void LayOutMainWindow(const LayoutControls& c) {
  QWidget& window = *c.window;
  const TwipsScale twips(window);
  // W and H are read afresh at every step: a forced size change lays the
  // window out from inside and may leave it at another size.
  auto W = [&] { return twips.TwipsX(OuterSize(window).width()); };
  auto H = [&] { return twips.TwipsY(OuterSize(window).height()); };
  // Compared in whole pixels, so a minimum that is no whole number of pixels
  // does not grow the window again on every pass.
  const int minWidth = twips.X(kMinWidthTwips);
  const int minHeight = twips.Y(kMinHeightTwips);
  // A maximized window refuses size changes; those steps are skipped.
  const bool resizable = !window.isMaximized() && !window.isFullScreen();

  // 1, 2
  if (resizable && OuterSize(window).width() < minWidth) {
    ForceOuterSize(window, QSize(minWidth, OuterSize(window).height()));
  }
  if (resizable && OuterSize(window).height() < minHeight) {
    ForceOuterSize(window, QSize(OuterSize(window).width(), minHeight));
  }
  auto B = [&] { return BandsHeight(H(), twips, c); };
  // 3 to 7
  c.listView1->setVisible(true);
  c.listView1->move(0, 0);
  SetWidth(c.listView1, twips.X(W() - 120));
  SetHeight(c.listView1, twips.Y(B() - 3000));
  const int columnWidth = qMax(0, twips.X(twips.TwipsX(c.listView1->width()) / 2 - 38));
  c.listView1->header()->resizeSection(0, columnWidth);
  c.listView1->header()->resizeSection(1, columnWidth);
  // 8 to 10
  SetLeft(c.frame1, 0);
  SetWidth(c.frame1, twips.X(W() - 110));
  SetTop(c.frame1, twips.Y(B() - 2900));
  SetHeight(c.frame1, twips.Y(1800));
  // 11, 12
  c.command0->resize(twips.X(2625), twips.Y(420));
  SetTop(c.command0, twips.Y(B() - 2060));
  SetLeft(c.command0, twips.X(W() / 2 - twips.TwipsX(c.command0->width()) / 2));
  // 13, 14
  c.command2->setGeometry(twips.X(480), twips.Y(B() - 1000), twips.X(285), twips.Y(285));
  c.command5->setGeometry(twips.X(120), twips.Y(B() - 1000), twips.X(285), twips.Y(285));
  // 15, 16: inside the panel, from its width as read back.
  const double frameWidth = twips.TwipsX(c.frame1->width());
  c.command3->setGeometry(twips.X(frameWidth - 1320), twips.Y(1440), twips.X(1215), twips.Y(255));
  c.command4->setGeometry(twips.X(frameWidth - 2500), twips.Y(1440), twips.X(1095), twips.Y(255));
  c.label1->resize(qMax(0, c.frame1->width() - c.label1->x() - twips.X(kEdgeMarginTwips)), c.label1->height());
  // 17: the files left waiting take the row's right end while shown.
  const int top = twips.Y(B() - 960);
  int right = c.client->width() - twips.X(kEdgeMarginTwips);
  if (c.waiting && !c.waiting->isHidden()) {
    const QSize hint = c.waiting->sizeHint();
    c.waiting->setGeometry(right - hint.width(), top, hint.width(), hint.height());
    right -= hint.width() + twips.X(kEdgeMarginTwips);
  }
  c.monitor->setGeometry(twips.X(840), top, qMax(0, right - twips.X(840)), c.monitor->sizeHint().height());
}

}  // namespace veskora
