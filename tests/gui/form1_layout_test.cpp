// The main window's layout in pixels at 96 DPI (15 twips per pixel).
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QtTest>

#include "shell/window_layout.h"
#include "shell_fixture.h"

using namespace veskora;
using namespace veskora::testing;

namespace {

int Px(double twips) { return qRound(twips / 15.0); }

QWidget* Control(Form1* form, const char* name) { return form->findChild<QWidget*>(QLatin1String(name)); }

Form1* StartAt(ShellFixture& f, const char* width, const char* height) {
  QSettings(QString::fromStdString(f.IniPath()), QSettings::IniFormat).setValue("window/width", width);
  QSettings(QString::fromStdString(f.IniPath()), QSettings::IniFormat).setValue("window/height", height);
  f.Finish();
  return f.Start();
}

}  // namespace

class Form1LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    ShellFixture f;
    Form1* form = f.Start();
    if (form->logicalDpiX() != 96 || form->logicalDpiY() != 96) QSKIP("the figures below are for 96 DPI");
  }

  void theFiguresAt8000By6000Twips() {
    ShellFixture f;
    Form1* form = StartAt(f, "8000", "6000");
    QTRY_COMPARE(OuterSize(*form), QSize(533, 400));
    auto* list = form->findChild<QTreeView*>(QStringLiteral("ListView1"));
    QWidget* frame = Control(form, "Frame1");

    QCOMPARE(list->geometry(), QRect(0, 0, Px(7880), Px(3000)));
    QCOMPARE(list->header()->sectionSize(0), Px(3902));
    QCOMPARE(list->header()->sectionSize(1), Px(3902));
    QCOMPARE(frame->geometry(), QRect(0, Px(3100), Px(7890), Px(1800)));
    QCOMPARE(Control(form, "Command0")->geometry(), QRect(Px(2687.5), Px(3940), Px(2625), Px(420)));
    QCOMPARE(Control(form, "Command5")->geometry(), QRect(Px(120), Px(5000), Px(285), Px(285)));
    QCOMPARE(Control(form, "Command2")->geometry(), QRect(Px(480), Px(5000), Px(285), Px(285)));
    QCOMPARE(Control(form, "monitor")->pos(), QPoint(Px(840), Px(5040)));
    QCOMPARE(Control(form, "Command3")->geometry(), QRect(Px(6570), Px(1440), Px(1215), Px(255)));
    QCOMPARE(Control(form, "Command4")->geometry(), QRect(Px(5390), Px(1440), Px(1095), Px(255)));
    QVERIFY(list->isVisible());
  }

  void aSmallerSizeGrowsToTheMinimum() {
    ShellFixture f;
    Form1* form = StartAt(f, "3000", "abc");
    QTRY_COMPARE(OuterSize(*form), QSize(533, 400));
    form->resize(200, 100);
    QTRY_COMPARE(OuterSize(*form), QSize(533, 400));
    QVERIFY(form->isEnabled());
    // A larger size is kept and laid out for.
    SetOuterSize(*form, QSize(700, 500));
    QTRY_COMPARE(OuterSize(*form), QSize(700, 500));
    auto* list = form->findChild<QTreeView*>(QStringLiteral("ListView1"));
    QCOMPARE(list->size(), QSize(Px(700 * 15 - 120), Px(500 * 15 - 3000)));
    QCOMPARE(Control(form, "Command2")->y(), Px(500 * 15 - 1000));
  }

  void aMaximizedWindowIsLaidOutForItsSize() {
    ShellFixture f;
    Form1* form = f.Start();
    form->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(OuterSize(*form).width() > 533);
    const QSize outer = OuterSize(*form);
    auto* list = form->findChild<QTreeView*>(QStringLiteral("ListView1"));
    QTRY_COMPARE(list->width(), Px(outer.width() * 15 - 120));
    QCOMPARE(list->height(), Px(outer.height() * 15 - 3000));
    QCOMPARE(Control(form, "Frame1")->y(), Px(outer.height() * 15 - 2900));
    QCOMPARE(Control(form, "monitor")->y(), Px(outer.height() * 15 - 960));
  }

  void theAddButtonLiesUnderTheEditorPanel() {
    ShellFixture f;
    Form1* form = f.Start();
    QWidget* command0 = Control(form, "Command0");
    QWidget* frame = Control(form, "Frame1");
    QWidget* client = command0->parentWidget();
    const QPoint centre = command0->geometry().center();
    QVERIFY(frame->geometry().contains(command0->geometry()));
    QVERIFY(!frame->isVisible());
    QCOMPARE(client->childAt(centre), command0);
    frame->show();
    QWidget* hit = client->childAt(centre);
    QVERIFY(hit == frame || frame->isAncestorOf(hit));
  }

  void thePictureButtonsAndTheStatusLabel() {
    ShellFixture f;
    Form1* form = f.Start();
    QCOMPARE(form->palette().color(QPalette::Window), QColor(224, 224, 224));
    for (const char* name : {"Command0", "Command2", "Command5"}) {
      QCOMPARE(Control(form, name)->cursor().shape(), Qt::PointingHandCursor);
      // The pictures are drawn, not left blank: the face is not one colour.
      const QImage picture = Control(form, name)->grab().toImage();
      QVERIFY2(picture.pixelColor(picture.width() / 2, picture.height() / 2) != picture.pixelColor(1, 1) ||
                   picture.pixelColor(picture.width() / 3, picture.height() / 2) != picture.pixelColor(1, 1),
               name);
    }
    QCOMPARE(Control(form, "Command0")->toolTip(), QString());
    QCOMPARE(Control(form, "Command5")->toolTip(), QStringLiteral("タスクトレイに収納"));
    QCOMPARE(Control(form, "Command2")->toolTip(), QStringLiteral("移動ログを開く"));
    auto* monitor = form->findChild<QLabel*>(QStringLiteral("monitor"));
    QCOMPARE(monitor->text(), QStringLiteral("\u3000\u3000\u3000"));
    QCOMPARE(monitor->size(), monitor->sizeHint());
  }
};

QTEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
