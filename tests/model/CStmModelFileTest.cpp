// Model files: every example reads and writes back to the same bytes, broken files are refused
// with the file, the place and the problem named and the model in memory untouched, and a
// failed save leaves the old file whole.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <tuple>

#include <nlohmann/json.hpp>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "support/StmSavedModel.h"
#include "support/StmTestMaterials.h"

namespace {

const char* const kExamples[] = {"deep-beam-opening", "corbel", "pile-cap"};

std::string ExamplePath(const char* name) { return std::string(STM_SOURCE_DIR) + "/examples/" + name + ".stm.json"; }

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class TempDir {
public:
  TempDir() {
    char pattern[] = "/tmp/stm-model-test-XXXXXX";
    m_path = mkdtemp(pattern);
  }
  ~TempDir() {
    chmod(m_path.c_str(), 0700);
    std::filesystem::remove_all(m_path);
  }
  const std::string& path() const { return m_path; }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) names.push_back(entry.path().filename());
    return names;
  }

private:
  std::string m_path;
};

// A small model with one of everything the reader checks.
void SmallModel(CStmModel& model) {
  for (const CVector& p : {CVector(0, 0, 0), CVector(1000, 0, 0), CVector(500, 0, 800)}) model.AddNode(p);
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 1}}) model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
  model.GetStmDataDefine()->AddStrutType(SStmStrutType{"Prismatic", 0, 1.0});
  model.SetBoudaryByElementGroup(STM_BOUNDARY_OUTER, {1, 2, 3}, -1);
  SStmDof pin;
  pin.Ux = pin.Uz = 1;
  model.AddRestraint(1, pin);
  model.AddLoadConditionStatic("DL");
  model.AddLoadNode("DL", 3, CVector(0, 0, -100));
  model.AddLoadConditionCombo("C1");
  model.AddLoadConditionCombo("C2");
  model.AddComboFactor("C1", "DL", 0, 1.4);
  model.AddComboFactor("C2", "C1", 1, 1.1);
  SStmMeshPlane mesh;
  mesh.coords = {CDPoint(0, 0), CDPoint(1, 0), CDPoint(1, 1), CDPoint(0, 1)};
  mesh.quads = {SStmQuad{0, 1, 2, 3}};
  model.SetMeshPlane(mesh);
  SStmEsoStep step;
  step.cells.push_back(SStmEsoCell{{}, 0.5});
  model.SetEsoSteps({step});
  model.SetCurrentStepEso(0);
  model.SetResultReactions({{1, {CVector(0, 0, 100), CVector(0, 0, 140), CVector(0, 0, 154)}}});
  model.AddSpring(1, CVector(10, 0, 10), CVector());
  model.AddPropertyArea({1, 2, 3});
}

TEST(StmModelFile, EveryExampleLoadsAndSavesToTheSameBytes) {
  TempDir dir;
  for (const char* name : kExamples) {
    SCOPED_TRACE(name);
    CStmModel model;
    std::string error;
    ASSERT_TRUE(CStmModelFile::Load(ExamplePath(name), model, &error)) << error;
    EXPECT_FALSE(model.GetStmModifiedFlag());
    const std::string copy = dir.path() + "/" + name + ".stm.json";
    ASSERT_TRUE(CStmModelFile::Save(copy, model, &error)) << error;
    // The first differing line only: a diff of the whole example would take minutes.
    EXPECT_EQ(FirstDifference(ReadFile(ExamplePath(name)), ReadFile(copy)), "");
  }
  EXPECT_EQ(dir.Files().size(), 3u) << "no temporary file is left behind";
}

// What each layer draws of the example with results is checked against its reference pictures;
// here the stored results against the loads.
TEST(StmModelFile, TheExampleWithResultsIsLockedAndItsSupportsHoldItsLoads) {
  CStmModel beam;
  ASSERT_TRUE(CStmModelFile::Load(ExamplePath("deep-beam-opening"), beam, nullptr));
  EXPECT_TRUE(beam.IsLock());
  const int cases = beam.GetCountLoadConditionStatic() + beam.GetCountLoadConditionCombo();
  // The supports hold what the loads bring, in every case.
  ASSERT_EQ(beam.GetResultReactions().size(), 2u);
  for (int c = 0; c < cases; ++c) {
    double held = 0.0;
    for (const auto& [node, values] : beam.GetResultReactions()) held += values.at(static_cast<size_t>(c)).z;
    EXPECT_NEAR(held, c == 0 ? 900.0 : c == 1 ? 450.0 : c == 2 ? 1800.0 : 1980.0, 2e-3) << c;
  }
}

TEST(StmModelFile, DoublesRoundTripExactly) {
  const double values[] = {0.1 + 0.2, 1.0 / 3.0, 1e-300, 5e-324, -0.0, 999999999.99999988, 123456789.123456789,
                           -2.5e-7};
  CStmModel model;
  std::map<int, std::vector<CVector>> reactions;
  for (double v : values) {
    const int id = model.AddNode(CVector(v, -v, v * 0.5))->GetId();
    reactions[id] = {CVector(v * 1e6, 0.0, -v), CVector()};
  }
  model.SetResultReactions(reactions);
  const std::string first = ModelText(model);
  CStmModel back;
  std::string error;
  ASSERT_TRUE(CStmModelFile::FromText(first, "mem", back, &error)) << error;
  int id = 1;
  for (double v : values) {
    const CVector c = back.GetNode(id++)->GetCoord();
    EXPECT_EQ(std::memcmp(&c.x, &v, sizeof v), 0) << v;
    EXPECT_EQ(c.z, v * 0.5);
  }
  EXPECT_EQ(back.GetResultReactions(), reactions);
  EXPECT_EQ(ModelText(back), first);
}

// One broken file: a member of a valid document set to a value (JSON text; "-" removes it), and
// the place (empty: the member's own) and the problem the message must name. What no tool makes
// is refused in a live record with the place and problem named as one; in the record given,
// disabled, it is read as it stands (only undo brings such a record back: a merge leaves an
// element with both ends at one node), unless no record may hold it at all.
struct SBroken {
  const char* pointer;
  std::string value;
  const char* path;
  const char* problem;
  const char* record = "";
  bool refusedDisabled = false;
};

TEST(StmModelFile, BrokenFilesAreRefusedAndChangeNothing) {
  using nlohmann::json;
  CStmModel source;
  SmallModel(source);
  const std::string valid = ModelText(source);
  const char* bowTie = "[[0, 0, 0], [1000, 0, 800], [1000, 0, 0], [0, 0, 800]]";
  const SBroken cases[] = {
      {"/format", R"("picture")", "", "not a model file"},
      {"/version", "2", "", "unsupported version 2"},
      {"/nodes/0/coord", "-", "/nodes/0", "missing field \"coord\""},
      {"/nodes/1/coord/0", R"("1000")", "", "expected a number"},
      {"/nodes/1/coord", "[1, 2]", "", "expected 3 values"},
      {"/nodes/1/id", "1", "", "duplicate id 1"},
      {"/elements/2/id", "0", "", "0 is outside"},
      {"/elements/0/nodes/1", "99", "", "node 99 does not exist"},
      {"/elements/0/nodes/1", "1", "/elements/0/nodes", "both ends are node 1", "/elements/0"},
      {"/nodes/1/coord", "[0, 0, 0]", "/elements/0/nodes", "no length: nodes 1 and 2 lie at one point", "/elements/0"},
      {"/boundaries/0/points", bowTie, "", "crosses itself", "/boundaries/0"},
      {"/propertyAreas/0/points", bowTie, "", "crosses itself", "/propertyAreas/0"},
      {"/springs/0/u/2", "-5.0", "", "negative value -5", "/springs/0", true},
      {"/elements/0/strutType", "0.5", "", "expected an integer"},
      {"/elements/0/strutType", "1", "", "outside -1..0"},
      {"/view/sizeNumberNode", "-3", "", "negative value -3"},
      {"/nodes/0/thicknessScale", "-1.0", "", "negative value"},
      {"/view/fixedPointNumber", "40", "", "outside 0..15"},
      {"/view/gridSpace/1", "0.0", "/view/gridSpace", "grid spacing 0 is not greater than 0"},
      {"/view/colorsDark/3/1", "1.5", "/view/colorsDark/3", "0..1"},
      {"/nodes/0/colour", "1", "", "unknown field"},
      {"/lock", "1", "", "expected true or false"},
      {"/boundaries/0/elements/0", "77", "", "element 77 does not exist"},
      {"/restraints/0/node", "12", "", "node 12 does not exist"},
      {"/loadStatics/0/loads/0/node", "5", "", "node 5 does not exist"},
      {"/loadCombos/0/factors/0/condition", R"("WL")", "", "\"WL\" does not exist"},
      {"/loadCombos/0/factors/0", R"({"id": 1, "condition": "C2", "type": 1, "scale": 1.0})",
       "/loadCombos/1/factors/0/condition", "would contain itself"},
      {"/loadCombos/1/name", R"("C1")", "", "duplicate name \"C1\""},
      {"/results/meshPlane/quads/0/2", "4", "", "mesh point 4"},
      {"/results/esoCurrentStep", "1", "", "outside -1..0"},
      {"/results/reactions/0/node", "9", "", "node 9 does not exist"},
      {"/results/reactions/0/values/1/2", "1e16", "", "beyond the limit"},
      // Enumerations take only the values they name.
      {"/plane", "9", "", "outside 0..2"},
      {"/config/typeEffectiveRegion", "2", "", "outside 0..1"},
      {"/definitions/struts/0/shape", "7", "", "outside 0..1"},
      {"/elements/0/property/typeMember", "3", "", "outside 0..2"},
      {"/elements/0/property/typeWidth", "5", "", "outside 0..2"},
      {"/view", "[]", "", "expected an object"},
      {"/nodes", "{}", "", "expected an array"},
      // Limits: the next new id must still fit, and a view must still be able to span the model.
      {"/nodes/2/id", "2147483647", "", "outside 1..1000000000"},
      {"/nodes/1/coord/0", "1e308", "", "beyond the limit of +/-1e+09"},
      {"/boundaries/0/points/0/2", "-1e10", "", "beyond the limit"},
      {"/loadStatics/0/loads/0/load/2", "-1e300", "", "beyond the limit"},
      {"/nodes/0/name", '"' + std::string(5000, 'n') + '"', "", "longer than 4096 bytes"},
      // Materials: 0 is "not given", below it nothing is.
      {"/materials/concreteModulus", "-30.0", "", "negative value"},
      {"/materials/poisson", "0.5", "", "not below 0.5"},
      {"/materials/code", R"("BS 8110")", "", "unknown design code"},
      {"/materials/cover", "-", "/materials", "missing field \"cover\""},
      {"/materials/loadPath/rejectionRatio", "1.0", "", "rejection ratio 1 is not in 0..1"},
      {"/materials/loadPath/evolutionRate", "0.0", "", "evolution rate 0 is not above 0"},
      {"/materials/loadPath/targetFraction", "1.5", "", "target fraction 1.5"},
      {"/materials/loadPath/elementSize", "-5.0", "", "cell size -5 is negative"},
  };
  std::vector<std::tuple<std::string, std::string, std::string, std::string>> texts;  // text, place, problem, whole
  for (const SBroken& c : cases) {
    json doc = json::parse(valid);
    const json::json_pointer ptr(c.pointer);
    if (c.value == "-") doc[ptr.parent_pointer()].erase(ptr.back());
    else doc[ptr] = json::parse(c.value);
    const std::string place = std::string(": ") + (*c.path ? c.path : c.pointer) + ": ";
    texts.emplace_back(doc.dump(1), place, c.problem, *c.record ? "broken.stm.json" + place + c.problem : "");
    if (!*c.record) continue;
    doc[json::json_pointer(c.record)]["enable"] = false;
    CStmModel model;
    EXPECT_EQ(CStmModelFile::FromText(doc.dump(), "odd.stm.json", model, nullptr), !c.refusedDisabled) << c.pointer;
  }
  // Text that is not a model at all.
  std::string overflow = valid;
  overflow.replace(overflow.find("1000.0"), 6, "1e400");
  for (const auto& [text, problem] : {std::pair<std::string, const char*>{"{\"format\": ", "not a JSON document"},
                                      {"{\"x\": NaN}", "not a JSON document"},
                                      {"[1, 2]", ": /: expected an object"},
                                      {overflow, "number overflow parsing '1e400'"}})
    texts.emplace_back(text, ": ", problem, "");
  for (const auto& [text, place, problem, whole] : texts) {
    SCOPED_TRACE(place + problem);
    CStmModel model;
    SmallModel(model);
    model.SetStmModifiedFlag(1);
    const std::string before = ModelText(model);
    std::string error;
    EXPECT_FALSE(CStmModelFile::FromText(text, "broken.stm.json", model, &error));
    EXPECT_EQ(error.rfind("broken.stm.json: ", 0), 0u) << error;
    EXPECT_NE(error.find(place), std::string::npos) << error;
    EXPECT_NE(error.find(problem), std::string::npos) << error;
    EXPECT_NE(error.find(whole), std::string::npos) << error;
    EXPECT_EQ(ModelText(model), before);
    EXPECT_TRUE(model.GetStmModifiedFlag());
  }
  // Files written before reactions were kept still load, without them.
  json old = json::parse(valid);
  old["results"].erase("reactions");
  CStmModel model;
  std::string error;
  EXPECT_TRUE(CStmModelFile::FromText(old.dump(1), "old.stm.json", model, &error)) << error;
  EXPECT_TRUE(model.GetResultReactions().empty());
  EXPECT_FALSE(CStmModelFile::Load("/nonexistent/model.stm.json", model, &error));
  EXPECT_NE(error.find("/nonexistent/model.stm.json"), std::string::npos);
}

TEST(StmModelFile, DisabledRecordsAndSettingsSurviveAFile) {
  CStmModel model;
  SmallModel(model);
  model.SetEnableElement(2, 0);
  model.SetEnableBoundary(STM_BOUNDARY_OUTER, 1, 0);
  model.GetStmDataView()->SetTypeColor(STM_COLOR_LIGHT);
  model.GetStmDataView()->SetGuideline(2, {0.0, 800000.0});
  model.GetStmDataConfig()->SetTypeEffectiveRegion(1);
  model.SetPlane(STM_PLANE_YZ);
  // Values the file must carry back as they are.
  SStmMaterials materials = StmTestMaterials(250.0, 45.0, STM_CODE_EN_1992_1_1);
  materials.dConcreteModulus = 33.0;
  materials.dPoisson = 0.15;
  materials.dSteelYield = 0.5;
  // Cell size, rejection ratio, evolution rate, target fraction, zone radius.
  materials.loadPath = {37.5, 0.02, 0.015, 0.35, 120.0};
  model.SetMaterials(materials);
  CStmModel back;
  ASSERT_TRUE(CStmModelFile::FromText(ModelText(model), "mem", back, nullptr));
  EXPECT_EQ(back.GetMaterials(), materials);
  {
    // A file from before materials loads with none given, Poisson aside.
    nlohmann::ordered_json old = nlohmann::ordered_json::parse(ModelText(model));
    old["materials"].erase("loadPath");
    CStmModel withoutPath;
    ASSERT_TRUE(CStmModelFile::FromText(old.dump(), "old", withoutPath, nullptr));
    EXPECT_EQ(withoutPath.GetMaterials().loadPath, SStmLoadPathSettings());
    old.erase("materials");
    CStmModel older;
    older.SetMaterials(materials);
    std::string error;
    ASSERT_TRUE(CStmModelFile::FromText(old.dump(), "old", older, &error)) << error;
    EXPECT_EQ(older.GetMaterials(), SStmMaterials());
    EXPECT_EQ(older.GetMaterials().dPoisson, 0.2);
  }
  EXPECT_FALSE(back.GetElement(2)->IsEnable());
  EXPECT_EQ(back.GetCountElement(0), 3);
  EXPECT_FALSE(back.GetBoundaryObj(STM_BOUNDARY_OUTER, 1, 0)->IsEnable());
  EXPECT_EQ(back.GetStmDataView()->GetTypeColor(), STM_COLOR_LIGHT);
  EXPECT_EQ(back.GetStmDataView()->GetGuideline(2), (std::vector<double>{0.0, 800000.0}));
  EXPECT_EQ(back.GetStmDataConfig()->GetTypeEffectiveRegion(), 1);
  EXPECT_EQ(back.GetPlane(), STM_PLANE_YZ);
  EXPECT_EQ(back.GetLoadConditionCombo("C2")->GetModel(), &back);
}

class StmModelFileSave : public ::testing::Test {
protected:
  void SetUp() override {
    SmallModel(m_model);
    m_path = m_dir.path() + "/model.stm.json";
    WriteFile(m_path, "old contents");
    chmod(m_path.c_str(), 0640);
  }

  TempDir m_dir;
  CStmModel m_model;
  std::string m_path;
};

// Only the superuser can hand a file to someone else to begin with, and so see that it stays
// theirs.
TEST_F(StmModelFileSave, ReplacesTheFileAndKeepsItsPermissionsAndOwner) {
  const bool superuser = geteuid() == 0;
  ASSERT_TRUE(!superuser || chown(m_path.c_str(), 65534, 65533) == 0);
  m_model.SetStmModifiedFlag(1);
  std::string error;
  ASSERT_TRUE(CStmModelFile::Save(m_path, m_model, &error)) << error;
  EXPECT_EQ(ReadFile(m_path), ModelText(m_model));
  EXPECT_FALSE(m_model.GetStmModifiedFlag());
  struct stat info {};
  ASSERT_EQ(stat(m_path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  if (superuser) {
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65533u);
  }
  EXPECT_EQ(m_dir.Files().size(), 1u);
}

TEST_F(StmModelFileSave, AFolderThatCannotBeWrittenTakesTheFileInPlaceButNoNewOne) {
  chmod(m_dir.path().c_str(), 0500);
  // The superuser writes anyway; then there is no refusal to observe here.
  if (access(m_dir.path().c_str(), W_OK) == 0) {
    chmod(m_dir.path().c_str(), 0700);
    GTEST_SKIP() << "this user can write into a read-only folder";
  }
  TempDir backups;
  setenv("TMPDIR", backups.path().c_str(), 1);
  struct stat before {};
  stat(m_path.c_str(), &before);
  std::string error;
  EXPECT_TRUE(CStmModelFile::Save(m_path, m_model, &error)) << error;
  unsetenv("TMPDIR");
  EXPECT_EQ(ReadFile(m_path), ModelText(m_model));
  struct stat after {};
  stat(m_path.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_TRUE(backups.Files().empty());  // the copy goes once the new contents are on disk

  EXPECT_FALSE(CStmModelFile::Save(m_dir.path() + "/new.stm.json", m_model, &error));
  EXPECT_NE(error.find("cannot create a temporary file"), std::string::npos) << error;
}

TEST_F(StmModelFileSave, ThroughSymbolicLinksTheTargetIsSavedAndTheLinksStay) {
  // A relative link to a relative link; and one to a file that does not exist yet.
  ASSERT_EQ(symlink("model.stm.json", (m_dir.path() + "/inner").c_str()), 0);
  ASSERT_EQ(symlink("inner", (m_dir.path() + "/outer").c_str()), 0);
  ASSERT_EQ(symlink((m_dir.path() + "/later.stm.json").c_str(), (m_dir.path() + "/dangling").c_str()), 0);
  for (const char* link : {"outer", "dangling"}) {
    std::string error;
    ASSERT_TRUE(CStmModelFile::Save(m_dir.path() + "/" + link, m_model, &error)) << error;
  }
  EXPECT_EQ(ReadFile(m_path), ModelText(m_model));
  EXPECT_EQ(ReadFile(m_dir.path() + "/later.stm.json"), ModelText(m_model));
  for (const char* link : {"outer", "dangling", "inner"}) {
    struct stat info {};
    ASSERT_EQ(lstat((m_dir.path() + "/" + link).c_str(), &info), 0) << link;
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << link;
  }
  EXPECT_EQ(m_dir.Files().size(), 5u);  // no temporary left
}

// A write that fails half-way (a file-size limit makes it fail part-way, for any user), a
// read-only file (refused even for the superuser), a missing folder and a value no file can
// hold: refused with the place named, the old file and the modified flag as they were, and no
// temporary left.
TEST_F(StmModelFileSave, WhatCannotBeSavedIsRefusedAndTouchesNothing) {
  const std::string missing = m_dir.path() + "/no/such/model.stm.json";
  rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  const struct {
    const char* said;
    std::string path;
    std::function<void()> arrange;
  } cases[] = {
      {": cannot write", m_path,
       [&] {
         rlimit small = old;
         small.rlim_cur = 64;
         ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
       }},
      {": not saved: the file is read-only", m_path, [&] { chmod(m_path.c_str(), 0444); }},
      {"/no/such/model.stm.json: not saved", missing, [] {}},
      {"/nodes/1/coord/0: not a finite number", m_path,
       [&] { m_model.GetNode(2)->SetCoord(CVector(std::numeric_limits<double>::quiet_NaN(), 0, 0)); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    c.arrange();
    m_model.SetStmModifiedFlag(1);
    std::string error;
    EXPECT_FALSE(CStmModelFile::Save(c.path, m_model, &error));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_NE(error.find(c.path + ": "), std::string::npos) << error;
    EXPECT_NE(error.find(c.said), std::string::npos) << error;
    EXPECT_EQ(ReadFile(m_path), "old contents");
    EXPECT_TRUE(m_model.GetStmModifiedFlag());
    EXPECT_EQ(m_dir.Files(), std::vector<std::string>{"model.stm.json"});
  }
  std::signal(SIGXFSZ, oldHandler);
}

}  // namespace
