#pragma once

#include <QSettings>

#include "ports/settings_store.h"

namespace veskora {

// $XDG_CONFIG_HOME/ZUL/ZUL.ini (QSettings' INI format, user scope).
class IniSettingsStore final : public SettingsStore {
 public:
  IniSettingsStore();
  QString Read(const QString& group, const QString& key, const QString& defaultText) const override;
  void Write(const QString& group, const QString& key, const QString& text) override;
  void Flush() override;

 private:
  QSettings settings_;
};

}  // namespace veskora
