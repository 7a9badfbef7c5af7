#pragma once

// A notification service of the test's own, on its own connection to the session bus: answers
// GetCapabilities with the capabilities given, records each Notify, and emits ActionInvoked.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>

namespace veskora::testing {

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
    notices << Notice{a[0].toString(),
                      a[1].toUInt(),
                      id,
                      a[3].toString(),
                      a[4].toString(),
                      a[5].toStringList(),
                      qdbus_cast<QVariantMap>(a[6])};
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

}  // namespace veskora::testing
