// The move tool, and the base of the stretch, mirror and rotate tools: two points picked as
// with the line tool (snapped, typed, or squared with orthogonal drawing) move the selection by
// the vector between them. The selection is what the tool works on, so it is kept when the tool
// starts; a preview shows where the selection would go while the second point is picked. One
// run is one undo step, after which the selection tool returns.
#pragma once

#include <functional>
#include <vector>

#include "actions/CStmActionAddLine.h"
#include "actions/StmTransformPreview.h"
#include "host/framework/CSnapPointManage.h"

class CStmEntityElement;
class CStmEntityNode;
class CStmUbManager;
class CUbEntityObj;

class CStmActionMove : public CStmActionAddLine {
public:
  CStmActionMove();

  void RenderPost(CUbRenderWnd* wnd, int flag) override;
  void RenderPre(CUbRenderWnd* wnd) override;
  void InitAction(CUbRenderWnd* wnd) override;
  void OnLineCompleted(CUbRenderWnd* wnd) override;

  CSnapPointManage& GetGripManage() { return m_gripManage; }

  // The selected elements and nodes, by key, in the selection's order.
  struct SSelection {
    std::vector<CString> m_arElement;
    std::vector<CString> m_arNode;
    bool IsEmpty() const { return m_arElement.empty() && m_arNode.empty(); }
  };
  static SSelection GetSelection(CStmUbManager& manager);
  // The entity a key named when the run began, if a merge earlier in the run left it in place.
  static CStmEntityElement* FindElement(CStmUbManager& manager, const CString& key);
  static CStmEntityNode* FindNode(CStmUbManager& manager, const CString& key);

  // Applies a transform to the selection as moves, mirrors and turns do: every element (its end
  // nodes follow, or it takes nodes of its own where others still hold the old ones, ends that
  // land on nodes merge, and an element that lands on another goes), then every free node, which
  // splits the elements it lands on when splitByNodes is set and merges with a node it lands on.
  // apply transforms one entity and records it; it answers false when the entity refused to
  // move. Returns how many moved.
  static int TransformSelection(CStmUbManager& manager, const SSelection& selection,
                                const std::function<bool(CUbEntityObj&)>& apply, bool splitByNodes);
  // The move itself, by d, as one undo step; a fixed node stays. Returns how many moved.
  static int MoveSelection(CStmUbManager& manager, const SSelection& selection, const CVector& d);

protected:
  // True when the selection would land beyond the model's coordinate limit for these points: the
  // run then ends changing nothing, and the status line names the value and the limit.
  bool RefuseBeyondLimits(CUbRenderWnd* wnd, CStmUbManager& manager, const CVector& start, const CVector& end);
  // The end of a one-shot run: the selection tool comes back.
  void Finish(CUbRenderWnd* wnd, bool redraw);
  // False, with the reason on the status line, when the model may not be edited.
  bool CheckEditable(CStmUbManager& manager);
  // Where the selection would go for the points picked so far and the cursor's point.
  virtual void GetPreview(CStmUbManager& manager, const CVector& start, const CVector& end, SStmPreview& out);
  // What the preview of the base tools does to one point.
  virtual CVector PreviewPoint(const CVector& p, const CVector& start, const CVector& end) const;
  // The word each tool says while it waits for its first point.
  virtual CString StartPrompt() const;

private:
  CSnapPointManage m_gripManage;
};
