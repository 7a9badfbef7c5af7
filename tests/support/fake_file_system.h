#pragma once

#include <optional>
#include <string>

#include "ports/file_system.h"

namespace veskora::testing {

// A file system made up by the test: one answer for every file's facts,
// counting the questions; it lists nothing and moves nothing.
class FakeFileSystem final : public FileSystem {
 public:
  void BeginCycle(const std::string&) override {}
  std::optional<FolderListing> List(const std::string&) override { return FolderListing{}; }
  std::optional<FileFacts> Facts(const std::string&, const std::string&) override { return ++factsAsked, facts; }
  std::optional<FileIdentity> Identity(const std::string&, const std::string&) override { return std::nullopt; }
  MoveOutcome Check(const std::string&, const std::string&, const std::string&) override {
    return MoveOutcome::kFailed;
  }
  MoveOutcome Move(const std::string&, const std::string&, const std::string&, FileIdentity*) override {
    return MoveOutcome::kFailed;
  }

  std::optional<FileFacts> facts;
  int factsAsked = 0;
};

}  // namespace veskora::testing
