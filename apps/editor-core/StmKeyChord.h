// A key with its modifiers, written as a user reads it ("Ctrl+Shift+S", "F5", "Delete", "M"),
// independent of any window system's key codes: each front end maps its own codes to these.
#pragma once

#include <string>

// Letters and digits are their upper-case ASCII codes; the other keys follow.
enum EStmKey : int {
  kStmKeyNone = 0,
  kStmKeyF1 = 0x100,  // F1..F12 follow in order
  kStmKeyF12 = kStmKeyF1 + 11,
  kStmKeyEscape,
  kStmKeyTab,
  kStmKeyEnter,
  kStmKeyDelete,
  kStmKeyBackspace,
  kStmKeyInsert,
  kStmKeyHome,
  kStmKeyEnd,
  kStmKeyPageUp,
  kStmKeyPageDown,
  kStmKeyLeft,
  kStmKeyRight,
  kStmKeyUp,
  kStmKeyDown,
  kStmKeySpace,
};

enum : unsigned { kStmModCtrl = 1u, kStmModShift = 2u, kStmModAlt = 4u };

struct SStmKeyChord {
  int key = kStmKeyNone;
  unsigned mods = 0;
  bool operator==(const SStmKeyChord& other) const { return key == other.key && mods == other.mods; }
  bool IsNone() const { return key == kStmKeyNone; }
};

// Reads "Ctrl+Shift+S" and the like, modifiers in any order and case; false with the reason for
// text that names no key, an unknown key or modifier, or a modifier twice.
bool StmParseKeyChord(const std::string& text, SStmKeyChord& chord, std::string& error);
// The chord as the menus show it, modifiers always as Ctrl+Shift+Alt+Key; empty for no key.
std::string StmFormatKeyChord(const SStmKeyChord& chord);
