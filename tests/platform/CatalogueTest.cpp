// The message catalogue: Korean ids come back in English once the built catalogue is bound,
// English ids come back as themselves, and the checked-in template matches the sources.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "host/platform/StmText.h"
#include "host/platform/StmTextN.h"
#include "support/StmSavedModel.h"

namespace {

const char* const kNodeFixedId =
    "이동할 수 없는 Node 입니다.\n이동 가능하도록 설정을 변경하여 주시기 바랍니다.";

class Catalogue : public ::testing::Test {
protected:
  void SetUp() override {
    // gettext translates only outside the "C" locale; LANGUAGE then picks the catalogue.
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    setenv("LANGUAGE", "en", 1);
    ASSERT_TRUE(StmBindCatalogue(STM_LOCALE_DIR));
  }
};

// msgid to msgstr of a PO file, continuation lines joined; enough for our own files.
std::map<std::string, std::string> ParsePo(const std::string& po) {
  std::map<std::string, std::string> entries;
  std::istringstream lines(po);
  std::string line, id, str, *current = nullptr;
  auto flush = [&] {
    if (!id.empty()) entries[id] = str;
    id.clear();
    str.clear();
  };
  while (std::getline(lines, line)) {
    auto quoted = [&](size_t from) { return line.substr(from + 1, line.size() - from - 2); };
    if (line.rfind("msgid ", 0) == 0) {
      flush();
      current = &id;
      *current += quoted(6);
    } else if (line.rfind("msgstr ", 0) == 0) {
      current = &str;
      *current += quoted(7);
    } else if (!line.empty() && line[0] == '"' && current) {
      *current += quoted(0);
    }
  }
  flush();
  return entries;
}

// Hangul syllables are U+AC00..U+D7A3, whose UTF-8 lead bytes are 0xEA..0xED.
bool HasHangul(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0xEA && c <= 0xED) return true;
  return false;
}

}  // namespace

TEST_F(Catalogue, KoreanIdComesBackInEnglishAndAnUntranslatedIdAsItself) {
  EXPECT_STREQ(StmText(kNodeFixedId), "This node cannot be moved.\nPlease change its setting so that it can be moved.");
  EXPECT_STREQ(StmText("Input Failure"), "Input Failure");
  EXPECT_STREQ(StmText(""), "");
  // Counts take the catalogue's plural forms: one, then everything else, none included.
  for (const auto& [n, form] : {std::pair{1, "%d object"}, {0, "%d objects"}, {21, "%d objects"}})
    EXPECT_STREQ(StmTextN("%d object", "%d objects", n), form) << n;
  EXPECT_STREQ(StmTextCount("Deleted %d object", "Deleted %d objects", 1), "Deleted 1 object");
  EXPECT_STREQ(StmTextCount("Deleted %d object", "Deleted %d objects", 2), "Deleted 2 objects");
}

TEST(CatalogueFiles, TemplateMatchesTheSources) {
  const std::string fresh = ::testing::TempDir() + "Eng_Stm.fresh.pot";
  const std::string command = "cd '" STM_SOURCE_DIR "' && bash -c 'source scripts/pot-sources.sh && stm_extract_pot \"" +
                              fresh + "\"'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(ReadFile(fresh), ReadFile(STM_SOURCE_DIR "/po/Eng_Stm.pot"))
      << "po/Eng_Stm.pot is stale: run scripts/update-pot.sh";
}

TEST(CatalogueFiles, EveryKoreanIdHasAnEnglishTranslation) {
  const auto pot = ParsePo(ReadFile(STM_SOURCE_DIR "/po/Eng_Stm.pot"));
  const auto en = ParsePo(ReadFile(STM_SOURCE_DIR "/po/en.po"));
  ASSERT_FALSE(en.empty());
  for (const auto& [id, unused] : pot) {
    if (!HasHangul(id)) continue;
    const auto it = en.find(id);
    EXPECT_TRUE(it != en.end() && !it->second.empty()) << "no English for: " << id;
  }
  for (const auto& [id, english] : en) {
    EXPECT_FALSE(HasHangul(english)) << "translation still Korean: " << id;
  }
}

TEST(UserLanguage, OnlyMessagesFollowTheUser) {
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  unsetenv("LC_ALL");
  setenv("LANG", "C.UTF-8", 1);
  setenv("LC_MESSAGES", "C.UTF-8", 1);
  setenv("LANGUAGE", "en", 1);
  ASSERT_TRUE(StmBindCatalogue(STM_LOCALE_DIR));
  EXPECT_STREQ(StmText(kNodeFixedId), kNodeFixedId);  // the "C" locale shows the ids
  EXPECT_TRUE(StmFollowUserLanguage());
  EXPECT_STREQ(StmText(kNodeFixedId), "This node cannot be moved.\nPlease change its setting so that it can be moved.");
  // Everything else stays as the program started: a user locale with a decimal comma must not
  // reach the numbers.
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
  std::setlocale(LC_ALL, "C");
  unsetenv("LC_MESSAGES");
}
