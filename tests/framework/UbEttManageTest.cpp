// The entity container: keys, ownership and the undo history, all without GL.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "TestSegmentEntity.h"
#include "host/framework/CUbManage.h"
#include "host/platform/CArchive.h"

namespace {

using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
constexpr Kind kSeg = static_cast<Kind>(CTestSegmentEntity::kKind);

CTestSegmentEntity* AddSeg(CUbEttManage& m, CVector a, CVector b, int record = 0) {
  auto* e = new CTestSegmentEntity(&m, a, b);
  EXPECT_EQ(m.AddEtt(e, record, 1), 1);
  return e;
}

// Everything the history must give back: which keys are registered and where each segment is.
using Snapshot = std::map<std::string, std::pair<CVector, CVector>>;
Snapshot Snap(const CUbEttManage& m) {
  Snapshot s;
  for (const auto& entry : m.GetEttMap()) {
    auto* seg = static_cast<CTestSegmentEntity*>(entry.second);
    s[entry.first.str()] = {seg->Begin(), seg->End()};
  }
  return s;
}

bool Same(const Snapshot& a, const Snapshot& b) {
  if (a.size() != b.size()) return false;
  for (const auto& [key, ends] : a) {
    auto it = b.find(key);
    if (it == b.end() || !(it->second.first == ends.first) || !(it->second.second == ends.second)) return false;
  }
  return true;
}

// A manager that counts the registry hooks, as the layer's manager keeps its model in step.
class CCountingManage : public CUbManage {
public:
  int AddEtt(CUbEntityObj* e, int record, int redraw) override {
    ++m_nAdds;
    return CUbManage::AddEtt(e, record, redraw);
  }
  int DeleteEtt(CUbEntityObj* e, int keep, int record, int redraw) override {
    ++m_nDeletes;
    return CUbManage::DeleteEtt(e, keep, record, redraw);
  }
  int m_nAdds = 0, m_nDeletes = 0;
};

}  // namespace

TEST(UbEttManage, KeysSortInCreationOrderAndSurviveUndoRedo) {
  CUbManage m;
  std::vector<CTestSegmentEntity*> made;
  for (int i = 0; i < 12; ++i) made.push_back(AddSeg(m, {double(i), 0, 0}, {double(i), 1, 0}));
  // Map order is creation order, past the point where a plain number would sort 10 before 9.
  int i = 0;
  for (const auto& entry : m.GetEttMap(kSeg)) EXPECT_EQ(entry.second, made[static_cast<size_t>(i++)]);
  EXPECT_EQ(m.GetCount(kSeg), 12);
  EXPECT_EQ(m.GetCount(CUbEntityObj::TYPE_ENTITY_ALL), 12);

  const CString key = made[9]->GetName();
  const auto handle = made[9]->GetHandle();
  m.SetHistoryStart();
  m.DeleteEtt(made[9], 0, 1, 1);
  m.SetHistoryEnd();
  EXPECT_EQ(m.GetEtt(key), nullptr);
  EXPECT_EQ(m.GetEttByHandle(handle), nullptr);
  ASSERT_TRUE(m.Undo());
  EXPECT_EQ(m.GetEtt(key), made[9]);
  EXPECT_EQ(made[9]->GetHandle(), handle);
  EXPECT_EQ(m.GetEttByHandle(handle), made[9]);
  ASSERT_TRUE(m.Redo());
  ASSERT_TRUE(m.Undo());
  EXPECT_EQ(m.GetEtt(key), made[9]);
  // It sorts back into its old place, and a new entity still sorts last.
  auto* late = AddSeg(m, {}, {1, 1, 0});
  std::vector<CUbEntityObj*> order;
  for (const auto& entry : m.GetEttMap()) order.push_back(entry.second);
  EXPECT_EQ(order[9], made[9]);
  EXPECT_EQ(order.back(), late);
}

TEST(UbEttManage, BracketsMakeOneStepAndEmptyOnesNone) {
  CUbManage m;
  auto* e = AddSeg(m, {0, 0, 0}, {1, 0, 0});
  m.SetHistoryStart();
  m.SetHistoryEnd();
  EXPECT_FALSE(m.CanUndo());

  m.SetHistoryStart();
  AddSeg(m, {0, 1, 0}, {1, 1, 0}, 1);
  m.SetHistoryStart();
  e->Move({1, 0, 0});
  m.AddHistory_ActionMoveAllPoint(e->GetName(), {1, 0, 0});
  m.SetHistoryStart();
  m.SetHistoryEnd();
  m.SetHistoryEnd();
  EXPECT_FALSE(m.CanUndo()) << "nothing to undo while a bracket is open";
  m.SetHistoryEnd();
  EXPECT_EQ(m.GetUndoCount(), 1);
  ASSERT_TRUE(m.Undo());
  EXPECT_EQ(m.GetCount(kSeg), 1);
  EXPECT_EQ(e->Begin(), CVector(0, 0, 0));
  EXPECT_FALSE(m.CanUndo());

  // A new step forgets what could be redone; a record outside a bracket is no step at all.
  m.AddHistory_ActionMoveAllPoint(e->GetName(), {5, 0, 0});
  EXPECT_TRUE(m.CanRedo());
  m.SetHistoryStart();
  m.AddHistory_ActionMirror(e->GetName(), {0, 0, 0}, {0, 1, 0});
  m.SetHistoryEnd();
  EXPECT_FALSE(m.CanRedo());
  // An unbalanced end is ignored.
  m.SetHistoryEnd();
  EXPECT_EQ(m.GetHistoryDepth(), 0);
  EXPECT_EQ(m.GetUndoCount(), 1);
}

struct SEditCase {
  const char* name;
  std::function<void(CUbManage&, CTestSegmentEntity*)> edit;
};

class UbEttManageEdits : public testing::TestWithParam<SEditCase> {};

TEST_P(UbEttManageEdits, UndoRedoGiveBackExactStates) {
  CUbManage m;
  AddSeg(m, {-3, 2, 0}, {4, -1, 0});
  auto* e = AddSeg(m, {1.5, 2.25, 0}, {7, -3.5, 0});
  const Snapshot before = Snap(m);
  m.SetHistoryStart();
  GetParam().edit(m, e);
  m.SetHistoryEnd();
  const Snapshot after = Snap(m);
  ASSERT_FALSE(Same(before, after)) << "the edit must change something";
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(m.Undo());
    EXPECT_TRUE(Same(Snap(m), before));
    ASSERT_TRUE(m.Redo());
    EXPECT_TRUE(Same(Snap(m), after));
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllRecords, UbEttManageEdits,
    testing::Values(
        SEditCase{"Create", [](CUbManage& m, CTestSegmentEntity*) { AddSeg(m, {9, 9, 0}, {10, 9, 0}, 1); }},
        SEditCase{"Delete", [](CUbManage& m, CTestSegmentEntity* e) { m.DeleteEtt(e, 0, 1, 1); }},
        SEditCase{"OneNode",
                  [](CUbManage& m, CTestSegmentEntity* e) {
                    CVector to(2, 2, 0);
                    const CVector from = e->End();
                    e->MoveOnePoint(from, to, 0);
                    m.AddHistory_ActionOneNode(e->GetName(), from, to, 0);
                  }},
        SEditCase{"MoveAllPoint",
                  [](CUbManage& m, CTestSegmentEntity* e) {
                    e->Move({0.5, -4, 0});
                    m.AddHistory_ActionMoveAllPoint(e->GetName(), {0.5, -4, 0});
                  }},
        SEditCase{"Rotate",
                  [](CUbManage& m, CTestSegmentEntity* e) {
                    e->Rotate({1, 1, 0}, {0, 0, 1}, {0, 1});
                    m.AddHistory_ActionRotate(e->GetName(), {1, 1, 0}, {0, 0, 1}, {0, 1});
                  }},
        SEditCase{"Mirror",
                  [](CUbManage& m, CTestSegmentEntity* e) {
                    e->Mirror({0, 0, 0}, {0, 5, 0});
                    m.AddHistory_ActionMirror(e->GetName(), {0, 0, 0}, {0, 5, 0});
                  }},
        SEditCase{"DeleteAfterMove",
                  [](CUbManage& m, CTestSegmentEntity* e) {
                    e->Move({1, 1, 0});
                    m.AddHistory_ActionMoveAllPoint(e->GetName(), {1, 1, 0});
                    m.DeleteEtt(e, 0, 1, 1);
                  }}),
    [](const testing::TestParamInfo<SEditCase>& info) { return std::string(info.param.name); });

TEST(UbEttManage, ReplayGoesThroughTheRegistryHooks) {
  CCountingManage m;
  auto* e = AddSeg(m, {0, 0, 0}, {1, 0, 0});
  m.SetHistoryStart();
  m.DeleteEtt(e, 0, 1, 1);
  AddSeg(m, {0, 1, 0}, {1, 1, 0}, 1);
  m.SetHistoryEnd();
  m.m_nAdds = m.m_nDeletes = 0;
  m.Undo();
  EXPECT_EQ(m.m_nAdds, 1);
  EXPECT_EQ(m.m_nDeletes, 1);
  m.Redo();
  EXPECT_EQ(m.m_nAdds, 2);
  EXPECT_EQ(m.m_nDeletes, 2);
}

TEST(UbEttManage, OwnershipOfRemovedEntities) {
  const int alive = CTestSegmentEntity::s_nAlive;
  {
    CUbManage m;
    auto* a = AddSeg(m, {}, {1, 0, 0});
    auto* b = AddSeg(m, {}, {2, 0, 0});
    auto* c = AddSeg(m, {}, {3, 0, 0});
    EXPECT_EQ(m.AddEtt(a, 0, 0), 0) << "already registered";
    EXPECT_EQ(m.AddEtt(nullptr, 0, 0), 0);

    // Unrecorded: destroyed at once; kept: handed back.
    m.DeleteEtt(a, 0, 1, 0);  // no bracket open, so not recorded
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 2);
    EXPECT_EQ(m.DeleteEtt(b, 1, 0, 0), 1);
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 2);
    EXPECT_EQ(m.DeleteEtt(b, 0, 0, 0), 0) << "no longer registered";
    delete b;

    // Recorded: the history holds it until it forgets the record.
    m.SetHistoryStart();
    m.DeleteEtt(c, 0, 1, 0);
    m.SetHistoryEnd();
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 1);
    m.ClearHistory();
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive);

    // An undone creation dies when a new step drops the redo.
    m.SetHistoryStart();
    AddSeg(m, {}, {4, 0, 0}, 1);
    m.SetHistoryEnd();
    m.Undo();
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 1);
    m.SetHistoryStart();
    AddSeg(m, {}, {5, 0, 0}, 1);
    m.SetHistoryEnd();
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 1);
    // The rest goes with the manager, history included.
    m.SetHistoryStart();
    m.DeleteEtt(m.GetEttMap().begin()->second, 0, 1, 0);
    m.SetHistoryEnd();
  }
  EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive);
}

TEST(UbEttManage, SelectionForgetsRemovedEntities) {
  CUbManage m;
  auto* a = AddSeg(m, {}, {1, 0, 0});
  auto* b = AddSeg(m, {}, {2, 0, 0});
  m.SelectEtt(a, 1);
  m.SelectEtt(b, 1);
  m.GetHoverMap().SetAt(a->GetName(), a);
  m.SetHistoryStart();
  m.DeleteEtt(a, 0, 1, 0);
  m.SetHistoryEnd();
  EXPECT_EQ(m.GetSelectMap().GetCount(), 1);
  EXPECT_TRUE(m.GetHoverMap().IsEmpty());
  EXPECT_FALSE(a->IsSelection());
  m.Undo();
  EXPECT_EQ(m.GetSelectMap().GetCount(), 1) << "undo does not reselect";
  m.SelectRemoveAll();
  EXPECT_FALSE(b->IsSelection());
  EXPECT_TRUE(m.GetSelectMap().IsEmpty());

  EXPECT_EQ(m.DetachEtt(b), b);
  EXPECT_EQ(m.GetCount(kSeg), 1);
  delete b;
}

TEST(UbEntityObj, BaseOperations) {
  EXPECT_EQ(CUbEntityObj::GetMirrorPos({0, 0, 0}, {1, 1, 0}, {2, 0, 0}), CVector(0, 2, 0));
  EXPECT_EQ(CUbEntityObj::GetMirrorPos({1, 1, 1}, {1, 1, 1}, {2, 0, 0}), CVector(2, 0, 0));
  EXPECT_EQ(CUbEntityObj::MoveAPoint({1, 2, 3}, {1, 1, 1}), CVector(2, 3, 4));

  CUbManage m;
  auto* a = AddSeg(m, {}, {1, 0, 0});
  a->SetDrawColor({0.25, 0.5, 1});
  a->SetSubType(3);
  a->SetNormal({0, 0, 1});
  CTestSegmentEntity copy;
  copy.CopyEntity(a);
  EXPECT_EQ(copy.GetDrawColor(), CVector(0.25, 0.5, 1));
  EXPECT_EQ(copy.GetSubType(), 3);
  EXPECT_TRUE(copy.GetName().IsEmpty()) << "identity is not copied";

  std::vector<std::uint8_t> bytes;
  {
    CArchive out(bytes, CArchive::store);
    a->Serialize(out);
  }
  CTestSegmentEntity loaded;
  CArchive in(bytes, CArchive::load);
  loaded.Serialize(in);
  EXPECT_EQ(loaded.GetNormal(), CVector(0, 0, 1));
  EXPECT_EQ(loaded.End(), CVector(1, 0, 0));
  EXPECT_EQ(in.GetRemaining(), 0u);
  std::vector<std::uint8_t> truncated(bytes.begin(), bytes.begin() + 8);
  CArchive shortIn(truncated, CArchive::load);
  EXPECT_THROW(loaded.Serialize(shortIn), CArchiveException);
}

TEST(UbManage, CreatesEntitiesByClassName) {
  CUbManage m;
  CUbEntityObj* e = m.CreateEntityObj("CTestSegmentEntity");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetEttManage(), &m);
  EXPECT_EQ(e->GetTypeEntity(), CTestSegmentEntity::kKind);
  delete e;
  EXPECT_EQ(m.CreateEntityObj("CNoSuchEntity"), nullptr);
  EXPECT_EQ(m.CreateEntityObj("CObject"), nullptr) << "not an entity class";
}

TEST(CubeRange, GrowsAndClears) {
  CCubeRange r;
  EXPECT_TRUE(r.IsEmpty());
  r.Apply({1, -2, 3});
  r.Apply({-1, 4, 0});
  EXPECT_EQ(r.GetMin(), CVector(-1, -2, 0));
  EXPECT_EQ(r.GetMax(), CVector(1, 4, 3));
  r.Clear();
  EXPECT_TRUE(r.IsEmpty());
  r.Apply({5, 5, 5});
  EXPECT_EQ(r.GetMin(), CVector(5, 5, 5));
}
