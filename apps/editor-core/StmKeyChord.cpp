#include "StmKeyChord.h"

#include <cctype>
#include <cstring>

namespace {

struct SNamedKey {
  const char* name;
  int key;
};
// The first name of a key is the one shown; the others are read too.
const SNamedKey kNamedKeys[] = {
    {"Esc", kStmKeyEscape},       {"Escape", kStmKeyEscape},   {"Tab", kStmKeyTab},
    {"Enter", kStmKeyEnter},      {"Return", kStmKeyEnter},    {"Delete", kStmKeyDelete},
    {"Del", kStmKeyDelete},       {"Backspace", kStmKeyBackspace}, {"Insert", kStmKeyInsert},
    {"Home", kStmKeyHome},        {"End", kStmKeyEnd},         {"PageUp", kStmKeyPageUp},
    {"PageDown", kStmKeyPageDown}, {"Left", kStmKeyLeft},      {"Right", kStmKeyRight},
    {"Up", kStmKeyUp},            {"Down", kStmKeyDown},       {"Space", kStmKeySpace},
};

bool SameWord(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

int ReadKey(const std::string& word) {
  if (word.size() == 1 && std::isalnum(static_cast<unsigned char>(word[0])))
    return std::toupper(static_cast<unsigned char>(word[0]));
  if (word.size() >= 2 && word.size() <= 3 && (word[0] == 'F' || word[0] == 'f')) {
    int n = 0;
    for (size_t i = 1; i < word.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(word[i]))) return kStmKeyNone;
      n = n * 10 + (word[i] - '0');
    }
    return n >= 1 && n <= 12 ? kStmKeyF1 + n - 1 : kStmKeyNone;
  }
  for (const SNamedKey& named : kNamedKeys)
    if (SameWord(word, named.name)) return named.key;
  return kStmKeyNone;
}

}  // namespace

bool StmParseKeyChord(const std::string& text, SStmKeyChord& chord, std::string& error) {
  SStmKeyChord read;
  size_t start = 0;
  while (true) {
    const size_t plus = text.find('+', start);
    const std::string word = text.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    if (word.empty()) {
      error = "\"" + text + "\" names no key";
      return false;
    }
    if (plus == std::string::npos) {
      read.key = ReadKey(word);
      if (read.key == kStmKeyNone) {
        error = "\"" + word + "\" is not a key";
        return false;
      }
      break;
    }
    unsigned mod = 0;
    if (SameWord(word, "Ctrl") || SameWord(word, "Control")) mod = kStmModCtrl;
    else if (SameWord(word, "Shift")) mod = kStmModShift;
    else if (SameWord(word, "Alt")) mod = kStmModAlt;
    if (mod == 0) {
      error = "\"" + word + "\" is not a modifier (Ctrl, Shift or Alt)";
      return false;
    }
    if (read.mods & mod) {
      error = "\"" + text + "\" names " + word + " twice";
      return false;
    }
    read.mods |= mod;
    start = plus + 1;
  }
  chord = read;
  return true;
}

std::string StmFormatKeyChord(const SStmKeyChord& chord) {
  if (chord.IsNone()) return std::string();
  std::string text;
  if (chord.mods & kStmModCtrl) text += "Ctrl+";
  if (chord.mods & kStmModShift) text += "Shift+";
  if (chord.mods & kStmModAlt) text += "Alt+";
  if (chord.key >= kStmKeyF1 && chord.key <= kStmKeyF12) return text + "F" + std::to_string(chord.key - kStmKeyF1 + 1);
  for (const SNamedKey& named : kNamedKeys)
    if (named.key == chord.key) return text + named.name;
  return text + static_cast<char>(chord.key);
}
