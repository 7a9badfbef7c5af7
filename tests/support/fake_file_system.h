#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ports/file_system.h"

namespace veskora::testing {

// A file system made up by the test: one listing and one answer for every
// file's facts; moves are recorded, not made. Counts the questions asked.
class FakeFileSystem final : public FileSystem {
 public:
  void BeginCycle(const std::string&) override { ++cycles; }
  std::optional<FolderListing> List(const std::string&) override { return listing; }
  std::optional<FileFacts> Facts(const std::string&, const std::string&) override {
    ++factsAsked;
    return facts;
  }
  std::optional<FileIdentity> Identity(const std::string&, const std::string&) override { return std::nullopt; }
  MoveOutcome Check(const std::string&, const std::string&, const std::string&) override { return outcome; }
  MoveOutcome Move(const std::string&, const std::string& name, const std::string& destination,
                   FileIdentity*) override {
    moves.push_back(name + " -> " + destination);
    return outcome;
  }

  std::optional<FolderListing> listing = FolderListing{};
  std::optional<FileFacts> facts;
  MoveOutcome outcome = MoveOutcome::kMoved;
  int factsAsked = 0;
  int cycles = 0;
  std::vector<std::string> moves;
};

}  // namespace veskora::testing
