#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <optional>

#include "ports/notifier.h"

namespace veskora {

// Notifications through org.freedesktop.Notifications on a D-Bus connection
// (the session bus). Every call is asynchronous: no bus, no service or a
// service that never answers costs the program nothing but the notice.
class DBusNotifier final : public QObject, public Notifier {
  Q_OBJECT

 public:
  // A notification shown this recently is replaced by the next batch's.
  static constexpr qint64 kReplaceWithinMs = 5000;

  explicit DBusNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

  void NotifyBatch(std::uint64_t batch, const QString& summary, const QString& body,
                   const QList<Action>& actions) override;
  void OnActionInvoked(ActionHandler handler) override { handler_ = std::move(handler); }

 private slots:
  void ActionInvoked(uint id, const QString& key);

 private:
  struct Notice {
    std::uint64_t batch = 0;
    QString summary, body;
    QList<Action> actions;
  };
  struct Capabilities {
    bool actions = false;
    bool markup = false;
  };
  void AskCapabilities();
  void Send(const Notice& notice);

  QDBusConnection bus_;
  QDBusServiceWatcher service_;
  ActionHandler handler_;
  // Asked once, at the first notice; asked again after a failed answer, as
  // the service may start later than the program.
  std::optional<Capabilities> capabilities_;
  bool asking_ = false;
  std::optional<Notice> waiting_;  // the newest notice while the capabilities are asked
  uint lastId_ = 0;
  QElapsedTimer lastShown_;
  QHash<uint, std::uint64_t> batches_;  // notification id -> the batch it shows
};

}  // namespace veskora
