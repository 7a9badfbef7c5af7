// What moved is told and can be taken back: notifications on a real session bus (run under dbus-run-session),
// the history window.
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QLabel>
#include <QStandardItemModel>

#include "adapters/qt/dbus_notifier.h"
#include "user_environment.h"

using namespace veskora;
using namespace veskora::testing;

namespace {

// A notification service of the test's own, on its own connection to the session bus: answers GetCapabilities with
// the capabilities given, records each Notify, and emits ActionInvoked.
class NotificationServer final : public QDBusVirtualObject {
 public:
  struct Notice {
    QString app;
    uint replaces = 0, id = 0;
    QString summary, body;
    QStringList actions;
    QVariantMap hints;
  };

  explicit NotificationServer(QStringList capabilities)
      : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "notification-server")),
        capabilities_(std::move(capabilities)) {
    if (!bus_.registerVirtualObject(kPath, this) || !bus_.registerService(kService)) qFatal("no session bus");
  }
  ~NotificationServer() override {
    bus_.unregisterService(kService);
    bus_.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(bus_.name());
  }

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
    const QList<QVariant> a = call.arguments();
    if (call.member() == "GetCapabilities") return bus.send(call.createReply(capabilities_));
    if (call.member() != "Notify" || a.size() != 8) return false;
    const uint id = a[1].toUInt() ? a[1].toUInt() : ++lastId_;
    const auto hints = qdbus_cast<QVariantMap>(a[6]);
    notices << Notice{a[0].toString(), a[1].toUInt(), id, a[3].toString(), a[4].toString(), a[5].toStringList(), hints};
    return bus.send(call.createReply(id));
  }

  void Invoke(uint id, const QString& key) {
    bus_.send(QDBusMessage::createSignal(kPath, kService, "ActionInvoked") << id << key);
  }

  QList<Notice> notices;

 private:
  static inline const QString kService = "org.freedesktop.Notifications", kPath = "/org/freedesktop/Notifications";
  QDBusConnection bus_;
  QStringList capabilities_;
  uint lastId_ = 0;
};

// The history as "group: time count | move: name rule from-to state" lines, newest group first.
QString History(const QObject* form) {
  const QAbstractItemModel* model = Find<QTreeView>(form, "historyView")->model();
  QStringList lines;
  for (int g = 0; g < model->rowCount(); ++g) {
    const QModelIndex group = model->index(g, 0);
    lines << group.data().toString().mid(11) + ' ' + model->index(g, 1).data().toString();
    for (int m = 0; m < model->rowCount(group); ++m) {
      QStringList cells;
      for (int c = 1; c < 5; ++c) cells << model->index(m, c, group).data().toString();
      lines << cells.join(' ');
    }
  }
  return lines.join('\n');
}

}  // namespace

class MovesToldTest : public QObject {
  Q_OBJECT

 private slots:
  // A batch raises one notification naming it, a later one replaces it; either can be taken back, from the
  // notification, the tray or the history, and a file put back stays until it changes.
  void aBatchIsToldShownInTheHistoryAndTakenBack() {
    auto server = std::make_unique<NotificationServer>(QStringList{"actions", "body", "body-markup"});
    DBusNotifier notifier(QDBusConnection::sessionBus());
    UserEnvironment user;
    user.notifier = &notifier;
    user.SetSettings("8000|6000|0|False");
    const std::string dest = user.MakeDir("reports");
    const QString to = " → " + QString::fromStdString(dest), from = QString::fromStdString(user.Desktop()) + to;
    Form1* form = user.Start(RuleFileText({"-1,2,pdf," + dest}));
    int second = 10;
    const auto cycle = [&](std::initializer_list<const char*> names) {
      for (const char* name : names) WriteFile(user.Desktop(name), name);
      user.clock.Set({2024, 10, 26, 14, 5, second++});
      Action(form, "m2mexec")->trigger();
    };
    cycle({"a.pdf", "<b>&c.pdf"});
    QTRY_COMPARE(server->notices.size(), 1);
    const NotificationServer::Notice first = server->notices[0];
    QCOMPARE(first.app + ' ' + first.summary, "VESKORA 2件のファイルを移動しました");
    QCOMPARE(first.body, "&lt;b&gt;&amp;c.pdf" + to + "\na.pdf" + to);
    QCOMPARE(first.actions, (QStringList{"undo", "元に戻す", "history", "履歴を表示"}));
    QCOMPARE(first.hints.value("desktop-entry").toString() + QString::number(first.replaces), "veskora0");
    server->Invoke(first.id, "history");
    QTRY_VERIFY(form->findChild<QWidget*>("historyDialog") && Find(form, "historyDialog")->isVisible());
    const QString rule = " 1番目: 拡張子が\"pdf\" ";
    QCOMPARE(History(form),
             "14:05:10 2件のファイル\n<b>&c.pdf" + rule + from + " 移動済み\na.pdf" + rule + from + " 移動済み");
    cycle({"d.pdf"});
    QTRY_COMPARE(server->notices.size(), 2);
    QCOMPARE(server->notices[1].replaces, first.id);
    QCOMPARE(server->notices[1].summary, "1件のファイルを移動しました");
    QCOMPARE(History(form).section('\n', 0, 1), "14:05:11 1件のファイル\nd.pdf" + rule + from + " 移動済み");
    server->Invoke(first.id, "undo");
    QTRY_VERIFY(Exists(user.Desktop("d.pdf")));
    QVERIFY(Exists(dest + "/a.pdf"));
    QCOMPARE(Find<QLabel>(form, "monitor")->text().toStdString(),
             "[10/26 14:05:11] d.pdf を " + user.Desktop() + " へ戻しました");
    QCOMPARE(History(form).section('\n', 1, 1), "d.pdf" + rule + from + " 元に戻しました");
    // Put back, it stays through further cycles until it changes.
    cycle({});
    QVERIFY(Exists(user.Desktop("d.pdf")));
    WriteFile(user.Desktop("d.pdf"), "d, edited");
    cycle({});
    QVERIFY(Exists(dest + "/d.pdf"));
    // From the history: a changed file stays, the rest of the group goes back; the folder opens.
    WriteFile(dest + "/a.pdf", "a, edited");
    auto* view = Find<QTreeView>(form, "historyView");
    view->setCurrentIndex(view->model()->index(view->model()->rowCount() - 1, 0));
    Find<QAbstractButton>(form, "historyUndo")->click();
    Find<QAbstractButton>(form, "historyOpenFolder")->click();
    QVERIFY(Exists(user.Desktop("<b>&c.pdf")) && Exists(dest + "/a.pdf"));
    QCOMPARE(user.handoff.opened, QStringList{"folder:" + QString::fromStdString(dest)});
    QCOMPARE(History(form).section('\n', -3), "14:05:10 2件のファイル\n<b>&c.pdf" + rule + from +
                                                  " 元に戻しました\na.pdf" + rule + from + " 移動後に変更されています");
    // A service without actions (a restarted one): none offered; the tray's entry takes the newest batch back.
    server.reset();
    server = std::make_unique<NotificationServer>(QStringList{"body"});
    QTest::qWait(300);  // for the news of the new owner to arrive
    cycle({"e.pdf"});
    QTRY_COMPARE(server->notices.size(), 1);
    QCOMPARE(server->notices[0].body, "e.pdf" + to);
    QVERIFY(server->notices[0].actions.isEmpty() && server->notices[0].replaces == 0);
    Action(form, "ttundo")->trigger();
    QVERIFY(Exists(user.Desktop("e.pdf")) && Exists(dest + "/d.pdf"));
    // Switched off (and saved), a cycle notifies nothing.
    Action(form, "m2notify")->trigger();
    QCOMPARE(user.Ini("app/notify"), "False");
    cycle({"g.pdf"});
    Action(form, "m2notify")->trigger();
    cycle({"h.pdf"});
    QTRY_COMPARE(server->notices.size(), 2);
    QCOMPARE(server->notices[1].body, "h.pdf" + to);
    // No service at all: the files move all the same; the tray opens the history too.
    server.reset();
    cycle({"f.pdf"});
    QTRY_VERIFY(Exists(dest + "/f.pdf"));
    Find(form, "historyDialog")->hide();
    Action(form, "tthistory")->trigger();
    QVERIFY(Find(form, "historyDialog")->isVisible());
    QCOMPARE(History(form).section('\n', 0, 1), "14:05:17 1件のファイル\nf.pdf" + rule + from + " 移動済み");
  }
};

QTEST_MAIN(MovesToldTest)
#include "moves_told_test.moc"
