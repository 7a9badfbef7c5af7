#pragma once

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

extern char** environ;

namespace veskora::testing {

// A program's arguments and environment as execve takes them, made before a fork (the child may only call execve
// and _exit): this process's environment, with the given NAME=VALUE entries in place of their names.
class ExecImage {
 public:
  ExecImage(std::vector<std::string> argv, const std::vector<std::string>& env) : args_(std::move(argv)) {
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e, name = entry.substr(0, entry.find('=') + 1);
      const auto replaced = [&](const std::string& extra) { return extra.starts_with(name); };
      if (std::none_of(env.begin(), env.end(), replaced)) entries_.push_back(entry);
    }
    entries_.insert(entries_.end(), env.begin(), env.end());
    for (std::string& entry : entries_) envp_.push_back(entry.data());
    envp_.push_back(nullptr);
    for (std::string& arg : args_) argp_.push_back(arg.data());
    argp_.push_back(nullptr);
  }
  ExecImage(const ExecImage&) = delete;
  ExecImage& operator=(const ExecImage&) = delete;

  // Returns only when the program cannot be run.
  void Exec() const { execve(argp_[0], argp_.data(), envp_.data()); }

 private:
  std::vector<std::string> args_;
  std::vector<std::string> entries_;
  std::vector<char*> argp_;
  std::vector<char*> envp_;
};

}  // namespace veskora::testing
