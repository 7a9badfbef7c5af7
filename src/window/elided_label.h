#pragma once

#include <QLabel>

namespace veskora {

// A one-line label that never runs past its width: its text is cut with "…"
// where it does not fit (at the end or in the middle), and the whole text is
// its tooltip. Whoever places it gives it its width.
class ElidedLabel : public QLabel {
  Q_OBJECT

 public:
  ElidedLabel(const QString& text, Qt::TextElideMode mode, QWidget* parent);

  void SetFullText(const QString& text);
  const QString& FullText() const { return full_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Elide();

  QString full_;
  Qt::TextElideMode mode_;
};

}  // namespace veskora
