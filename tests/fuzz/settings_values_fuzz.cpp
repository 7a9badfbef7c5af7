// Any texts as the four stored settings: reading them never crashes, gives a
// window state the window can take and sizes it can be given at any screen
// resolution, and what is saved reads back as saved.
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/qt/settings_store.h"
#include "shell/app_settings.h"
#include "platform/qt/twips.h"

namespace {

class MemoryStore final : public veskora::SettingsStore {
 public:
  QString Read(const QString& group, const QString& key, const QString& defaultText) const override {
    const auto it = values_.find(group + u'/' + key);
    return it == values_.end() ? defaultText : it->second;
  }
  void Write(const QString& group, const QString& key, const QString& text) override {
    values_[group + u'/' + key] = text;
  }
  void Flush() override {}

  std::map<QString, QString> values_;
};

bool Same(const veskora::AppSettings& a, const veskora::AppSettings& b) {
  return a.width == b.width && a.height == b.height && a.state == b.state && a.automove == b.automove;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input holds width, height, state and automove separated by NUL bytes,
  // as UTF-8; a value the input does not reach is absent from the store.
  static const char16_t* const kKeys[] = {u"window/width", u"window/height", u"window/state", u"app/automove"};
  MemoryStore store;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (const char16_t* key : kKeys) {
    if (start > bytes.size()) break;
    const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
    store.values_[QString::fromUtf16(key)] =
        QString::fromUtf8(bytes.data() + start, static_cast<qsizetype>(end - start));
    start = end + 1;
  }

  const veskora::AppSettings read = veskora::ReadAppSettings(store);
  if (read.state < 0 || read.state > 2) std::abort();
  if (!std::isfinite(read.width) || !std::isfinite(read.height)) std::abort();
  // What the window does with them: twips to pixels at the screen's DPI. A
  // size beyond what a pixel count can hold is undefined behaviour there.
  for (const double dpi : {72.0, 96.0, 288.0}) {
    const veskora::TwipsScale scale(dpi, dpi);
    scale.X(read.width);
    scale.Y(read.height);
  }

  MemoryStore saved;
  veskora::WriteAppSettings(saved, read);
  const veskora::AppSettings again = veskora::ReadAppSettings(saved);
  MemoryStore resaved;
  veskora::WriteAppSettings(resaved, again);
  if (resaved.values_ != saved.values_ || !Same(veskora::ReadAppSettings(resaved), again)) std::abort();
  return 0;
}
