// Hostile model files: whatever a file holds, loading ends soon with the file and the limit
// named, never with a crash, a hang or a model the rest of the program cannot handle.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"

namespace {

using nlohmann::ordered_json;

// A model with two nodes, a static condition and nothing else to get in the way.
std::string BaseText() {
  CStmModel model;
  model.AddNode(CVector(0, 0, 0));
  model.AddNode(CVector(1, 0, 0));
  model.AddLoadConditionStatic("DL");
  model.AddLoadNode("DL", 1, CVector(0, 0, -10));
  std::string text, error;
  EXPECT_TRUE(CStmModelFile::ToText(model, text, &error)) << error;
  return text;
}

// Refused, naming the file and saying `said`; the message.
std::string Refusal(const std::string& text, const std::string& said) {
  CStmModel model;
  std::string error;
  EXPECT_FALSE(CStmModelFile::FromText(text, "hostile.stm.json", model, &error));
  EXPECT_EQ(error.rfind("hostile.stm.json: ", 0), 0u) << error;
  EXPECT_NE(error.find(said), std::string::npos) << error;
  EXPECT_TRUE(model.GetNodes().empty());
  return error;
}

TEST(StmModelFileLimits, DeepNestingIsRefusedBeforeParsing) {
  std::string text = BaseText();
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "{\"a\": [";
  deep += "1";
  for (int i = 0; i < 100000; ++i) deep += "]}";
  text.replace(text.find("\"description\": \"\""), 17, "\"description\": " + deep);
  Refusal(text, "nested deeper than 64 levels");

  // Brackets inside strings are text, not levels.
  CStmModel model;
  model.SetDescription(CString(std::string(500, '[') + "\\\"{"));
  std::string saved, why;
  ASSERT_TRUE(CStmModelFile::ToText(model, saved, &why)) << why;
  CStmModel loaded;
  EXPECT_TRUE(CStmModelFile::FromText(saved, "deep-text.stm.json", loaded, &why)) << why;
  EXPECT_EQ(loaded.GetDescription(), model.GetDescription());
}

TEST(StmModelFileLimits, DuplicateMembersAreRefusedWithTheirPlace) {
  std::string text = BaseText();
  const size_t coord = text.find("\"coord\": ");
  text.insert(coord, "\"coord\": [5.0, 5.0, 5.0], ");
  Refusal(text, "hostile.stm.json: /nodes/0: member \"coord\" appears twice");

  // The place counts the elements of arrays past the nested arrays of those before.
  text = BaseText();
  text.insert(text.find("\"coord\": ", coord + 1), "\"coord\": [5.0, 5.0, 5.0], ");
  Refusal(text, "hostile.stm.json: /nodes/1: member \"coord\" appears twice");
}

TEST(StmModelFileLimits, BadBytesInMessagesAreEscaped) {
  // A byte that is not UTF-8, quoted back by the parser.
  std::string text = BaseText();
  text.replace(text.find("\"description\": \"\""), 17, "\"description\": \"ab\xff\xfe\"");
  EXPECT_EQ(Refusal(text, "\\xff").find('\xff'), std::string::npos);

  // A control character in a name quoted by the reader; Korean and other UTF-8 pass unchanged.
  ordered_json doc = ordered_json::parse(BaseText());
  doc["loadCombos"] = ordered_json::array({{{"id", 1}, {"name", "\x1b[31m\xea\xb0\x80"}, {"enable", true},
                                            {"factors", ordered_json::array({{{"id", 1}, {"condition", "\x1b[0m"},
                                                                               {"type", 0}, {"scale", 1.0}}})}}});
  EXPECT_EQ(Refusal(doc.dump(), "\"\\x1b[0m\" does not exist").find('\x1b'), std::string::npos);
  doc["loadCombos"][0]["factors"][0]["condition"] = "\xea\xb0\x80";
  Refusal(doc.dump(), "\"\xea\xb0\x80\" does not exist");
}

// A device: the command-line test, through the same loader.
TEST(StmModelFileLimits, OnlyRegularFilesOfBoundedSizeAreRead) {
  char folder[] = "/tmp/stm-limits-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string dir = folder, big = dir + "/big.stm.json";
  // Sparse: the size is refused before a byte is read.
  std::ofstream(big).close();
  ASSERT_EQ(truncate(big.c_str(), (256LL << 20) + 1), 0);
  for (const auto& [path, problem] : {std::pair<std::string, std::string>{dir, "is a folder"},
                                      {big, "larger than the limit of 256 MB"}}) {
    CStmModel model;
    std::string error;
    EXPECT_FALSE(CStmModelFile::Load(path, model, &error));
    EXPECT_EQ(error, path + ": " + problem + (path == dir ? ", not a model file" : ""));
  }
  std::filesystem::remove_all(dir);
}

TEST(StmModelFileLimits, AnIdAtTheLimitStillLeavesRoomForTheNext) {
  ordered_json doc = ordered_json::parse(BaseText());
  doc["nodes"][0]["id"] = 1000000000;
  doc["loadStatics"][0]["loads"][0]["node"] = 1000000000;
  CStmModel model;
  std::string error;
  ASSERT_TRUE(CStmModelFile::FromText(doc.dump(), "edge.stm.json", model, &error)) << error;
  const CStmObjNode* added = model.AddNode(CVector(1, 0, 0));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->GetId(), 1000000001);
  EXPECT_EQ(model.GetNode(added->GetId()), added);
}

ordered_json Combo(int id, const std::string& name, std::initializer_list<ordered_json> factors) {
  ordered_json list = ordered_json::array();
  int k = 0;
  for (const ordered_json& f : factors) {
    ordered_json term = f;
    term["id"] = ++k;
    list.push_back(term);
  }
  return {{"id", id}, {"name", name}, {"enable", true}, {"factors", list}};
}

ordered_json Term(const std::string& name, int type, double scale) {
  return {{"condition", name}, {"type", type}, {"scale", scale}};
}

TEST(StmModelFileLimits, LongCombinationChainsLoadAndResolveInLinearTime) {
  // Each combination names the one before it, listed last first so that every term looks ahead.
  constexpr int kChain = 20000;
  ordered_json doc = ordered_json::parse(BaseText());
  ordered_json& combos = doc["loadCombos"];
  for (int i = kChain; i >= 1; --i) {
    const ordered_json term = i == 1 ? Term("DL", 0, 2.0) : Term("C" + std::to_string(i - 1), 1, 1.0);
    combos.push_back(Combo(kChain - i + 1, "C" + std::to_string(i), {term}));
  }
  CStmModel model;
  std::string error;
  ASSERT_TRUE(CStmModelFile::FromText(doc.dump(), "chain.stm.json", model, &error)) << error;
  const auto weights = model.GetComboWeights(*model.GetLoadConditionComboIndex(0));
  ASSERT_EQ(weights.size(), 1u);
  EXPECT_EQ(weights[0].first, model.GetLoadConditionStatic("DL"));
  EXPECT_EQ(weights[0].second, 2.0);

  // A cycle far down the chain is still found, at the term that closes it.
  combos[kChain - 1]["factors"][0] = Term("C" + std::to_string(kChain), 1, 1.0);
  combos[kChain - 1]["factors"][0]["id"] = 1;
  Refusal(doc.dump(), "would contain itself");
}

TEST(StmModelFileLimits, CombinationWeightsAddUpEveryWayToACondition) {
  // C3 = C1 + 0.5 C2, C2 = 3 C1 + DL, C1 = 2 DL + LL: DL is reached three ways.
  ordered_json doc = ordered_json::parse(BaseText());
  doc["loadStatics"].push_back({{"id", 2}, {"name", "LL"}, {"enable", true}, {"loads", ordered_json::array()}});
  doc["loadCombos"] = ordered_json::array(
      {Combo(1, "C3", {Term("C1", 1, 1.0), Term("C2", 1, 0.5)}),
       Combo(2, "C2", {Term("C1", 1, 3.0), Term("DL", 0, 1.0)}), Combo(3, "C1", {Term("DL", 0, 2.0), Term("LL", 0, 1.0)})});
  CStmModel model;
  std::string error;
  ASSERT_TRUE(CStmModelFile::FromText(doc.dump(), "diamond.stm.json", model, &error)) << error;
  const auto weights = model.GetComboWeights(*model.GetLoadConditionCombo("C3"));
  ASSERT_EQ(weights.size(), 2u);
  EXPECT_EQ(weights[0].first->GetName(), "DL");
  EXPECT_DOUBLE_EQ(weights[0].second, 2.0 + 0.5 * (3.0 * 2.0 + 1.0));
  EXPECT_EQ(weights[1].first->GetName(), "LL");
  EXPECT_DOUBLE_EQ(weights[1].second, 1.0 + 0.5 * 3.0);
}

}  // namespace
