#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace veskora {

// Desktop notifications, one per batch of moves. A batch notified within a
// few seconds of the previous one replaces that notification on screen
// rather than piling up. Nothing is waited for: without a notification
// service the notice is simply not shown.
class Notifier {
 public:
  // The user picked an action (its key) on the notification of a batch.
  using ActionHandler = std::function<void(const QString& key, std::uint64_t batch)>;
  struct Action {
    QString key;
    QString label;
  };

  virtual ~Notifier() = default;
  // The actions are offered only where the service shows actions.
  virtual void NotifyBatch(std::uint64_t batch, const QString& summary, const QString& body,
                           const QList<Action>& actions) = 0;
  virtual void OnActionInvoked(ActionHandler handler) = 0;
};

}  // namespace veskora
