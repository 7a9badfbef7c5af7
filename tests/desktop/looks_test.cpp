// What the screenshots showed, kept from coming back: the picture buttons'
// straight edges lie on whole pixels at scale 1 and 2 (no grey seams), and a
// condition panel of the editor lets the frame's line and shading show
// through instead of painting a box of its own over them.
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QtTest>

#include "editor/rule_editor.h"
#include "rules/rule_list.h"
#include "scripted_dialogs.h"
#include "shell/button_pictures.h"
#include "temp_dir.h"

using namespace veskora;

namespace {

using Picture = void (*)(QPainter&, const QRectF&, bool);

// The picture at a logical size, drawn at a scale as the screen would.
QImage Render(Picture picture, QSize size, int scale) {
  QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(QColor(224, 224, 224));
  QPainter painter(&image);
  picture(painter, QRectF(QPointF(0, 0), QSizeF(size)), false);
  return image;
}

struct Row {
  QSet<QRgb> colours;
  QHash<QRgb, int> counts;
};

// The colours of the device pixels in the middle of one logical pixel row,
// between two logical columns.
Row RowAt(const QImage& image, int scale, int logicalY, int fromX, int toX) {
  Row row;
  const int y = logicalY * scale + scale / 2;
  for (int x = fromX * scale; x < toX * scale; ++x) {
    const QRgb colour = image.pixel(x, y);
    row.colours.insert(colour);
    ++row.counts[colour];
  }
  return row;
}

int CountOf(const Row& row, const QColor& colour) { return row.counts.value(colour.rgba(), 0); }

}  // namespace

class LooksTest : public QObject {
  Q_OBJECT

 private slots:
  void pictureButtonsHaveSharpStraightEdges_data() {
    QTest::addColumn<int>("scale");
    QTest::newRow("scale 1") << 1;
    QTest::newRow("scale 2") << 2;
  }

  void pictureButtonsHaveSharpStraightEdges() {
    QFETCH(int, scale);
    const QColor blue(0x1f, 0x5f, 0xbf), ink(0x20, 0x20, 0x20), green(0x2e, 0x9d, 0x3a);

    // Command5, 19 × 19: across the arrow's shaft only face and arrow, three
    // pixels of arrow; across the tray line only face and ink; just above the
    // line no trace of it.
    const QImage tray = Render(&PaintToTrayPicture, QSize(19, 19), scale);
    const Row shaft = RowAt(tray, scale, 5, 2, 17);
    QCOMPARE(shaft.colours.size(), 2);
    QCOMPARE(CountOf(shaft, blue), 3 * scale);
    const Row line = RowAt(tray, scale, 15, 2, 17);
    QCOMPARE(line.colours.size(), 2);
    QCOMPARE(CountOf(line, ink), 11 * scale);
    QCOMPARE(RowAt(tray, scale, 14, 2, 17).colours.size(), 1);

    // Command0, 175 × 28: the plus sign's bar and its upper arm.
    const QImage add = Render(&PaintAddRulePicture, QSize(175, 28), scale);
    const Row bar = RowAt(add, scale, 14, 3, 30);
    QCOMPARE(bar.colours.size(), 2);
    QCOMPARE(CountOf(bar, green), 14 * scale);
    const Row arm = RowAt(add, scale, 10, 3, 30);
    QCOMPARE(arm.colours.size(), 2);
    QCOMPARE(CountOf(arm, green), 4 * scale);
  }

  void conditionPanelLetsTheFrameShowThrough() {
    QWidget window;
    RuleList rules;
    testing::ScriptedDialogs dialogs;
    const testing::FakeClock clock{LocalTime{2031, 1, 15, 9, 30, 0}};
    RuleEditor editor(rules, dialogs, clock, &window);
    window.resize(800, 300);
    window.show();
    // With its caption the frame's top line runs lower, through the panel.
    editor.OpenRuleEditor(3, QStringLiteral("1K"), QStringLiteral("(移動を禁止する)"));
    const QFrame* panel = editor.findChild<QFrame*>(QStringLiteral("Frame2_3"));
    QVERIFY(panel && panel->isVisible());

    const QImage image = editor.grab().toImage();
    // Between Combo1 and the panel nothing but the frame: its line is the
    // first change from the background going down.
    const int clearX = panel->x() - 3;
    QVERIFY(clearX > editor.Combo1->geometry().right());
    int lineY = -1;
    for (int y = 1; y < panel->geometry().bottom() && lineY < 0; ++y) {
      if (image.pixel(clearX, y) != image.pixel(clearX, 0)) lineY = y;
    }
    QVERIFY2(lineY >= panel->y() && lineY < panel->geometry().bottom(), "the line does not cross the panel");

    // The line runs on across the panel, and the panel's empty part above its
    // inputs has the frame's inside colour.
    for (int x = panel->x(); x <= panel->geometry().right(); ++x) {
      QVERIFY2(image.pixel(x, lineY) == image.pixel(clearX, lineY), qPrintable(QString::number(x)));
    }
    const int insideY = lineY + 3;
    QVERIFY(insideY < panel->y() + editor.Combo2->y());
    QCOMPARE(image.pixel(panel->x() + panel->width() / 2, insideY), image.pixel(clearX, insideY));
  }
};

QTEST_MAIN(LooksTest)
#include "looks_test.moc"
