// Drives the scene manager the way the editing actions do, one gesture per undo step, so that
// tests can run hand-written or random sequences of edits.
#pragma once

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "geometry/CVector.h"

class CStmEntityNode;
class CStmModel;
class CStmUbManager;
class CStmUbRenderer;

// What the window shows while a gesture runs: lookups that go through the window depend on it.
struct SStmGestureView {
  double m_dScale = 0.6;  // model units per pixel
  double m_dCenterU = 40.0;
  double m_dCenterV = 30.0;
  bool m_bHideNodes = false;     // the show option of nodes off
  bool m_bHideElements = false;  // the show option of elements off
  bool m_bNodeGroup = false;     // a display group without any node filters the nodes
};

struct SStmGesture {
  enum EKind {
    kDrawElement,    // a-b, reusing what is there
    kAddNode,        // at a, splitting what it lands on
    kAddNodeNoSplit,
    kMove,           // the selection by b - a
    kRotate,         // the selection about a by m_nVariant quarter turns
    kMirror,         // the selection about the line a-b
    kStretch,        // the selected nodes by b - a, their elements following (a drag of one node)
    kMerge,          // a second node at a, then the first one there merged into it
    kDelete,         // the selection
    kCut,
    kCopy,
    kPaste,          // at a
    // Through the tools themselves, in the window:
    kTemplate,       // template m_nVariant (truss, arch, bottle shape, combined) by clicks at a, b (and c)
    kOutline,        // the selected elements made the outer outline, an opening or an area (m_nVariant 0-2)
    kOffset,         // m_nCount copies of the selected element m_dDistance apart, on the side of a
    kTyped,          // a typed into the coordinate dialog of the node tool (m_nVariant 0), or a
                     // then b into that of the element tool (1)
  };

  EKind m_eKind = kDrawElement;
  CVector m_a, m_b, m_c;
  int m_nVariant = 0;
  double m_dDistance = 10.0;
  int m_nCount = 1;
  // The selection, by position: elements by their two ends (either direction), nodes by place.
  std::vector<std::pair<CVector, CVector>> m_arElements;
  std::vector<CVector> m_arNodes;
  SStmGestureView m_view;

  static SStmGesture Of(EKind kind, const CVector& a = CVector(), const CVector& b = CVector(), int variant = 0);
  // A point of the gesture lies beyond the model's coordinate limit.
  bool IsBeyondLimits() const;
  SStmGesture& WithElement(const CVector& a, const CVector& b);
  SStmGesture& WithNode(const CVector& p);
  SStmGesture& In(const SStmGestureView& view);
};

class CStmGestureDriver {
public:
  // Points lie on a lattice of this spacing in the x-z plane, so that gestures often meet
  // existing nodes and element midpoints.
  static constexpr double kLattice = 10.0;

  CStmGestureDriver(CStmUbManager& manager, CStmUbRenderer& wnd, CStmModel& model);

  // Sets the window and the display settings of the view; the show options keep every bit the
  // view does not name as they were when the driver was made. The default view is the one the
  // driver found, so that saved files do not differ by display settings.
  void ApplyView(const SStmGestureView& view = SStmGestureView());
  // Runs the gesture in its view, inside one history bracket, and clears the selection after.
  // Empty, or what went wrong where the gesture itself must be refused: a typed point beyond
  // the limits that changed the model or left an undo step.
  std::string Apply(const SStmGesture& gesture);

  // A gesture that fits the scene as it stands, in a random view.
  SStmGesture Generate(std::mt19937& rng);

private:
  void Run(const SStmGesture& gesture);
  void Select(const SStmGesture& gesture);
  std::vector<CStmEntityNode*> SelectedNodes() const;
  // A click at the model point, as the mouse gives it.
  void Click(const CVector& p);
  // The model's file text, to tell whether a gesture changed anything.
  std::string ModelText() const;
  // Three elements closing a triangle, found from a random element; false when there is none.
  bool RandomTriangle(std::mt19937& rng, SStmGesture& gesture) const;
  CVector RandomPoint(std::mt19937& rng) const;
  SStmGesture GenerateAnyKind(std::mt19937& rng);
  void RandomSelection(std::mt19937& rng, SStmGesture& gesture, bool elements, bool nodes) const;

  CStmUbManager& m_manager;
  CStmUbRenderer& m_wnd;
  CStmModel& m_model;
  unsigned m_nShowOptions = 0;
};
