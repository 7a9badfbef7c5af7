#include "session/app_settings.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "ports/settings_store.h"

namespace veskora {

namespace {

// The number a text starts with (blanks, a sign, digits, a fraction, an
// exponent); nothing when it starts with no digit.
std::optional<double> LeadingNumber(QStringView text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  auto digit = [&](qsizetype at) { return at < n && text[at] >= u'0' && text[at] <= u'9'; };
  while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
  const qsizetype start = i;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
  bool anyDigit = false;
  while (digit(i)) ++i, anyDigit = true;
  if (i < n && text[i] == u'.') {
    ++i;
    while (digit(i)) ++i, anyDigit = true;
  }
  if (!anyDigit) return std::nullopt;
  qsizetype end = i;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    qsizetype j = i + 1;
    if (j < n && (text[j] == u'+' || text[j] == u'-')) ++j;
    if (digit(j)) {
      while (digit(j)) ++j;
      end = j;
    }
  }
  bool ok = false;
  const double value = text.mid(start, end - start).toString().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

double RoundHalfToEven(double value) {
  const double down = std::floor(value);
  const double fraction = value - down;
  if (fraction > 0.5) return down + 1;
  if (fraction < 0.5) return down;
  return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

// Far beyond any screen, yet small enough that no pixel count overflows; a
// negative size is no size.
constexpr double kLargestSizeTwips = 1e6;

std::optional<double> ParseSize(QStringView text) {
  return std::clamp(LeadingNumber(text).value_or(0.0), 0.0, kLargestSizeTwips);
}

// A state outside 0..2 is no state the window can take: it reads as normal.
std::optional<double> ParseState(QStringView text) {
  const std::optional<double> number = LeadingNumber(text);
  if (!number) return std::nullopt;
  const double state = RoundHalfToEven(*number);
  if (state < 0 || state > 2) return std::nullopt;
  return state;
}

// "True"/"False" in any letter case, or a number (non-zero is true).
std::optional<double> ParseBoolean(QStringView text) {
  const QStringView word = text.trimmed();
  if (word.compare(u"true", Qt::CaseInsensitive) == 0) return 1.0;
  if (word.compare(u"false", Qt::CaseInsensitive) == 0) return 0.0;
  const std::optional<double> number = LeadingNumber(text);
  if (!number) return std::nullopt;
  return *number != 0 ? 1.0 : 0.0;
}

struct SettingDefinition {
  const char16_t* group;
  const char16_t* key;
  const char16_t* defaultText;
  // std::nullopt for a stored text that cannot be used: it reads as the default.
  std::optional<double> (*parse)(QStringView text);
};

// Every key of the settings store, its default text and how its text reads.
constexpr SettingDefinition kWidth{u"window", u"width", u"8000", &ParseSize};
constexpr SettingDefinition kHeight{u"window", u"height", u"5000", &ParseSize};
constexpr SettingDefinition kState{u"window", u"state", u"0", &ParseState};
constexpr SettingDefinition kAutomove{u"app", u"automove", u"True", &ParseBoolean};
constexpr SettingDefinition kNotify{u"app", u"notify", u"True", &ParseBoolean};

double Read(const SettingsStore& store, const SettingDefinition& setting) {
  const QString defaultText = QString::fromUtf16(setting.defaultText);
  const QString text = store.Read(QString::fromUtf16(setting.group), QString::fromUtf16(setting.key), defaultText);
  if (const std::optional<double> value = setting.parse(text)) return *value;
  return *setting.parse(defaultText);
}

void Write(SettingsStore& store, const SettingDefinition& setting, const QString& text) {
  store.Write(QString::fromUtf16(setting.group), QString::fromUtf16(setting.key), text);
}

}  // namespace

AppSettings ReadAppSettings(const SettingsStore& store) {
  AppSettings settings;
  settings.width = Read(store, kWidth);
  settings.height = Read(store, kHeight);
  settings.state = static_cast<int>(Read(store, kState));
  settings.automove = Read(store, kAutomove) != 0;
  settings.notify = Read(store, kNotify) != 0;
  return settings;
}

void WriteAppSettings(SettingsStore& store, const AppSettings& settings) {
  Write(store, kWidth, QString::number(std::llround(settings.width)));
  Write(store, kHeight, QString::number(std::llround(settings.height)));
  Write(store, kState, QString::number(settings.state));
  WriteAutomove(store, settings.automove);
}

void WriteAutomove(SettingsStore& store, bool automove) {
  Write(store, kAutomove, automove ? QStringLiteral("True") : QStringLiteral("False"));
  store.Flush();
}

void WriteNotify(SettingsStore& store, bool notify) {
  Write(store, kNotify, notify ? QStringLiteral("True") : QStringLiteral("False"));
  store.Flush();
}

}  // namespace veskora
