#include "window/program.h"

#include "ports/dialogs.h"
#include "adapters/qt/instance_lock.h"
#include "window/form1.h"

namespace veskora {

std::unique_ptr<Form1> StartProgram(const ShellServices& services, InstanceLock& lock) {
  if (!lock.TryLock()) {
    services.dialogs.Inform(nullptr, QStringLiteral("既に起動されています"), Dialogs::Icon::kInformation);
    return nullptr;
  }
  auto form = std::make_unique<Form1>(services, services.dataFolder());
  form->Load();
  return form;
}

}  // namespace veskora
