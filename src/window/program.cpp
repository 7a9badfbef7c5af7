#include "window/program.h"

#include "ports/dialogs.h"
#include "adapters/qt/instance_lock.h"
#include "window/form1.h"

namespace veskora {

std::unique_ptr<Form1> StartProgram(const ShellServices& services, InstanceLock& lock) {
  if (!lock.TryLock()) {
    // The running copy comes forward, also out of the tray, while the message
    // is read: a desktop without a tray has no other way back to it.
    lock.CallHolder();
    services.dialogs.Inform(nullptr, QStringLiteral("既に起動されています"), Dialogs::Icon::kInformation);
    return nullptr;
  }
  auto form = std::make_unique<Form1>(services, services.dataFolder());
  form->Load();
  QObject::connect(&lock, &InstanceLock::called, form.get(), &Form1::BringForward);
  return form;
}

}  // namespace veskora
