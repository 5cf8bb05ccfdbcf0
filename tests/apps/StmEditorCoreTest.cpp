// The editor's window-free logic: keys as text and the command table that menus, keys and the
// key list are drawn from. (The modified state that follows the undo history: the Qt stories of
// undo, redo and save against the file on disk.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CStmCommandTable.h"
#include "StmGridSpacing.h"
#include "StmKeyChord.h"

namespace {

SStmKeyChord Chord(const std::string& text) {
  SStmKeyChord chord;
  std::string error;
  EXPECT_TRUE(StmParseKeyChord(text, chord, error)) << text << ": " << error;
  return chord;
}

SStmCommand Command(const std::string& id, const std::string& key, int& runs,
                    const std::vector<std::string>& menus = {}, const std::string& help = "") {
  return SStmCommand{id, id, menus, help, key, "", nullptr, nullptr, [&runs] { ++runs; }};
}

TEST(StmKeyChord, ReadsWhatMenusShowInAnyCaseAndOrderAndRefusesTheRest) {
  EXPECT_EQ(Chord("Ctrl+Shift+S"), (SStmKeyChord{'S', kStmModCtrl | kStmModShift}));
  EXPECT_EQ(Chord("shift+ctrl+s"), Chord("Ctrl+Shift+S"));
  EXPECT_EQ(Chord("F5"), (SStmKeyChord{kStmKeyF1 + 4, 0}));
  EXPECT_EQ(Chord("Del"), Chord("Delete"));
  EXPECT_EQ(Chord("Escape"), Chord("Esc"));
  // Written back one way, whatever way it was read.
  for (const char* text : {"shift+ctrl+s", "f12", "Alt+Delete", "m", "Ctrl+0", "Escape"}) {
    const std::string shown = StmFormatKeyChord(Chord(text));
    EXPECT_EQ(Chord(shown), Chord(text)) << text << " shown as " << shown;
  }
  EXPECT_EQ(StmFormatKeyChord(Chord("shift+ctrl+s")), "Ctrl+Shift+S");
  EXPECT_EQ(StmFormatKeyChord(SStmKeyChord{}), "");

  for (const char* bad : {"", "Ctrl+", "+S", "Ctrl", "F13", "F0", "Hyper+S", "Ctrl+Ctrl+S", "SS", "Ctrl++"}) {
    SStmKeyChord chord{'Q', kStmModAlt};
    std::string error;
    EXPECT_FALSE(StmParseKeyChord(bad, chord, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
    EXPECT_EQ(chord, (SStmKeyChord{'Q', kStmModAlt})) << bad << " changed the chord";
  }
}

TEST(StmCommandTable, RefusesClashesUnchangedAndDrawsMenusKeysAndTheKeyList) {
  int saves = 0, deletes = 0, pastes = 0, cuts = 0;
  CStmCommandTable table;
  std::string error;
  ASSERT_TRUE(table.Add(Command("file.save", "ctrl+s", saves, {"File"}, "save"), error)) << error;
  SStmCommand paste = Command("edit.paste", "Ctrl+V", pastes, {"Edit", "Modify"});
  bool copied = false;
  paste.enabled = [&copied] { return copied; };
  ASSERT_TRUE(table.Add(paste, error)) << error;
  ASSERT_TRUE(table.Add(Command("edit.delete", "Delete", deletes, {"Edit"}, "delete the selection"), error)) << error;

  // A second id, a key taken (however written), bad key text and a missing handler change nothing.
  const std::vector<SStmCommand> refused = {Command("file.save", "F2", cuts), Command("edit.cut", "Ctrl+S", cuts),
                                            Command("edit.cut", "Ctrl+Hyper", cuts), Command("", "F3", cuts),
                                            SStmCommand{"edit.cut", "Cut", {"Edit"}, "", "Ctrl+X", "", nullptr,
                                                        nullptr, nullptr}};
  for (const SStmCommand& command : refused) {
    error.clear();
    EXPECT_FALSE(table.Add(command, error)) << command.id << " " << command.key;
    EXPECT_FALSE(error.empty());
  }
  ASSERT_EQ(table.GetAll().size(), 3u);
  EXPECT_EQ(table.Find("file.save")->key, "Ctrl+S");
  EXPECT_EQ(table.FindByKey(Chord("F2")), nullptr);

  // A command in two menus shows in both, in table order.
  const auto edit = table.InMenu("Edit");
  ASSERT_EQ(edit.size(), 2u);
  EXPECT_EQ(edit[0]->id, "edit.paste");
  EXPECT_EQ(edit[1]->id, "edit.delete");
  ASSERT_EQ(table.InMenu("Modify").size(), 1u);

  // The menu runs only what is enabled; the key runs its command either way, so that it can say
  // why nothing happens, and a key no command has is left to the view.
  EXPECT_FALSE(table.Run("edit.paste"));
  EXPECT_TRUE(table.RunKey(Chord("Ctrl+V")));
  EXPECT_EQ(pastes, 1);
  copied = true;
  EXPECT_TRUE(table.Run("edit.paste"));
  EXPECT_EQ(pastes, 2);
  EXPECT_TRUE(table.RunKey(Chord("Ctrl+S")));
  EXPECT_FALSE(table.RunKey(Chord("Ctrl+Shift+S")));
  EXPECT_FALSE(table.RunKey(Chord("S")));
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(deletes, 0);

  // Neighbours with one help text share a row; a given row is never joined.
  ASSERT_TRUE(table.Add(Command("edit.cut", "Ctrl+X", cuts, {}, "delete the selection"), error)) << error;
  const std::vector<StmKeyRow> rows = table.KeyList({{"Wheel", "save"}});
  const std::vector<StmKeyRow> expected = {
      {"Wheel", "save"}, {"Ctrl+S", "save"}, {"Delete / Ctrl+X", "delete the selection"}};
  EXPECT_EQ(rows, expected);
}

TEST(StmGridSpacing, IsARoundTenthOfAMetreInTheModelsUnit) {
  // A unit the editor does not know takes the millimetre's.
  for (const auto& [unit, spacing] :
       {std::pair{"mm", 100.0}, {"cm", 10.0}, {"m", 0.1}, {"in", 4.0}, {"ft", 0.5}, {"furlong", 100.0}})
    EXPECT_DOUBLE_EQ(StmGridSpacingForUnit(unit), spacing) << unit;
}

}  // namespace
