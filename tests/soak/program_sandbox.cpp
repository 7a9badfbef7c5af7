#include "program_sandbox.h"

#include <sys/stat.h>

#include <filesystem>

namespace veskora::faults {

ProgramSandbox::ProgramSandbox()
    : home_(root_.MakeDir("home")),
      desktop_(root_.MakeDir("home/Desktop")),
      runtime_(root_.MakeDir("run")),
      program_(root_.MakeDir("program")) {
  chmod(runtime_.c_str(), 0700);
  std::filesystem::copy_file(VESKORA_PROGRAM, program_ + "/veskora");
}

std::vector<std::string> ProgramSandbox::Environment(const std::vector<std::string>& extra) const {
  std::vector<std::string> env = {"HOME=" + home_, "XDG_CONFIG_HOME=" + home_ + "/.config",
                                  "XDG_DATA_HOME=" + home_ + "/.local/share", "XDG_RUNTIME_DIR=" + runtime_,
                                  "QT_QPA_PLATFORM=offscreen"};
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

}  // namespace veskora::faults
