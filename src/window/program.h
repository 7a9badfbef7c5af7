#pragma once

#include <memory>

#include "window/shell_services.h"

namespace veskora {

class Form1;
class InstanceLock;

// Starts the program: a second copy brings the first one's window forward,
// tells the user "既に起動されています" and gets nothing back, having written
// nothing; the first gets its window, loaded (and shown unless it starts in
// the tray).
std::unique_ptr<Form1> StartProgram(const ShellServices& services, InstanceLock& lock);

}  // namespace veskora
