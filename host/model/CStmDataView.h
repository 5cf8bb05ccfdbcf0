// The display settings a model carries: which layers show, text sizes, decimals, naming,
// colour style and its two colour sets, contour ramp, grid and guidelines.
#pragma once

#include <vector>

#include "host/model/StmModelTypes.h"

class CStmDataView {
public:
  // Layers a new model shows, so that a user can start drawing at once: grid points,
  // guidelines, nodes, elements, boundaries, supports, loads, axis, tooltips and areas.
  static constexpr unsigned kDefaultShowOptions =
      STM_SHOW_GRID_POINTS | STM_SHOW_GUIDELINES | STM_SHOW_NODES | STM_SHOW_ELEMENTS | STM_SHOW_BOUNDARIES |
      STM_SHOW_NODE_NAMES | STM_SHOW_ELEMENT_NAMES | STM_SHOW_RESTRAINTS | STM_SHOW_SPRINGS | STM_SHOW_LOADS |
      STM_SHOW_LOAD_VALUES | STM_SHOW_AXIS | STM_SHOW_RESULTS | STM_SHOW_RESULT_VALUES | STM_SHOW_NODE_TOOLTIPS |
      STM_SHOW_ELEMENT_TOOLTIPS | STM_SHOW_BOUNDARY_TOOLTIPS | STM_SHOW_AREA_TOOLTIPS | STM_SHOW_AREAS | STM_SHOW_LEGEND;

  CStmDataView();

  // True when every bit of option is set.
  bool IsShowOption(unsigned option) const { return (m_nShowOption & option) == option && option != 0; }
  void SetShowOption(unsigned option, int show);
  unsigned GetShowOptions() const { return m_nShowOption; }
  void SetShowOptions(unsigned options) { m_nShowOption = options; }

  int GetSizeNumberNode() const { return m_nSizeNumberNode; }
  void SetSizeNumberNode(int size) { m_nSizeNumberNode = size; }
  int GetSizeNumberElement() const { return m_nSizeNumberElement; }
  void SetSizeNumberElement(int size) { m_nSizeNumberElement = size; }
  int GetSizeValueLoad() const { return m_nSizeValueLoad; }
  void SetSizeValueLoad(int size) { m_nSizeValueLoad = size; }
  int GetSizeValueResult() const { return m_nSizeValueResult; }
  void SetSizeValueResult(int size) { m_nSizeValueResult = size; }
  int GetLengthMinArrowHead() const { return m_nLengthMinArrowHead; }
  void SetLengthMinArrowHead(int length) { m_nLengthMinArrowHead = length; }
  int GetLengthMaxArrowHead() const { return m_nLengthMaxArrowHead; }
  void SetLengthMaxArrowHead(int length) { m_nLengthMaxArrowHead = length; }
  // Decimals of every printed value; also the precision at which forces classify elements.
  int GetFixedPointNumber() const { return m_nFixedPointNumber; }
  void SetFixedPointNumber(int decimals) { m_nFixedPointNumber = decimals; }

  EStmTypeNaming GetTypeNamingNode() const { return m_eNamingNode; }
  void SetTypeNamingNode(EStmTypeNaming naming) { m_eNamingNode = naming; }
  EStmTypeNaming GetTypeNamingElement() const { return m_eNamingElement; }
  void SetTypeNamingElement(EStmTypeNaming naming) { m_eNamingElement = naming; }

  EStmTypeColor GetTypeColor() const { return m_eColor; }
  void SetTypeColor(EStmTypeColor color) { m_eColor = color; }
  // The colour set of the current style; the other overload answers for a given style
  // (any style but light is dark).
  const SStmColorSet& GetColorSet() const { return GetColorSet(m_eColor); }
  const SStmColorSet& GetColorSet(EStmTypeColor style) const;
  void SetColorSet(EStmTypeColor style, const SStmColorSet& set);
  static SStmColorSet GetDefaultColorSet(EStmTypeColor style);

  EStmTypeContour GetTypeContour() const { return m_eContour; }
  void SetTypeContour(EStmTypeContour contour) { m_eContour = contour; }
  EStmTypeResult GetTypeResult() const { return m_eResult; }
  void SetTypeResult(EStmTypeResult result) { m_eResult = result; }
  int GetScaleDisplacement() const { return m_nScaleDisplacement; }
  void SetScaleDisplacement(int scale) { m_nScaleDisplacement = scale; }

  // Grid origin in thousandths of the length unit; grid spacing in the length unit itself.
  const CVector& GetGridOrigin() const { return m_vGridOrigin; }
  void SetGridOrigin(const CVector& origin) { m_vGridOrigin = origin; }
  const CVector& GetGridSpace() const { return m_vGridSpace; }
  void SetGridSpace(const CVector& space) { m_vGridSpace = space; }

  // Guideline positions along model axis 0 (x), 1 (y) or 2 (z), in thousandths of the length
  // unit; an axis outside 0..2 reads as an empty list and is not stored.
  const std::vector<double>& GetGuideline(int axis) const;
  void SetGuideline(int axis, std::vector<double> positions);

private:
  unsigned m_nShowOption = kDefaultShowOptions;
  int m_nSizeNumberNode = 12;
  int m_nSizeNumberElement = 12;
  int m_nSizeValueLoad = 12;
  int m_nSizeValueResult = 12;
  int m_nLengthMinArrowHead = 30;
  int m_nLengthMaxArrowHead = 120;
  int m_nFixedPointNumber = 2;
  EStmTypeNaming m_eNamingNode = STM_NAMING_NUMBER;
  EStmTypeNaming m_eNamingElement = STM_NAMING_NUMBER;
  EStmTypeColor m_eColor = STM_COLOR_DARK;
  SStmColorSet m_colorDark;
  SStmColorSet m_colorLight;
  EStmTypeContour m_eContour = STM_CONTOUR_RGB;
  EStmTypeResult m_eResult = STM_RESULT_AXIAL_FORCE;
  int m_nScaleDisplacement = 10;
  CVector m_vGridOrigin;
  CVector m_vGridSpace{100.0, 100.0, 100.0};
  std::vector<double> m_guidelines[3];
};
