#include "session/ini_settings_store.h"

namespace veskora {

IniSettingsStore::IniSettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZUL"), QStringLiteral("ZUL")) {}

QString IniSettingsStore::Read(const QString& group, const QString& key, const QString& defaultText) const {
  return settings_.value(group + QLatin1Char('/') + key, defaultText).toString();
}

void IniSettingsStore::Write(const QString& group, const QString& key, const QString& text) {
  settings_.setValue(group + QLatin1Char('/') + key, text);
}

// A store that cannot be written is not reported: the program has no way to
// repair it and the next start simply takes the defaults.
void IniSettingsStore::Flush() { settings_.sync(); }

}  // namespace veskora
