#pragma once

#include <QSize>

class QLabel;
class QTreeView;
class QWidget;

namespace veskora {

// The controls the main window's layout places. Positions are relative to the
// window's client area (below the menu bar) or, for Command3 and Command4, to
// the inside of Frame1.
struct LayoutControls {
  QWidget* window = nullptr;
  QWidget* client = nullptr;
  QTreeView* listView1 = nullptr;
  QWidget* frame1 = nullptr;
  QWidget* command0 = nullptr;
  QWidget* command2 = nullptr;
  QWidget* command5 = nullptr;
  QWidget* command3 = nullptr;
  QWidget* command4 = nullptr;
  QWidget* label1 = nullptr;  // the editor's destination, inside Frame1
  QLabel* monitor = nullptr;
  QWidget* waiting = nullptr;  // the files left waiting, beside the status label while shown
};

// The smallest outer size of the window: 8000 × 6000 twips.
inline constexpr double kMinWidthTwips = 8000;
inline constexpr double kMinHeightTwips = 6000;

// The window's size including its frame, caption and menu bar.
QSize OuterSize(const QWidget& window);
// Sets the size including the frame, as far as the frame is known yet.
void SetOuterSize(QWidget& window, const QSize& outer);

// Lays the window out for its current outer size W × H in the fixed order:
// the minimum size first (the window is disabled for the moment of each forced
// change, which lays it out again from inside; the keyboard focus stays where
// it was), then the list, its columns, the editor panel, the picture buttons
// and the status label. The status label and the editor's destination reach
// to the right edge, less a margin, and no further: their texts are cut there. The bands below the list keep their distances from H
// as long as the bottom row then lies inside the client area; under a taller
// title and menu bar they move up together and the list gives way. Not for
// the tray state.
void LayOutMainWindow(const LayoutControls& controls);

}  // namespace veskora
