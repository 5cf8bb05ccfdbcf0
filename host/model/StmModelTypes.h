// The enumerations and plain records of the strut-and-tie model that several classes share.
#pragma once

#include <array>
#include <vector>

#include "geometry/CDPoint.h"
#include "geometry/CVector.h"
#include "host/platform/CString.h"

// The coordinate plane the model lies in. Values other than these three are stored as given.
enum EStmPlane { STM_PLANE_XY = 0, STM_PLANE_XZ = 1, STM_PLANE_YZ = 2 };

// Strut/tie classification of an element under one load case, derived from its axial force.
enum EStmTypeElement { STM_ELEMENT_NONE = 0, STM_ELEMENT_STRUT = 1, STM_ELEMENT_TIE = 2 };

enum EStmTypeBoundary { STM_BOUNDARY_OUTER = 0, STM_BOUNDARY_INNER = 1 };

// Colour style of the view: which of the two colour sets is in use.
enum EStmTypeColor { STM_COLOR_DARK = 0, STM_COLOR_LIGHT = 1 };

// Colour ramp of contours; the renderer owns the ramps, the model only stores the choice.
enum EStmTypeContour {
  STM_CONTOUR_RGB = 0,
  STM_CONTOUR_BGR = 1,
  STM_CONTOUR_RAINBOW = 2,
  STM_CONTOUR_BLUE_RED = 3,
  STM_CONTOUR_WHITE_BLACK = 4,
  STM_CONTOUR_BLACK_WHITE = 5,
  STM_CONTOUR_RED_WHITE_BLUE = 6,
  STM_CONTOUR_RED_BLUE = 7
};

// Naming of nodes and elements: "1, 2, 3"; "N1, N2, N3" / "E1, E2, E3"; "A, B, C" / "AB, BC, CD".
enum EStmTypeNaming { STM_NAMING_NUMBER = 0, STM_NAMING_PREFIX = 1, STM_NAMING_LETTER = 2 };

// Layers and tooltips the display settings switch on and off, one bit each; the mask the file
// keeps holds any combination, so the values never change.
enum EStmShowOption : unsigned {
  STM_SHOW_GRID_POINTS = 0x1,
  STM_SHOW_GUIDELINES = 0x2,
  STM_SHOW_NODES = 0x4,
  STM_SHOW_ELEMENTS = 0x8,
  STM_SHOW_BOUNDARIES = 0x10,
  STM_SHOW_NODE_NAMES = 0x40,
  STM_SHOW_ELEMENT_NAMES = 0x80,
  STM_SHOW_RESTRAINTS = 0x100,
  STM_SHOW_SPRINGS = 0x200,
  STM_SHOW_LOADS = 0x400,
  STM_SHOW_LOAD_VALUES = 0x800,
  STM_SHOW_WIDTHS = 0x1000,
  STM_SHOW_NODAL_ZONES = 0x2000,
  STM_SHOW_AXIS = 0x4000,
  STM_SHOW_RESULTS = 0x8000,
  STM_SHOW_RESULT_VALUES = 0x10000,
  STM_SHOW_STRESS_FLOW = 0x20000,
  STM_SHOW_ARROW_HEADS = 0x40000,
  STM_SHOW_NODE_TOOLTIPS = 0x80000,
  STM_SHOW_ELEMENT_TOOLTIPS = 0x100000,
  STM_SHOW_BOUNDARY_TOOLTIPS = 0x200000,
  STM_SHOW_AREA_TOOLTIPS = 0x400000,
  STM_SHOW_AREAS = 0x800000,
  STM_SHOW_LEGEND = 0x1000000,
  STM_SHOW_MESH = 0x2000000,
  STM_SHOW_WIDTHS_DESIGNED = 0x4000000,
  STM_SHOW_NODAL_ZONES_MAX = 0x8000000,
  // Support reactions after an analysis, with their values under STM_SHOW_RESULT_VALUES.
  STM_SHOW_REACTIONS = 0x10000000
};

// Which result the result pass shows.
enum EStmTypeResult { STM_RESULT_AXIAL_FORCE = 0, STM_RESULT_DISPLACEMENT = 1 };

// What a record is, answered by CStmObject::GetTypeObject.
enum EStmTypeObject {
  STM_OBJ_NODE = 0,
  STM_OBJ_ELEMENT,
  STM_OBJ_BOUNDARY,
  STM_OBJ_AREA,
  STM_OBJ_RESTRAINT,
  STM_OBJ_SPRING,
  STM_OBJ_BEARING_PLATE,
  STM_OBJ_LOAD_STATIC,
  STM_OBJ_LOAD_COMBO,
  STM_OBJ_LOAD_NODE,
  STM_OBJ_COMBO_FACTOR
};

// Restraint fixity: non-zero means fixed.
struct SStmDof {
  int Ux = 0, Uy = 0, Uz = 0, Rx = 0, Ry = 0, Rz = 0;

  bool operator==(const SStmDof& b) const {
    return Ux == b.Ux && Uy == b.Uy && Uz == b.Uz && Rx == b.Rx && Ry == b.Ry && Rz == b.Rz;
  }
  bool operator!=(const SStmDof& b) const { return !(*this == b); }
};

// Input properties of an element. nTypeMember 0 lets the analysis classify the element as strut
// or tie; nTypeWidth 2 lets the design find the effective width, 0 takes dWidth as given.
struct SStmPropElement {
  int nTypeMember = 0;
  int nTypeWidth = 2;
  double dWidth = 0.0;

  SStmPropElement() = default;
  SStmPropElement(int typeMember, int typeWidth, double width)
      : nTypeMember(typeMember), nTypeWidth(typeWidth), dWidth(width) {}
  bool operator==(const SStmPropElement& b) const {
    return nTypeMember == b.nTypeMember && nTypeWidth == b.nTypeWidth && dWidth == b.dWidth;
  }
};

// A steel plate that spreads a support reaction or a load over the concrete.
struct SStmPropBearingPlate {
  double dWidth = 0.0;
  double dThickness = 0.0;

  bool operator==(const SStmPropBearingPlate& b) const {
    return dWidth == b.dWidth && dThickness == b.dThickness;
  }
};

constexpr int kStmColorCount = 23;

// One colour style: 23 colours, each red, green, blue in 0..1 as x, y, z.
struct SStmColorSet {
  std::array<CVector, kStmColorCount> colors{};

  CVector& operator[](int i) { return colors.at(static_cast<size_t>(i)); }
  const CVector& operator[](int i) const { return colors.at(static_cast<size_t>(i)); }
};

// A strut type of the definitions: nShape 0 prismatic, 1 bottle-shaped; dBetaS the efficiency
// factor of the concrete in the strut.
struct SStmStrutType {
  CString strName;
  int nShape = 0;
  double dBetaS = 1.0;
};

// A tie type of the definitions. nHorizontal 1: usable as a horizontal tie; nAnchored 1: the
// bars are anchored beyond the nodes. Templates pick the first type with both set.
struct SStmTieType {
  CString strName;
  int nTypeSteel = 0;  // 0 reinforcing bar, 1 prestressing strand
  int nHorizontal = 0;
  int nAnchored = 0;
  double dDiameter = 0.0;
  int nBars = 0;
};

// One quadrilateral cell of an ESO step with its value.
struct SStmEsoCell {
  std::array<CVector, 4> corners{};
  double dValue = 0.0;
};

struct SStmEsoStep {
  std::vector<SStmEsoCell> cells;
};

// One stress-flow vector: a principal stress at a point, as long as it is strong, across the point.
// bTension tells a pull (drawn with heads pointing out) from a push (heads pointing in).
struct SStmStressFlow {
  CVector start;
  CVector end;
  int bTension = 0;
};

// One zone of a nodal-zone result: a polygon of corner indices into the plane mesh coordinates.
// bCompression zones are drawn red, bTension zones blue.
struct SStmNodalZone {
  std::vector<int> corners;
  int bCompression = 0;
  int bTension = 0;
};

struct SStmResultNodalZone {
  std::vector<SStmNodalZone> zones;
  std::vector<SStmStressFlow> flows;
};

// Quadrilaterals as four corner indices; a negative index means no corner (a triangle).
using SStmQuad = std::array<int, 4>;

// The analysis mesh in plane coordinates (u, v).
struct SStmMeshPlane {
  std::vector<CDPoint> coords;
  std::vector<SStmQuad> quads;
};

// The analysis mesh in model coordinates.
struct SStmMeshSpace {
  std::vector<CVector> coords;
  std::vector<SStmQuad> quads;
};

// A segment of the boundary as the analysis referenced it.
struct SStmSegment {
  CVector a;
  CVector b;
};
