// Random sequences of editing gestures must keep scene and model together and undo and redo exactly.
//
// They start from a loaded and supported truss; the gestures run the tools' own routines, and
// points typed into the coordinate dialog now and then lie just past the limit, where they must
// change nothing. After every gesture, undo and redo the scene must match the model, the model
// must hold together and its file must reopen to the same text; undoing everything must give back
// the saved file byte for byte, and redoing everything the final one. A failure prints the seed
// that replays it (STM_RANDOM_SEED with STM_RANDOM_SEQUENCES=1).
// STM_RANDOM_SEQUENCES and STM_RANDOM_GESTURES make a longer run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/framework/CUbActionNormal.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "host/platform/CScriptedUiHost.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"
#include "support/StmGestureDriver.h"
#include "support/StmSavedModel.h"

namespace {

// Each gesture also saves and reopens the model three times (after it, its undo and its redo);
// this many keep a run, leak-checked too, well within what CI affords.
constexpr int kDefaultSequences = 50;
constexpr int kDefaultGestures = 40;
constexpr unsigned kDefaultSeed = 20261206;

long EnvNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// Supports and loads hang on three of the nodes, so that merges and deletes have something to
// carry or take along.
void BuildLoadedTruss(CStmModel& model) {
  const CVector points[] = {{0, 0, 0}, {40, 0, 0}, {80, 0, 0}, {20, 0, 40}, {60, 0, 40}};
  for (const CVector& p : points) model.AddNode(p, -1);
  const int links[][2] = {{1, 2}, {2, 3}, {1, 4}, {4, 2}, {2, 5}, {5, 3}, {4, 5}};
  for (const auto& link : links) model.AddElement(link[0], link[1], SStmPropElement(0, 2, 0.0));
  model.AddRestraint(1, SStmDof{1, 0, 1, 0, 0, 0});  // a pin
  model.AddRestraint(3, SStmDof{0, 0, 1, 0, 0, 0});  // a roller
  model.AddBearingPlate(3, SStmPropBearingPlate{200.0, 20.0});
  model.AddSpring(5, CVector(10, 0, 10), CVector());
  for (const char* name : {"DL", "LL"}) model.AddLoadConditionStatic(name);
  model.AddLoadNode("DL", 4, CVector(0, 0, -100));
  model.AddLoadNode("DL", 5, CVector(0, 0, -100));
  model.AddLoadNode("LL", 4, CVector(20, 0, -50));
  // Names cost most of every pick and have no part in what is checked.
  model.GetStmDataView()->SetShowOption(STM_SHOW_NODE_NAMES | STM_SHOW_ELEMENT_NAMES, 0);
}

// One window for all runs (a new GL context compiles its shaders again, which would cost more
// than the runs); each run starts from a document that is as good as new.
struct SScene {
  CScriptedUiHost host;
  CStmModel model;
  CStmUbManager manager;
  CStmUbRenderer wnd;
  std::unique_ptr<CStmGestureDriver> driver;

  bool Create(std::string* error) {
    auto surface = CreateOffscreenSurface(200, 160, error);
    if (!surface || wnd.Create(&manager, std::move(surface)) != 0) return false;
    wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    manager.SetStmModel(&model);
    manager.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    wnd.SetAction(48, -1, 1);
    return true;
  }

  void Reset() {
    manager.SelectRemoveAll();
    manager.Copy();  // an empty selection leaves an empty clipboard
    model.Clear();
    BuildLoadedTruss(model);
    manager.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    manager.UpdateStmRenderer();  // also empties the undo history
    driver = std::make_unique<CStmGestureDriver>(manager, wnd, model);
    driver->ApplyView();
  }
};


// Empty when the model's file reopens and the reopened model writes the same text; otherwise what
// went wrong. Through text rather than a file: the loader reads both alike, and syncing a file per
// step would cost more than the edits.
std::string ReopenProblem(const CStmModel& model) {
  std::string text, error;
  if (!CStmModelFile::ToText(model, text, &error)) return "the model cannot be saved: " + error;
  CStmModel reopened;
  if (!CStmModelFile::FromText(text, "random.stm.json", reopened, &error)) return "the saved file does not reopen: " + error;
  std::string again;
  if (!CStmModelFile::ToText(reopened, again, &error)) return "the reopened model cannot be saved: " + error;
  if (const std::string diff = FirstDifference(text, again); !diff.empty()) return "the reopened model saves differently; " + diff;
  return std::string();
}

// Runs `count` gestures made as it goes; empty, or what went wrong first. Each check reads the
// same way after a gesture, an undo and a redo.
std::string RunSequence(SScene& scene, std::mt19937& generator, int count) {
  scene.Reset();
  CStmUbManager& manager = scene.manager;
  const auto problem = [&scene, &manager]() -> std::string {
    if (CString report = manager.CheckConsistency(); !report.IsEmpty()) return report.str();
    return ReopenProblem(scene.model);
  };
  if (const std::string p = problem(); !p.empty()) return "the initial scene:\n" + p;
  const std::string initial = ModelText(scene.model);

  for (int i = 1; i <= count; ++i) {
    std::string p = scene.driver->Apply(scene.driver->Generate(generator));
    if (p.empty()) p = problem();
    if (!p.empty()) return "after gesture " + std::to_string(i) + ":\n" + p;
  }
  scene.driver->ApplyView();
  const std::string final = ModelText(scene.model);

  // Every step undone (or redone), each checked, and then the whole file as it was at that end.
  const auto unwind = [&](bool undo, const std::string& expected) -> std::string {
    const std::string word = undo ? "undo" : "redo";
    int steps = 0;
    while (undo ? manager.CanUndo() : manager.CanRedo()) {
      undo ? manager.Undo() : manager.Redo();
      ++steps;
      if (const std::string p = problem(); !p.empty()) return "after " + word + " " + std::to_string(steps) + ":\n" + p;
    }
    if (const std::string diff = FirstDifference(expected, ModelText(scene.model)); !diff.empty())
      return word + "ing all " + std::to_string(steps) + " steps does not give the " +
             (undo ? "initial file back; " : "final file; ") + diff;
    return std::string();
  };
  if (const std::string p = unwind(true, initial); !p.empty()) return p;
  return unwind(false, final);
}

TEST(StmTopologyRandomTest, EveryGestureKeepsSceneAndModelTogetherAndUndoRedoGiveTheSavedFilesBack) {
  const long sequences = EnvNumber("STM_RANDOM_SEQUENCES", kDefaultSequences);
  const int length = static_cast<int>(EnvNumber("STM_RANDOM_GESTURES", kDefaultGestures));
  const auto seed = static_cast<unsigned>(EnvNumber("STM_RANDOM_SEED", kDefaultSeed));

  SScene scene;
  std::string error;
  ASSERT_TRUE(scene.Create(&error)) << error;
  for (long i = 0; i < sequences; ++i) {
    const unsigned sequenceSeed = seed + static_cast<unsigned>(i);
    std::mt19937 rng(sequenceSeed);
    const std::string what = RunSequence(scene, rng, length);
    ASSERT_EQ(what, "") << "STM_RANDOM_SEED=" << sequenceSeed << " STM_RANDOM_SEQUENCES=1 STM_RANDOM_GESTURES="
                        << length << " replays this";
  }
}

}  // namespace
