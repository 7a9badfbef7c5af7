#pragma once

#include <QString>

namespace veskora {

// The per-user settings store: texts under a group and a key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or the default when the key is absent.
  virtual QString Read(const QString& group, const QString& key, const QString& defaultText) const = 0;
  virtual void Write(const QString& group, const QString& key, const QString& text) = 0;
  // Puts written values on disk.
  virtual void Flush() = 0;
};

}  // namespace veskora
