#include "window/elided_label.h"

namespace veskora {

ElidedLabel::ElidedLabel(const QString& text, Qt::TextElideMode mode, QWidget* parent)
    : QLabel(text, parent), full_(text), mode_(mode) {
  // It shows file names and folders: never read them as markup.
  setTextFormat(Qt::PlainText);
  setToolTip(text);
  resize(sizeHint());
}

void ElidedLabel::SetFullText(const QString& text) {
  full_ = text;
  setToolTip(text);
  Elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Elide();
}

void ElidedLabel::Elide() {
  setText(fontMetrics().elidedText(full_, mode_, qMax(0, contentsRect().width() - 2 * margin())));
}

}  // namespace veskora
