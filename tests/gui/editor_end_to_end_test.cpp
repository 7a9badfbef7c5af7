// A user builds a rule set from the window alone — a keyword rule with a
// folder, a protect rule, a new order — and the next cycle applies exactly
// that; the rules come back at the next start.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "shell_fixture.h"

using namespace veskora;
using namespace veskora::testing;

namespace {

template <typename T>
T* Find(QWidget* form, const char* name) {
  T* child = form->findChild<T*>(QLatin1String(name));
  if (!child) qFatal("no %s", name);
  return child;
}

}  // namespace

class EditorEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void rulesBuiltInTheWindowDriveTheNextCycleAndSurviveARestart() {
    ShellFixture f;
    const QString photos = QString::fromStdString(f.MakeDir("写真, 2024"));
    Form1* form = f.Start();
    QVERIFY(form);

    // A keyword rule with a folder (whose name holds a comma), from the big button.
    Find<QAbstractButton>(form, "Command0")->click();
    QVERIFY(Find<QWidget>(form, "Frame1")->isVisible());
    QCOMPARE(form->focusWidget(), Find<QComboBox>(form, "Combo1"));
    Find<QComboBox>(form, "Combo1")->setCurrentIndex(0);
    Find<QLineEdit>(form, "Text1")->setText("PHOTO");
    f.dialogs.folderAnswers.push_back(photos);
    Find<QAbstractButton>(form, "Command1")->click();
    Find<QAbstractButton>(form, "Command3")->click();
    QVERIFY(!Find<QWidget>(form, "Frame1")->isVisible());

    // A protect rule for jpg, from the menu.
    Action(form, "m2new")->trigger();
    Find<QComboBox>(form, "Combo1")->setCurrentIndex(1);
    Find<QLineEdit>(form, "Text2")->setText("jpg");
    Find<QRadioButton>(form, "Option2")->click();
    Find<QAbstractButton>(form, "Command3")->click();
    QCOMPARE(Rows(form), (QStringList{"ファイル名に\"PHOTO\"が含まれる|" + photos + "|2",
                                      "拡張子が\"jpg\"|(移動を禁止する)|2"}));

    // The protect rule goes first.
    ClickRow(form, 1);
    Action(form, "mlup")->trigger();
    QCOMPARE(Rows(form).first(), QStringLiteral("拡張子が\"jpg\"|(移動を禁止する)|2"));

    for (const char* name : {"PHOTO1.jpg", "PHOTO2.txt", "cat.jpg", "other.txt"}) {
      WriteFile(f.Desktop() + "/" + name, name);
    }
    Action(form, "m2mexec")->trigger();
    QCOMPARE(QString::fromStdString(ListNames(f.Desktop())), QStringLiteral("PHOTO1.jpg cat.jpg other.txt"));
    QCOMPARE(QString::fromStdString(ListNames(photos.toStdString())), QStringLiteral("PHOTO2.txt"));
    QCOMPARE(QString::fromStdString(ReadFile(f.LogPath())),
             "[10/26 14:05:09] PHOTO2.txt を " + photos + " へ移動しました\r\n");

    form->close();
    f.Finish();
    QCOMPARE(QString::fromStdString(ReadFile(f.RulePath())),
             QStringLiteral("-1,2,jpg,(移動を禁止する)\r\n-1,1,PHOTO,\"%1\"\r\n").arg(photos));

    Form1* again = f.Start();
    QVERIFY(again);
    QCOMPARE(Rows(again), (QStringList{"拡張子が\"jpg\"|(移動を禁止する)|2",
                                       "ファイル名に\"PHOTO\"が含まれる|" + photos + "|2"}));
  }
};

QTEST_MAIN(EditorEndToEndTest)
#include "editor_end_to_end_test.moc"
