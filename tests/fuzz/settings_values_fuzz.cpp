// Any texts as the four stored settings: reading never crashes, gives a window state and sizes the window can take
// at any resolution, and what is saved reads back as saved.
#include <QMap>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ports/settings_store.h"
#include "window/twips.h"
#include "session/app_settings.h"

namespace {

class MemoryStore final : public veskora::SettingsStore {
 public:
  QString Read(const QString& group, const QString& key, const QString& defaultText) const override {
    return values.value(group + u'/' + key, defaultText);
  }
  void Write(const QString& group, const QString& key, const QString& text) override {
    values[group + u'/' + key] = text;
  }
  void Flush() override {}
  QMap<QString, QString> values;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Width, height, state and automove separated by NUL bytes; a value the input does not reach is absent.
  MemoryStore store;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (const char* key : {"window/width", "window/height", "window/state", "app/automove"}) {
    if (start > bytes.size()) break;
    const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
    store.values[key] = QString::fromUtf8(bytes.data() + start, static_cast<qsizetype>(end - start));
    start = end + 1;
  }
  const veskora::AppSettings read = veskora::ReadAppSettings(store);
  if (read.state < 0 || read.state > 2 || !std::isfinite(read.width) || !std::isfinite(read.height)) std::abort();
  // Twips to pixels at the screen's DPI: a size beyond what a pixel count holds is undefined behaviour there.
  for (const double dpi : {72.0, 96.0, 288.0}) {
    const veskora::TwipsScale scale(dpi, dpi);
    scale.X(read.width);
    scale.Y(read.height);
  }
  // Saved, read back and saved again, the texts are the same.
  MemoryStore saved, resaved;
  veskora::WriteAppSettings(saved, read);
  veskora::WriteAppSettings(resaved, veskora::ReadAppSettings(saved));
  if (resaved.values != saved.values) std::abort();
  return 0;
}
