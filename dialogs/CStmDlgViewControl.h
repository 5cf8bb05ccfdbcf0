// The view control panel: which layers are drawn, text sizes, decimals, naming, colour style,
// contour ramp and displacement scale. It keeps no settings of its own: every control reads and
// writes the display settings of the model on screen, and every change repaints at once.
#pragma once

#include "host/platform/CDialog.h"

class CStmDataView;
class CStmModel;
class CStmUbRenderer;

class CStmDlgViewControl : public CDialog {
public:
  static constexpr UINT IDD = 4004;
  enum EControl {
    IDC_STM_CHECK_NODE = 4003, IDC_STM_CHECK_ELEMENT = 4004, IDC_STM_CHECK_OUTBOUND = 4005,
    IDC_STM_EDIT_NODENUM = 4006, IDC_STM_CHECK_RESTRAINT = 4007, IDC_STM_CHECK_LOAD = 4008,
    IDC_STM_CHECK_RESULT = 4009, IDC_STM_CHECK_AXIS = 4010, IDC_STM_CHECK_NODENUM = 4011,
    IDC_STM_CHECK_ELEMNUM = 4012, IDC_STM_CHECK_LOADVAL = 4013, IDC_STM_CHECK_RESULTVAL = 4014,
    IDC_STM_CHECK_ZONE = 4015, IDC_STM_CHECK_STRUTTIE = 4016, IDC_STM_EDIT_ELEMNUM = 4017,
    IDC_STM_EDIT_LOADVAL = 4018, IDC_STM_EDIT_RESULTVAL = 4019, IDC_STM_SLIDER_DISPLACEMENT = 4020,
    IDC_STM_CHECK_GRIDPOINT = 4021, IDC_STM_CHECK_GUIDELINE = 4022, IDC_STM_EDIT_FIXEDPOINT = 4023,
    IDC_STM_CHECK_SPRING = 4024, IDC_STM_CHECK_INBOUND = 4025, IDC_STM_CHECK_STRESSFLOW = 4026,
    IDC_STM_COMBO_NAMING_NODE = 4050, IDC_STM_COMBO_NAMING_ELEM = 4051, IDC_STM_CHECK_ARROWHEAD = 4062,
    IDC_STM_EDIT_MIN_ARROWHEAD = 4063, IDC_STM_EDIT_MAX_ARROWHEAD = 4064, IDC_STM_RADIO_DARK = 4069,
    IDC_STM_RADIO_LIGHT = 4070, IDC_STM_COMBO_CONTOUR = 4071, IDC_STM_CHECK_REACTION = 4072,
    // The load path's step shown: "Step 3 of 9", a step back, a step on and a slider, there only
    // while the model has steps.
    IDC_STM_STATIC_ESO_STEP = 4073, IDC_STM_SLIDER_ESO_STEP = 4074, IDC_STM_BUTTON_ESO_PREV = 4075,
    IDC_STM_BUTTON_ESO_NEXT = 4076,
    // The grid's spacing in the model's length unit, which the caption names.
    IDC_STM_STATIC_GRID = 4077, IDC_STM_EDIT_GRID = 4078
  };

  CStmDlgViewControl(CStmUbRenderer* renderer, CWnd* parent);

  // Reloads every control from the model on screen, then shows the panel.
  void Show();
  void SetDataInit();
  int OnInitDialog() override;
  // What a control reports after the user changed it: a click (BN_CLICKED), a new drop-list
  // choice (CBN_SELCHANGE), an edit typed in (EN_CHANGE) or left (EN_KILLFOCUS). Non-zero when
  // the panel took it.
  int OnCommand(int id, UINT code);
  // The slider moved.
  void OnHScroll();
  // The step slider moved, or a button stepped it by one: the model shows that step of its load
  // path. Like choosing a load case, no edit.
  void OnEsoStep(int by = 0);
  // Enter in an edit applies it and moves on to the next control instead of closing the panel.
  // Non-zero when the key was taken.
  int PreTranslateMessage(MSG* msg) override;
  void OnClicked(int id) override { OnCommand(id, BN_CLICKED); }
  // An edit typed in, a drop-list choice or the slider moved.
  void OnControlChanged(int id) override;

protected:
  void DoDataExchange(CDataExchange* pDX) override;

private:
  CStmModel* GetStmModel() const;
  CStmDataView* GetStmDataView() const;
  void OnBnClickedShowOption(int id);
  void OnEnKillfocusValue(int id);
  // An edit's text changed while the user types: applied as soon as it is a whole number.
  void OnEnChangeValue(int id);
  void ApplyEdit(int id);
  // Applied as soon as the text is a spacing the model can hold; once the edit is left (final),
  // anything else is refused with a message and the spacing shown again.
  void ApplyGridSpacing(bool final);
  void OnCbnSelchangeStmComboNamingNode();
  void OnCbnSelchangeStmComboNamingElem();
  void OnCbnSelchangeStmComboContour();
  void ChangeColorType();
  // Stores both naming rules and renames every node and element by them.
  void ApplyNaming();
  void Repaint();
  int& ValueOfEdit(int id);

  CStmUbRenderer* m_pRenderer;
  // One member per control, as the display settings hold them; checks by show-option bit.
  int m_bCheck[32] = {};
  int m_nSizeNumberNode = 0;
  int m_nSizeNumberElement = 0;
  int m_nSizeValueLoad = 0;
  int m_nSizeValueResult = 0;
  int m_nLengthMinArrowHead = 0;
  int m_nLengthMaxArrowHead = 0;
  int m_nFixedPointNumber = 0;
  int m_nNamingNode = 0;
  int m_nNamingElement = 0;
  int m_nColorType = 0;
  int m_nContour = 0;
  int m_nScaleDisplacement = 0;
  // 1 to the number of steps, as the slider counts.
  int m_nStepEso = 0;
  double m_dGridSpacing = 0.0;
};
