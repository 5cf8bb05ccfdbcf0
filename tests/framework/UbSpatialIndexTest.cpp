// The index of entity boxes: queries against a plain walk of the registry through growth,
// shrinking and odd shapes, and the check that finds it out of step. (The container keeping it
// in step through every edit, undo and redo: CStmUbManagerIndexTest.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "TestSegmentEntity.h"
#include "host/framework/CUbManage.h"
#include "host/framework/CUbSpatialIndex.h"
#include "host/platform/CArchive.h"

namespace {

using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
constexpr Kind kSeg = static_cast<Kind>(CTestSegmentEntity::kKind);
constexpr double kTol = 1e-5;

// An entity that has no range: it may lie anywhere, so every query must offer it.
class CNowhereEntity : public CUbEntityObj {
public:
  explicit CNowhereEntity(CUbEttManage* m) : CUbEntityObj(m) { SetTypeEntity(3); }
};

// A point that can move behind the container's back, as an entity that forgot to report would.
class CSilentPoint : public CUbEntityObj {
public:
  CSilentPoint(CUbEttManage* m, const CVector& p) : CUbEntityObj(m), m_p(p) {
    SetTypeEntity(CTestSegmentEntity::kKind);
  }
  void GetRange(CCubeRange& range) override { range.Apply(m_p); }
  CVector m_p;
};

// What a query must return: every registered entity of the kind whose range meets the box.
std::vector<CUbEntityObj*> Walk(const CUbEttManage& m, const CVector& min, const CVector& max, Kind kind) {
  std::vector<CUbEntityObj*> out;
  for (const auto& entry : m.GetEttMap(kind)) {
    CCubeRange r;
    entry.second->GetRange(r);
    if (r.IsEmpty() || (r.GetMin().x <= max.x && r.GetMax().x >= min.x && r.GetMin().y <= max.y &&
                        r.GetMax().y >= min.y && r.GetMin().z <= max.z && r.GetMax().z >= min.z))
      out.push_back(entry.second);
  }
  return out;
}

std::vector<CUbEntityObj*> InBox(const CUbEttManage& m, const CVector& min, const CVector& max, Kind kind) {
  std::vector<CUbEntityObj*> out;
  m.GetEttInBox(min, max, kind, out);
  return out;
}

std::vector<CUbEntityObj*> At(const CUbEttManage& m, const CVector& p) {
  const CVector t(kTol, kTol, kTol);
  return InBox(m, p - t, p + t, kSeg);
}

void ExpectInStep(const CUbEttManage& m) {
  CString why;
  EXPECT_EQ(m.CheckEttIndex(&why), 1) << why.str();
}

}  // namespace

TEST(UbSpatialIndex, QueriesAgreeWithAWalkOfTheRegistryWhileTheSceneGrowsShrinksAndMoves) {
  CUbManage m;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> pos(-5000.0, 5000.0), len(-150.0, 150.0), unit(0.0, 1.0);
  std::vector<CTestSegmentEntity*> segs;
  // Each of the three planes, so that no axis is special; now and then a very long one and a point.
  auto make = [&]() {
    const int plane = static_cast<int>(unit(rng) * 3.0);
    CVector a(pos(rng), pos(rng), pos(rng));
    if (plane == 0) a.z = 0.0;
    if (plane == 1) a.x = 0.0;
    if (plane == 2) a.y = 0.0;
    CVector d(plane == 1 ? 0.0 : len(rng), plane == 2 ? 0.0 : len(rng), plane == 0 ? 0.0 : len(rng));
    const double pick = unit(rng);
    if (pick < 0.03) d = d * 60.0;
    if (pick > 0.97) d = CVector();
    auto* s = new CTestSegmentEntity(&m, a, a + d);
    m.AddEtt(s, 0, 0);
    return s;
  };
  auto check = [&](int probes) {
    ExpectInStep(m);
    for (int i = 0; i < probes; ++i) {
      const CVector c(pos(rng), pos(rng), pos(rng));
      const double half = unit(rng) < 0.5 ? kTol : unit(rng) * 2000.0;
      const CVector h(half, half, half);
      ASSERT_EQ(InBox(m, c - h, c + h, kSeg), Walk(m, c - h, c + h, kSeg));
    }
    // Every end point finds its own segment, and the box of everything finds everything.
    for (CTestSegmentEntity* s : segs) {
      const auto found = At(m, s->End());
      ASSERT_NE(std::find(found.begin(), found.end(), s), found.end());
    }
    const CVector huge(1e300, 1e300, 1e300);
    EXPECT_EQ(InBox(m, -huge, huge, Kind::TYPE_ENTITY_ALL).size(), m.GetEttMap().size());
  };

  for (int i = 0; i < 1500; ++i) segs.push_back(make());
  check(200);
  // The grid follows the typical segment, and the few long ones are kept aside.
  EXPECT_GT(m.GetEttIndex().GetCellSize(), 20.0);
  EXPECT_LT(m.GetEttIndex().GetCellSize(), 300.0);
  EXPECT_GT(m.GetEttIndex().GetOversizeCount(), 0u);
  EXPECT_LT(m.GetEttIndex().GetOversizeCount(), 150u);
  for (size_t i = 0; i < segs.size(); i += 3) {
    segs[i]->Move(CVector(len(rng), len(rng), 0.0));
    CVector to(pos(rng), pos(rng), 0.0);
    segs[i + 1]->MoveOnePoint(segs[i + 1]->End(), to, 0);
  }
  check(200);
  // Most of them go: the grid is made again for what is left.
  while (segs.size() > 40) {
    m.DeleteEtt(segs.back(), 0, 0, 0);
    segs.pop_back();
  }
  check(100);
}

TEST(UbSpatialIndex, NodesInsideOneLargeOutlineStillSpreadOverManyCells) {
  // As a rebuild makes a scene: the outline first, then the nodes, then the elements.
  CUbManage m;
  m.AddEtt(new CTestSegmentEntity(&m, CVector(0, 0, 0), CVector(1000, 1000, 0)), 0, 0);
  for (int i = 0; i < 100; ++i) {
    for (int j = 0; j < 100; ++j) {
      const CVector p(i * 10.0, j * 10.0, 0);
      m.AddEtt(new CTestSegmentEntity(&m, p, p), 0, 0);
    }
  }
  EXPECT_LT(m.GetEttIndex().GetCellSize(), 50.0);
  for (int i = 0; i < 99; ++i) {
    for (int j = 0; j < 100; ++j) {
      const CVector p(i * 10.0, j * 10.0, 0);
      m.AddEtt(new CTestSegmentEntity(&m, p, p + CVector(10, 0, 0)), 0, 0);
    }
  }
  EXPECT_LT(m.GetEttIndex().GetCellSize(), 50.0);
  EXPECT_GT(m.GetEttIndex().GetCellSize(), 2.0);
  ExpectInStep(m);
  EXPECT_EQ(At(m, CVector(500, 500, 0)).size(), 4u);  // the outline, the point and two segments
}

TEST(UbSpatialIndex, KindsBoxesWithoutRangeAndInclusiveEdgesAreAnsweredInRegistryOrder) {
  CUbManage m;
  auto* late = new CTestSegmentEntity(&m, CVector(0, 0, 0), CVector(10, 0, 0));
  auto* nowhere = new CNowhereEntity(&m);
  auto* early = new CTestSegmentEntity(&m, CVector(10, 0, 0), CVector(10, 10, 0));
  m.AddEtt(early, 0, 0);
  m.AddEtt(nowhere, 0, 0);
  m.AddEtt(late, 0, 0);
  ExpectInStep(m);

  // The shared end: both, in the order they entered; the rangeless one only when all kinds are asked.
  EXPECT_EQ(At(m, CVector(10, 0, 0)), (std::vector<CUbEntityObj*>{early, late}));
  EXPECT_EQ(InBox(m, CVector(10, 0, 0), CVector(10, 0, 0), Kind::TYPE_ENTITY_ALL),
            (std::vector<CUbEntityObj*>{early, nowhere, late}));
  // Edges count: a box that ends exactly at the segment meets it; one a hair short does not.
  EXPECT_EQ(InBox(m, CVector(-5, -5, 0), CVector(0, 0, 0), kSeg), (std::vector<CUbEntityObj*>{late}));
  EXPECT_TRUE(InBox(m, CVector(-5, -5, 0), CVector(-1e-9, 0, 0), kSeg).empty());
  EXPECT_TRUE(InBox(m, CVector(0, 0, 1e-3), CVector(20, 20, 1), kSeg).empty());
}

TEST(UbSpatialIndex, TheCheckNamesAnEntityThatMovedWithoutTellingItsContainer) {
  CUbManage m;
  auto* s = new CTestSegmentEntity(&m, CVector(0, 0, 0), CVector(10, 0, 0));
  m.AddEtt(s, 0, 0);
  ExpectInStep(m);
  // Loading an archive into a registered entity is a geometry change like any other.
  CTestSegmentEntity source(nullptr, CVector(5, 5, 0), CVector(6, 6, 0));
  std::vector<std::uint8_t> buffer;
  {
    CArchive out(buffer, CArchive::store);
    source.Serialize(out);
  }
  {
    CArchive in(buffer, CArchive::load);
    s->Serialize(in);
  }
  ExpectInStep(m);
  EXPECT_EQ(At(m, CVector(6, 6, 0)), (std::vector<CUbEntityObj*>{s}));

  // The index holds only where entities said they are; the check notices when that is wrong.
  auto* silent = new CSilentPoint(&m, CVector(1, 1, 0));
  m.AddEtt(silent, 0, 0);
  silent->m_p = CVector(2, 2, 0);
  CString why;
  EXPECT_EQ(m.CheckEttIndex(&why), 0);
  EXPECT_NE(why.Find(silent->GetName()), -1) << why.str();
  m.UpdateEttIndex(silent);
  ExpectInStep(m);
  // Taken out wholesale, it leaves the index with the registry.
  delete m.DetachEtt(silent);
  ExpectInStep(m);

  CUbSpatialIndex index;
  index.Insert(s);
  EXPECT_EQ(index.CheckCells(nullptr), 1);
  CCubeRange r;
  ASSERT_TRUE(index.GetIndexedRange(s->GetHandle(), r));
  EXPECT_EQ(r.GetMax(), CVector(6, 6, 0));
  index.Remove(s->GetHandle());
  EXPECT_FALSE(index.GetIndexedRange(s->GetHandle(), r));
  EXPECT_EQ(index.GetCount(), 0u);
}
