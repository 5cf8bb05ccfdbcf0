// Random sequences of editing gestures must keep scene and model together and undo and redo exactly.
//
// They start from a loaded and supported truss; the gestures run the tools' own routines, and
// points typed into the coordinate dialog now and then lie just past the limit, where they must
// change nothing. After every gesture, undo and redo the scene
// must match the model, the model must hold together and its file must reopen to the same text;
// undoing everything must give back the saved file byte for byte, and redoing everything the
// final one. A failing sequence is shrunk to the shortest one that still fails and printed as
// readable lines.
//
// STM_RANDOM_SEQUENCES, STM_RANDOM_GESTURES and STM_RANDOM_SEED make a longer run;
// STM_RANDOM_VIEW=0 keeps the window and show options still, and STM_RANDOM_KINDS (a list of
// gesture kinds such as "draw,move,drag") leaves the others out, so that a common fault does
// not hide rarer ones; STM_RANDOM_SURVEY=1 runs every sequence, shows the shortest sequence of
// each kind of failure and counts them, instead of stopping at the first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
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
// Shrinking replays the sequence many times; this bounds how long a failure takes to report.
constexpr int kMaxShrinkRuns = 600;

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
  SStmDof pin;
  pin.Ux = pin.Uz = 1;
  SStmDof roller;
  roller.Uz = 1;
  model.AddRestraint(1, pin);
  model.AddRestraint(3, roller);
  model.AddBearingPlate(3, SStmPropBearingPlate{200.0, 20.0});
  model.AddSpring(5, CVector(10, 0, 10), CVector());
  model.AddLoadConditionStatic("DL");
  model.AddLoadConditionStatic("LL");
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
    driver->RestoreView();
  }
};

struct SOutcome {
  bool failed = false;
  int gestures = 0;  // how many gestures ran before the failure showed
  std::string what;
};

// The document text a save writes. Writing files syncs them to disk, which would cost more
// than the edits themselves, so only the run that is reported writes them.
std::string Document(CStmModel& model, const char* name, bool toFile) {
  if (toFile) return SaveModelBytes(model, std::string("random-") + name);
  std::string text, error;
  if (!CStmModelFile::ToText(model, text, &error)) ADD_FAILURE() << error;
  return text;
}

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

// Runs the gestures, or, with a generator, makes `count` of them as it goes and keeps them.
SOutcome RunSequence(SScene& scene, std::vector<SStmGesture>& gestures, std::mt19937* generator, int count,
                     bool randomView, bool toFile = false) {
  SOutcome outcome;
  scene.Reset();
  if (const char* kinds = std::getenv("STM_RANDOM_KINDS"); kinds && !scene.driver->SetGeneratedKinds(kinds)) {
    outcome.failed = true;
    outcome.what = std::string("STM_RANDOM_KINDS names a kind that does not exist: ") + kinds;
    return outcome;
  }
  CStmUbManager& manager = scene.manager;
  const auto fail = [&outcome](int ran, const std::string& what) {
    outcome.failed = true;
    outcome.gestures = ran;
    outcome.what = what;
    return outcome;
  };
  if (CString report = manager.CheckConsistency(); !report.IsEmpty()) return fail(0, "the initial scene:\n" + report.str());
  const std::string initial = Document(scene.model, "initial", toFile);

  const int total = generator ? count : static_cast<int>(gestures.size());
  for (int i = 0; i < total; ++i) {
    if (generator) {
      gestures.push_back(scene.driver->Generate(*generator, randomView));
    }
    if (const std::string problem = scene.driver->Apply(gestures[static_cast<size_t>(i)]); !problem.empty())
      return fail(i + 1, "after gesture " + std::to_string(i + 1) + ":\n" + problem);
    if (CString report = manager.CheckConsistency(); !report.IsEmpty())
      return fail(i + 1, "after gesture " + std::to_string(i + 1) + ":\n" + report.str());
    if (const std::string problem = ReopenProblem(scene.model); !problem.empty())
      return fail(i + 1, "after gesture " + std::to_string(i + 1) + ":\n" + problem);
  }
  const int ran = total;
  scene.driver->RestoreView();
  const std::string final = Document(scene.model, "final", toFile);

  int undone = 0;
  while (manager.CanUndo()) {
    manager.Undo();
    ++undone;
    if (CString report = manager.CheckConsistency(); !report.IsEmpty())
      return fail(ran, "after undo " + std::to_string(undone) + ":\n" + report.str());
    if (const std::string problem = ReopenProblem(scene.model); !problem.empty())
      return fail(ran, "after undo " + std::to_string(undone) + ":\n" + problem);
  }
  if (const std::string diff = FirstDifference(initial, Document(scene.model, "undone", toFile)); !diff.empty())
    return fail(ran, "undoing all " + std::to_string(undone) + " steps does not give the initial file back; " + diff);

  int redone = 0;
  while (manager.CanRedo()) {
    manager.Redo();
    ++redone;
    if (CString report = manager.CheckConsistency(); !report.IsEmpty())
      return fail(ran, "after redo " + std::to_string(redone) + ":\n" + report.str());
    if (const std::string problem = ReopenProblem(scene.model); !problem.empty())
      return fail(ran, "after redo " + std::to_string(redone) + ":\n" + problem);
  }
  if (const std::string diff = FirstDifference(final, Document(scene.model, "redone", toFile)); !diff.empty())
    return fail(ran, "redoing all " + std::to_string(redone) + " steps does not give the final file; " + diff);
  return outcome;
}

SOutcome Replay(SScene& scene, std::vector<SStmGesture> gestures) {
  return RunSequence(scene, gestures, nullptr, 0, false);
}

// The kind of a failure: its first difference with the numbers taken out.
std::string Kind(const std::string& what) {
  const size_t firstLine = what.find('\n');
  std::string line = firstLine == std::string::npos ? what : what.substr(firstLine + 1);
  line = line.substr(0, line.find('\n'));
  if (what.rfind("undoing", 0) == 0 || what.rfind("redoing", 0) == 0) line = what.substr(0, 7) + " all: file differs";
  std::string kind;
  for (size_t i = 0; i < line.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(line[i])) || line[i] == '-' || line[i] == '.') {
      if (kind.empty() || kind.back() != '#') kind += '#';
    } else if (line[i] == '(' && line.find(')', i) != std::string::npos) {
      kind += "(#)";
      i = line.find(')', i);
    } else {
      kind += line[i];
    }
  }
  return kind;
}

// Delta debugging: drop ever smaller chunks while the sequence still fails the same way, then
// simplify what is left. Any failure would do, but most sequences also show the commonest
// fault, and shrinking would drift to it and lose the one this seed found.
std::vector<SStmGesture> Shrink(SScene& scene, std::vector<SStmGesture> gestures, SOutcome& outcome) {
  const std::string kind = Kind(outcome.what);
  const auto same = [&kind](const SOutcome& attempt) { return attempt.failed && Kind(attempt.what) == kind; };
  // Gestures after the one where the failure showed never matter.
  const auto cut = [&]() {
    if (outcome.what.rfind("after gesture", 0) == 0) gestures.resize(static_cast<size_t>(outcome.gestures));
  };
  cut();
  int runs = 0;
  size_t parts = 2;
  while (gestures.size() >= 2 && runs < kMaxShrinkRuns) {
    const size_t chunk = (gestures.size() + parts - 1) / parts;
    bool reduced = false;
    for (size_t start = 0; start < gestures.size() && runs < kMaxShrinkRuns; start += chunk) {
      std::vector<SStmGesture> candidate(gestures.begin(), gestures.begin() + static_cast<long>(start));
      candidate.insert(candidate.end(), gestures.begin() + static_cast<long>(std::min(start + chunk, gestures.size())),
                       gestures.end());
      ++runs;
      SOutcome attempt = Replay(scene, candidate);
      if (same(attempt)) {
        gestures = std::move(candidate);
        outcome = attempt;
        cut();
        parts = std::max<size_t>(parts - 1, 2);
        reduced = true;
        break;
      }
    }
    if (!reduced) {
      if (parts >= gestures.size()) break;
      parts = std::min(gestures.size(), parts * 2);
    }
  }
  // Then make each remaining gesture as plain as it can be: the still view, fewer selected.
  const auto tryVariant = [&](size_t index, const SStmGesture& variant) {
    if (runs >= kMaxShrinkRuns) return false;
    std::vector<SStmGesture> candidate = gestures;
    candidate[index] = variant;
    ++runs;
    SOutcome attempt = Replay(scene, candidate);
    if (!same(attempt)) return false;
    gestures = std::move(candidate);
    outcome = attempt;
    return true;
  };
  for (size_t i = 0; i < gestures.size(); ++i) {
    if (!gestures[i].m_view.IsDefault()) {
      SStmGesture plain = gestures[i];
      plain.m_view = SStmGestureView();
      tryVariant(i, plain);
    }
    for (size_t k = gestures[i].m_arElements.size(); k-- > 0;) {
      SStmGesture fewer = gestures[i];
      fewer.m_arElements.erase(fewer.m_arElements.begin() + static_cast<long>(k));
      tryVariant(i, fewer);
    }
    for (size_t k = gestures[i].m_arNodes.size(); k-- > 0;) {
      SStmGesture fewer = gestures[i];
      fewer.m_arNodes.erase(fewer.m_arNodes.begin() + static_cast<long>(k));
      tryVariant(i, fewer);
    }
  }
  return gestures;
}

std::string Listing(const std::vector<SStmGesture>& gestures) {
  std::ostringstream out;
  for (size_t i = 0; i < gestures.size(); ++i) out << "  " << i + 1 << ". " << gestures[i].Describe() << "\n";
  return out.str();
}

TEST(StmTopologyRandomTest, EveryGestureKeepsSceneAndModelTogetherAndUndoRedoGiveTheSavedFilesBack) {
  const long sequences = EnvNumber("STM_RANDOM_SEQUENCES", kDefaultSequences);
  const int length = static_cast<int>(EnvNumber("STM_RANDOM_GESTURES", kDefaultGestures));
  const auto seed = static_cast<unsigned>(EnvNumber("STM_RANDOM_SEED", kDefaultSeed));
  const bool randomView = EnvNumber("STM_RANDOM_VIEW", 1) != 0;
  const bool survey = EnvNumber("STM_RANDOM_SURVEY", 0) != 0;

  SScene scene;
  std::string error;
  ASSERT_TRUE(scene.Create(&error)) << error;
  std::map<std::string, std::pair<int, unsigned>> kinds;  // kind -> count, first seed
  for (long i = 0; i < sequences; ++i) {
    const unsigned sequenceSeed = seed + static_cast<unsigned>(i);
    std::mt19937 rng(sequenceSeed);
    std::vector<SStmGesture> gestures;
    SOutcome outcome = RunSequence(scene, gestures, &rng, length, randomView);
    if (!outcome.failed) continue;
    // Each kind of failure is shown once, from the first seed that found it.
    auto& entry = kinds[Kind(outcome.what)];
    if (entry.first++ > 0) continue;
    entry.second = sequenceSeed;
    std::vector<SStmGesture> shortest = Shrink(scene, gestures, outcome);
    // Once more with real files, left in the test output folder for a look.
    outcome = RunSequence(scene, shortest, nullptr, 0, false, true);
    ADD_FAILURE() << "seed " << sequenceSeed << " (STM_RANDOM_SEED=" << sequenceSeed
                  << " STM_RANDOM_SEQUENCES=1" << (randomView ? "" : " STM_RANDOM_VIEW=0") << "), shortest of "
                  << shortest.size() << " gestures from the initial truss:\n"
                  << Listing(shortest) << outcome.what;
    if (!survey) break;
  }
  if (survey) {
    std::ostringstream out;
    for (const auto& [kind, entry] : kinds) out << "  " << entry.first << " x (first seed " << entry.second << ") " << kind << "\n";
    std::cout << "failure kinds over " << sequences << " sequences:\n" << out.str();
  }
}

}  // namespace
