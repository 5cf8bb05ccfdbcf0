// The mirror tool.
#include "actions/CStmActionMirror.h"

#include "dialogs/CStmDlgMirror.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "host/platform/StmTextN.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {
constexpr WPARAM kModelChangedMirror = 111;
}  // namespace

CStmActionMirror::CStmActionMirror() { SetElementMode(0); }

CString CStmActionMirror::StartPrompt() const { return StmText("Mirror: pick the first point of the mirror line"); }

CVector CStmActionMirror::PreviewPoint(const CVector& p, const CVector& start, const CVector& end) const {
  return CUbEntityObj::GetMirrorPos(start, end, p);
}

void CStmActionMirror::OnLineCompleted(CUbRenderWnd* wnd) {
  auto* manager = dynamic_cast<CStmUbManager*>(GetManage(wnd));
  if (!manager || !dynamic_cast<CStmUbRenderer*>(wnd) || !CheckEditable(*manager)) return;
  const CVector a = manager->GetStartPoint();
  const CVector b = manager->GetEndPoint();
  if (CompareVectorTolerance(a, b, "==", kStmPointTolerance)) {
    OnStatusMessage(StmText("The mirror line needs two different points: pick its first point again"));
    return;
  }
  // Copies and the moved selection land at the same places, so the question waits for this.
  if (RefuseBeyondLimits(wnd, *manager, a, b)) return;
  CStmDlgMirror dlg(this);
  if (dlg.DoModal() != IDOK) {
    // Back to selection with the selection as it was: the user may well mirror it again.
    auto* renderer = static_cast<CStmUbRenderer*>(wnd);
    CancelCmd(wnd);
    renderer->SetAction(CStmUbManager::kActionNormal, -1, 1);
    renderer->InvalidateAllWnd();
    OnStatusMessage(StmText("Mirror cancelled: nothing was changed"));
    return;
  }
  const SSelection selection = GetSelection(*manager);
  int count = 0;
  {
    CUbHistoryBracket bracket(*manager, StmText("Mirror"));
    if (m_nCopy) {
      MakeCopies(*manager, selection, a, b);
    } else {
      count = TransformSelection(
          *manager, selection,
          [&](CUbEntityObj& entity) {
            entity.Mirror(a, b);
            manager->AddHistory_ActionMirror(entity.GetName(), a, b);
            return true;
          },
          false);
    }
  }
  Finish(wnd, true);
  GetUiHost().SendToMainWindow(kMsgModelChanged, kModelChangedMirror, 0);
  CString text;
  if (m_nCopy) {
    text = StmText("Mirrored copies made");
  } else {
    text.Format(StmTextN("Mirrored %d object", "Mirrored %d objects", count).c_str(), count);
  }
  OnStatusMessage(text);
}

void CStmActionMirror::MakeCopies(CStmUbManager& manager, const SSelection& selection, const CVector& a,
                                  const CVector& b) {
  CStmModel* model = manager.GetStmModel();
  for (const CString& key : selection.m_arElement) {
    const CStmEntityElement* source = FindElement(manager, key);
    if (!source) continue;
    const CVector p = StmCleanPoint(CUbEntityObj::GetMirrorPos(a, b, source->GetCoordBegin()));
    const CVector q = StmCleanPoint(CUbEntityObj::GetMirrorPos(a, b, source->GetCoordEnd()));
    // An element on the mirror line is its own image: nothing to add.
    if (CompareVectorTolerance(p, q, "==", kStmPointTolerance) || manager.GetEntElement(p, q, nullptr)) continue;
    const CStmObjElement* sourceRecord = model->GetElement(source->GetIdStm());
    CStmEntityElement* copy = manager.AddElement(p, q, 1, 1, 1, nullptr);
    if (!copy || !sourceRecord) continue;
    // A copy is a strut or tie like its original.
    if (CStmObjElement* record = model->GetElement(copy->GetIdStm())) *record = *sourceRecord;
  }
  for (const CString& key : selection.m_arNode) {
    const CStmEntityNode* source = FindNode(manager, key);
    if (!source || manager.GetCountEntityInvolvedElement(source->GetCoord(), 0) > 0) continue;
    manager.AddNode(StmCleanPoint(CUbEntityObj::GetMirrorPos(a, b, source->GetCoord())), 1, 1, 1, 1, nullptr);
  }
}
