#include "mover/outcome_words.h"

namespace veskora {

namespace {

struct Words {
  Outcome outcome;
  std::string_view code;
  std::string_view english;
  std::string_view japanese;
};

constexpr Words kWords[] = {
    {Outcome::kMoves, "moves", "moves", "移動します"},
    {Outcome::kProtected, "protected", "protected", "移動を禁止する"},
    {Outcome::kNoFolder, "no-folder", "not moved: the row names no folder", "移動先が未定義です"},
    {Outcome::kInUse, "in-use", "not moved: still arriving or in use", "使用中またはダウンロード中です"},
    {Outcome::kNameTaken, "name-taken", "not moved: the destination has a file of that name",
     "移動先に同じ名前のファイルがあります"},
    {Outcome::kNoDestination, "no-destination", "not moved: the destination is missing or not a folder",
     "移動先のフォルダがありません"},
    {Outcome::kGone, "gone", "not moved: the file is gone", "見つかりません"},
    {Outcome::kPutBack, "put-back", "not moved: put back by the user", "ユーザーが元に戻しました"},
    {Outcome::kMoveFailed, "move-failed", "not moved: the last try failed; it is tried again later",
     "前回の移動に失敗しました。あとで再試行します"},
};

const Words& Find(Outcome outcome) {
  for (const Words& words : kWords) {
    if (words.outcome == outcome) return words;
  }
  return kWords[0];  // every outcome is in the table
}

struct StateWords {
  MoveState state;
  std::string_view code;
  std::string_view english;
  std::string_view japanese;
};

constexpr StateWords kStateWords[] = {
    {MoveState::kMoved, "moved", "moved", "移動済み"},
    {MoveState::kPutBack, "put-back", "put back", "元に戻しました"},
    {MoveState::kChanged, "changed", "changed since the move", "移動後に変更されています"},
    {MoveState::kNotFound, "not-found", "not found", "見つかりません"},
};

const StateWords& Find(MoveState state) {
  for (const StateWords& words : kStateWords) {
    if (words.state == state) return words;
  }
  return kStateWords[0];  // every state is in the table
}

}  // namespace

std::string_view OutcomeCode(Outcome outcome) { return Find(outcome).code; }

std::string_view OutcomeWords(Outcome outcome, Language language) {
  const Words& words = Find(outcome);
  return language == Language::kJapanese ? words.japanese : words.english;
}

std::string_view MoveStateCode(MoveState state) { return Find(state).code; }

std::string_view MoveStateWords(MoveState state, Language language) {
  const StateWords& words = Find(state);
  return language == Language::kJapanese ? words.japanese : words.english;
}

}  // namespace veskora
