#include "adapters/qt/dbus_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace veskora {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// A service that does not answer in this time is taken as none.
constexpr int kCallTimeoutMs = 5000;

QDBusMessage Call(const QString& method) { return QDBusMessage::createMethodCall(kService, kPath, kService, method); }

}  // namespace

DBusNotifier::DBusNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus), service_(kService, bus, QDBusServiceWatcher::WatchForOwnerChange) {
  // Another service (or the same one restarted) may offer other capabilities
  // and knows nothing of the notifications shown before.
  connect(&service_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
    capabilities_.reset();
    lastShown_.invalidate();
    batches_.clear();
  });
  if (bus_.isConnected()) {
    bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this, SLOT(ActionInvoked(uint, QString)));
  }
}

void DBusNotifier::NotifyBatch(std::uint64_t batch, const QString& summary, const QString& body,
                               const QList<Action>& actions) {
  if (!bus_.isConnected()) return;
  const Notice notice{batch, summary, body, actions};
  if (capabilities_) return Send(notice);
  waiting_ = notice;
  AskCapabilities();
}

void DBusNotifier::AskCapabilities() {
  if (asking_) return;
  asking_ = true;
  auto* watcher =
      new QDBusPendingCallWatcher(bus_.asyncCall(Call(QStringLiteral("GetCapabilities")), kCallTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    asking_ = false;
    const QDBusPendingReply<QStringList> reply = *call;
    std::optional<Notice> notice = std::move(waiting_);
    waiting_.reset();
    if (reply.isError()) return;
    const QStringList names = reply.value();
    capabilities_ =
        Capabilities{names.contains(QStringLiteral("actions")), names.contains(QStringLiteral("body-markup"))};
    if (notice) Send(*notice);
  });
}

void DBusNotifier::Send(const Notice& notice) {
  QStringList actions;
  if (capabilities_->actions) {
    for (const Action& action : notice.actions) actions << action.key << action.label;
  }
  // Names are shown as they are, never read as markup.
  const QString body = capabilities_->markup ? notice.body.toHtmlEscaped() : notice.body;
  const uint replaces = lastShown_.isValid() && lastShown_.elapsed() < kReplaceWithinMs ? lastId_ : 0;
  const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("veskora")}};
  QDBusMessage call = Call(QStringLiteral("Notify"));
  call << QStringLiteral("VESKORA") << replaces << QStringLiteral("veskora") << notice.summary << body << actions
       << hints << -1;
  lastShown_.start();
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
  const std::uint64_t batch = notice.batch;
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, batch](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError()) {
      // Gone or stuck: ask afresh next time, and replace nothing.
      capabilities_.reset();
      lastShown_.invalidate();
      return;
    }
    lastId_ = reply.value();
    batches_.insert(lastId_, batch);
  });
}

void DBusNotifier::ActionInvoked(uint id, const QString& key) {
  const auto batch = batches_.constFind(id);
  if (batch != batches_.constEnd() && handler_) handler_(key, *batch);
}

}  // namespace veskora
