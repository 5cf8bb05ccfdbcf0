// The view control panel's controls and what each one changes in the display settings.
#include "dialogs/CStmDlgViewControl.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "host/model/CStmModel.h"
#include "host/model/StmModelLimits.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

// Marks a text for the catalogue; it is looked up when the panel is initialised.
constexpr const char* StmTextNoop(const char* id) { return id; }

struct SShowCheck {
  int id;
  unsigned bit;
};

// The check boxes and the layer each one switches.
constexpr SShowCheck kShowChecks[] = {
    {CStmDlgViewControl::IDC_STM_CHECK_GRIDPOINT, STM_SHOW_GRID_POINTS},
    {CStmDlgViewControl::IDC_STM_CHECK_GUIDELINE, STM_SHOW_GUIDELINES},
    {CStmDlgViewControl::IDC_STM_CHECK_NODE, STM_SHOW_NODES},
    {CStmDlgViewControl::IDC_STM_CHECK_ELEMENT, STM_SHOW_ELEMENTS},
    {CStmDlgViewControl::IDC_STM_CHECK_OUTBOUND, STM_SHOW_BOUNDARIES},
    {CStmDlgViewControl::IDC_STM_CHECK_NODENUM, STM_SHOW_NODE_NAMES},
    {CStmDlgViewControl::IDC_STM_CHECK_ELEMNUM, STM_SHOW_ELEMENT_NAMES},
    {CStmDlgViewControl::IDC_STM_CHECK_RESTRAINT, STM_SHOW_RESTRAINTS},
    {CStmDlgViewControl::IDC_STM_CHECK_SPRING, STM_SHOW_SPRINGS},
    {CStmDlgViewControl::IDC_STM_CHECK_LOAD, STM_SHOW_LOADS},
    {CStmDlgViewControl::IDC_STM_CHECK_LOADVAL, STM_SHOW_LOAD_VALUES},
    {CStmDlgViewControl::IDC_STM_CHECK_STRUTTIE, STM_SHOW_WIDTHS},
    {CStmDlgViewControl::IDC_STM_CHECK_ZONE, STM_SHOW_NODAL_ZONES},
    {CStmDlgViewControl::IDC_STM_CHECK_AXIS, STM_SHOW_AXIS},
    {CStmDlgViewControl::IDC_STM_CHECK_RESULT, STM_SHOW_RESULTS},
    {CStmDlgViewControl::IDC_STM_CHECK_RESULTVAL, STM_SHOW_RESULT_VALUES},
    {CStmDlgViewControl::IDC_STM_CHECK_STRESSFLOW, STM_SHOW_STRESS_FLOW},
    {CStmDlgViewControl::IDC_STM_CHECK_ARROWHEAD, STM_SHOW_ARROW_HEADS},
    {CStmDlgViewControl::IDC_STM_CHECK_REACTION, STM_SHOW_REACTIONS},
};

const SShowCheck* FindShowCheck(int id) {
  for (const SShowCheck& check : kShowChecks) {
    if (check.id == id) return &check;
  }
  return nullptr;
}

int BitIndex(unsigned bit) {
  int index = 0;
  while (bit > 1) bit >>= 1, ++index;
  return index;
}

// The contour drop list leaves out the two ramps centred on zero: items 2 and 3 stand for
// types 4 and 5.
int ContourIndexOfType(int type) { return type >= 4 ? type - 2 : type; }
int ContourTypeOfIndex(int index) { return index < 2 ? index : index + 2; }

constexpr int kIdStaticFirst = 4100;
// The template in dialog units, as the rest of the dialogs: rows and columns of one panel.
constexpr int kRow = 15;
constexpr int kHeight = 12;

}  // namespace

CStmDlgViewControl::CStmDlgViewControl(CStmUbRenderer* renderer, CWnd* parent)
    : CDialog(IDD, parent), m_pRenderer(renderer) {
  m_strCaption = StmTextNoop("STM View Control");
  int nextStatic = kIdStaticFirst;
  const auto add = [this](int id, EDlgControlKind kind, const char* caption, int x, int y, int w) {
    AddControl(id, kind, CRect(x, y, x + w, y + kHeight), caption);
  };
  const auto label = [&](const char* caption, int x, int y, int w) {
    add(nextStatic++, EDlgControlKind::kStatic, caption, x, y, w);
  };
  const auto check = [&](int id, const char* caption, int x, int y) { add(id, EDlgControlKind::kCheck, caption, x, y, 78); };
  const auto edit = [&](int id, int x, int y) { add(id, EDlgControlKind::kEdit, "", x, y, 26); };
  constexpr int kLeft = 7, kRight = 120;
  int y = 7;
  label(StmTextNoop("Show/Hide - Size"), kLeft, y, 220);
  y += kRow;
  check(IDC_STM_CHECK_NODE, StmTextNoop("Node"), kLeft, y);
  check(IDC_STM_CHECK_NODENUM, StmTextNoop("Node Name"), kRight, y);
  edit(IDC_STM_EDIT_NODENUM, kRight + 80, y);
  y += kRow;
  check(IDC_STM_CHECK_ELEMENT, StmTextNoop("Element"), kLeft, y);
  check(IDC_STM_CHECK_ELEMNUM, StmTextNoop("Element Name"), kRight, y);
  edit(IDC_STM_EDIT_ELEMNUM, kRight + 80, y);
  y += kRow;
  check(IDC_STM_CHECK_RESTRAINT, StmTextNoop("Restraint"), kLeft, y);
  check(IDC_STM_CHECK_SPRING, StmTextNoop("Spring"), kRight, y);
  y += kRow;
  check(IDC_STM_CHECK_STRUTTIE, StmTextNoop("Strut/Tie Width"), kLeft, y);
  check(IDC_STM_CHECK_STRESSFLOW, StmTextNoop("Stress Flow"), kRight, y);
  y += kRow;
  check(IDC_STM_CHECK_ARROWHEAD, StmTextNoop("Arrow Head"), kLeft, y);
  edit(IDC_STM_EDIT_MIN_ARROWHEAD, kLeft + 80, y);
  label("~", kLeft + 108, y, 6);
  edit(IDC_STM_EDIT_MAX_ARROWHEAD, kLeft + 116, y);
  y += kRow;
  check(IDC_STM_CHECK_ZONE, StmTextNoop("Nodal Zone"), kLeft, y);
  check(IDC_STM_CHECK_LOAD, StmTextNoop("Load"), kRight, y);
  y += kRow;
  check(IDC_STM_CHECK_LOADVAL, StmTextNoop("Load Value"), kLeft, y);
  edit(IDC_STM_EDIT_LOADVAL, kLeft + 80, y);
  check(IDC_STM_CHECK_RESULT, StmTextNoop("Analysis Result"), kRight, y);
  y += kRow;
  check(IDC_STM_CHECK_RESULTVAL, StmTextNoop("Result Value"), kLeft, y);
  edit(IDC_STM_EDIT_RESULTVAL, kLeft + 80, y);
  check(IDC_STM_CHECK_OUTBOUND, StmTextNoop("Outer Boundary"), kRight, y);
  y += kRow;
  // In the panel for its place only: openings are drawn with the outer outline's layer.
  check(IDC_STM_CHECK_INBOUND, StmTextNoop("Inner Boundary"), kLeft, y);
  GetControl(IDC_STM_CHECK_INBOUND)->m_bEnabled = false;
  check(IDC_STM_CHECK_GRIDPOINT, StmTextNoop("Grid Points"), kRight, y);
  y += kRow;
  check(IDC_STM_CHECK_GUIDELINE, StmTextNoop("Guidelines"), kLeft, y);
  check(IDC_STM_CHECK_AXIS, StmTextNoop("Axis"), kRight, y);
  y += kRow;
  check(IDC_STM_CHECK_REACTION, StmTextNoop("Reaction"), kLeft, y);
  add(IDC_STM_STATIC_GRID, EDlgControlKind::kStatic, "", kRight, y, 78);
  add(IDC_STM_EDIT_GRID, EDlgControlKind::kEdit, "", kRight + 80, y, 26);
  y += kRow + 4;
  label(StmTextNoop("Value Representation"), kLeft, y, 220);
  y += kRow;
  label(StmTextNoop("Fixed Point Number :"), kLeft, y, 78);
  edit(IDC_STM_EDIT_FIXEDPOINT, kLeft + 80, y);
  y += kRow;
  // The naming lists under the captions of the name boxes they rename.
  label(StmTextNoop("Node Name"), kLeft, y, 50);
  add(IDC_STM_COMBO_NAMING_NODE, EDlgControlKind::kCombo, "", kLeft + 52, y, 60);
  GetControl(IDC_STM_COMBO_NAMING_NODE)->m_arItems = {"1, 2, 3", "N1, N2, N3", "A, B, C"};
  label(StmTextNoop("Element Name"), kRight, y, 50);
  add(IDC_STM_COMBO_NAMING_ELEM, EDlgControlKind::kCombo, "", kRight + 52, y, 60);
  GetControl(IDC_STM_COMBO_NAMING_ELEM)->m_arItems = {"1, 2, 3", "E1, E2, E3", "AB, BC, CD"};
  y += kRow + 4;
  label(StmTextNoop("Background Color Style"), kLeft, y, 220);
  y += kRow;
  add(IDC_STM_RADIO_DARK, EDlgControlKind::kRadio, StmTextNoop("Dark"), kLeft, y, 60);
  add(IDC_STM_RADIO_LIGHT, EDlgControlKind::kRadio, StmTextNoop("Light"), kRight, y, 60);
  y += kRow + 4;
  label(StmTextNoop("Displacement Result Scale"), kLeft, y, 220);
  y += kRow;
  add(IDC_STM_SLIDER_DISPLACEMENT, EDlgControlKind::kSlider, "", kLeft, y, 220);
  y += kRow + 4;
  label(StmTextNoop("Stress Flow Contour Style"), kLeft, y, 220);
  y += kRow;
  add(IDC_STM_COMBO_CONTOUR, EDlgControlKind::kCombo, "", kLeft, y, 140);
  GetControl(IDC_STM_COMBO_CONTOUR)->m_arItems = {CString(StmTextNoop("RED - GREEN - BLUE")),
                                                 CString(StmTextNoop("BLUE - GREEN - RED")),
                                                 CString(StmTextNoop("WHITE - GRAY - BLACK")),
                                                 CString(StmTextNoop("BLACK - GRAY - WHITE"))};
  y += kRow + 4;
  add(IDC_STM_STATIC_ESO_STEP, EDlgControlKind::kStatic, "", kLeft, y, 64);
  add(IDC_STM_BUTTON_ESO_PREV, EDlgControlKind::kButton, "<", kLeft + 66, y, 14);
  add(IDC_STM_BUTTON_ESO_NEXT, EDlgControlKind::kButton, ">", kLeft + 82, y, 14);
  add(IDC_STM_SLIDER_ESO_STEP, EDlgControlKind::kSlider, "", kLeft + 98, y, 122);
  y += kRow + 4;
  add(IDOK, EDlgControlKind::kButton, StmTextNoop("Close"), kRight + 56, y, 50);
  MoveWindow(CRect(CPoint(0, 0), GetTemplateSize()));
  OnInitDialog();
}

int CStmDlgViewControl::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strCaption = StmText(m_strCaption.c_str());
  for (SDlgControl& control : GetControls()) {
    if (!control.m_strCaption.IsEmpty()) control.m_strCaption = StmText(control.m_strCaption.c_str());
    if (control.m_nId == IDC_STM_COMBO_CONTOUR) {
      for (CString& item : control.m_arItems) item = StmText(item.c_str());
    }
  }
  SDlgControl* slider = GetControl(IDC_STM_SLIDER_DISPLACEMENT);
  slider->m_nMin = 1;
  slider->m_nMax = 100;
  return 1;
}

CStmModel* CStmDlgViewControl::GetStmModel() const {
  CStmUbManager* manager = m_pRenderer ? m_pRenderer->GetUbManager() : nullptr;
  return manager ? manager->GetStmModel() : nullptr;
}

CStmDataView* CStmDlgViewControl::GetStmDataView() const {
  CStmModel* model = GetStmModel();
  return model ? model->GetStmDataView() : nullptr;
}

void CStmDlgViewControl::Show() {
  SetDataInit();
  ShowWindow(SW_SHOW);
}

void CStmDlgViewControl::SetDataInit() {
  const CStmDataView* view = GetStmDataView();
  if (!view) return;
  for (const SShowCheck& check : kShowChecks) m_bCheck[BitIndex(check.bit)] = view->IsShowOption(check.bit) ? 1 : 0;
  m_nSizeNumberNode = view->GetSizeNumberNode();
  m_nSizeNumberElement = view->GetSizeNumberElement();
  m_nSizeValueLoad = view->GetSizeValueLoad();
  m_nSizeValueResult = view->GetSizeValueResult();
  m_nLengthMinArrowHead = view->GetLengthMinArrowHead();
  m_nLengthMaxArrowHead = view->GetLengthMaxArrowHead();
  m_nFixedPointNumber = view->GetFixedPointNumber();
  m_nNamingNode = view->GetTypeNamingNode();
  m_nNamingElement = view->GetTypeNamingElement();
  m_nScaleDisplacement = view->GetScaleDisplacement();
  m_nColorType = view->GetTypeColor();
  m_nContour = ContourIndexOfType(view->GetTypeContour());
  // The step chooser stands only while there are steps to choose from.
  const CStmModel* model = GetStmModel();
  const int steps = model->GetCountStepEso();
  SDlgControl* caption = GetControl(IDC_STM_STATIC_ESO_STEP);
  SDlgControl* slider = GetControl(IDC_STM_SLIDER_ESO_STEP);
  caption->m_bVisible = slider->m_bVisible = steps > 0;
  GetControl(IDC_STM_BUTTON_ESO_PREV)->m_bVisible = GetControl(IDC_STM_BUTTON_ESO_NEXT)->m_bVisible = steps > 0;
  slider->m_nMin = 1;
  slider->m_nMax = std::max(steps, 1);
  m_nStepEso = std::clamp(model->GetCurrentStepEso() + 1, 1, slider->m_nMax);
  caption->m_strCaption.Format(StmText("Step %d of %d").c_str(), m_nStepEso, steps);
  // Models the editor makes space their grid alike along every axis.
  const CVector& space = view->GetGridSpace();
  m_dGridSpacing = std::max({space.x, space.y, space.z});
  GetControl(IDC_STM_STATIC_GRID)->m_strCaption.Format(StmText("Grid spacing (%s)").c_str(), model->GetUnitLength().c_str());
  UpdateData(0);
}

void CStmDlgViewControl::DoDataExchange(CDataExchange* pDX) {
  for (const SShowCheck& check : kShowChecks) DDX_Check(pDX, check.id, m_bCheck[BitIndex(check.bit)]);
  DDX_Text(pDX, IDC_STM_EDIT_NODENUM, m_nSizeNumberNode);
  DDX_Text(pDX, IDC_STM_EDIT_ELEMNUM, m_nSizeNumberElement);
  DDX_Text(pDX, IDC_STM_EDIT_LOADVAL, m_nSizeValueLoad);
  DDX_Text(pDX, IDC_STM_EDIT_RESULTVAL, m_nSizeValueResult);
  DDX_Text(pDX, IDC_STM_EDIT_MIN_ARROWHEAD, m_nLengthMinArrowHead);
  DDX_Text(pDX, IDC_STM_EDIT_MAX_ARROWHEAD, m_nLengthMaxArrowHead);
  DDX_Text(pDX, IDC_STM_EDIT_FIXEDPOINT, m_nFixedPointNumber);
  DDX_CBIndex(pDX, IDC_STM_COMBO_NAMING_NODE, m_nNamingNode);
  DDX_CBIndex(pDX, IDC_STM_COMBO_NAMING_ELEM, m_nNamingElement);
  DDX_CBIndex(pDX, IDC_STM_COMBO_CONTOUR, m_nContour);
  DDX_Radio(pDX, IDC_STM_RADIO_DARK, m_nColorType);
  DDX_Slider(pDX, IDC_STM_SLIDER_DISPLACEMENT, m_nScaleDisplacement);
  DDX_Slider(pDX, IDC_STM_SLIDER_ESO_STEP, m_nStepEso);
  // Taken over by its own edit only, so that a half-typed spacing never blocks the others.
  if (!pDX->m_bSaveAndValidate) DDX_Text(pDX, IDC_STM_EDIT_GRID, m_dGridSpacing);
}

int CStmDlgViewControl::OnCommand(int id, UINT code) {
  SDlgControl* control = GetControl(id);
  if (!control || !control->m_bEnabled) return 0;
  if (code == BN_CLICKED && id == IDOK) {
    ShowWindow(SW_HIDE);
    return 1;
  }
  if (code == BN_CLICKED && (id == IDC_STM_BUTTON_ESO_PREV || id == IDC_STM_BUTTON_ESO_NEXT)) {
    OnEsoStep(id == IDC_STM_BUTTON_ESO_PREV ? -1 : 1);
    return 1;
  }
  if (code == BN_CLICKED && FindShowCheck(id)) {
    OnBnClickedShowOption(id);
    return 1;
  }
  if (code == BN_CLICKED && (id == IDC_STM_RADIO_DARK || id == IDC_STM_RADIO_LIGHT)) {
    GetControl(IDC_STM_RADIO_DARK)->m_nCheck = id == IDC_STM_RADIO_DARK ? 1 : 0;
    GetControl(IDC_STM_RADIO_LIGHT)->m_nCheck = id == IDC_STM_RADIO_LIGHT ? 1 : 0;
    ChangeColorType();
    return 1;
  }
  if (id == IDC_STM_EDIT_GRID && (code == EN_KILLFOCUS || code == EN_CHANGE)) {
    ApplyGridSpacing(code == EN_KILLFOCUS);
    return 1;
  }
  if (code == EN_KILLFOCUS && control->m_eKind == EDlgControlKind::kEdit) {
    OnEnKillfocusValue(id);
    return 1;
  }
  if (code == EN_CHANGE && control->m_eKind == EDlgControlKind::kEdit) {
    OnEnChangeValue(id);
    return 1;
  }
  if (code != CBN_SELCHANGE) return 0;
  switch (id) {
    case IDC_STM_COMBO_NAMING_NODE: OnCbnSelchangeStmComboNamingNode(); return 1;
    case IDC_STM_COMBO_NAMING_ELEM: OnCbnSelchangeStmComboNamingElem(); return 1;
    case IDC_STM_COMBO_CONTOUR: OnCbnSelchangeStmComboContour(); return 1;
    default: return 0;
  }
}

void CStmDlgViewControl::OnControlChanged(int id) {
  const SDlgControl* control = GetControl(id);
  if (!control) return;
  switch (control->m_eKind) {
    case EDlgControlKind::kEdit: OnCommand(id, EN_CHANGE); break;
    case EDlgControlKind::kCombo: OnCommand(id, CBN_SELCHANGE); break;
    case EDlgControlKind::kSlider:
      if (id == IDC_STM_SLIDER_ESO_STEP) OnEsoStep();
      else OnHScroll();
      break;
    default: break;
  }
}

int CStmDlgViewControl::PreTranslateMessage(MSG* msg) {
  // A panel that stays up has nothing to confirm or cancel: Esc is left to the view.
  if (!msg || msg->message != WM_KEYDOWN || msg->wParam != static_cast<WPARAM>(VK_RETURN)) return 0;
  // As Tab would: the edit left behind is applied and the next control takes the focus.
  std::vector<SDlgControl>& controls = GetControls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].m_nId != GetFocusId()) continue;
    if (controls[i].m_eKind == EDlgControlKind::kEdit) OnCommand(controls[i].m_nId, EN_KILLFOCUS);
    for (size_t k = 1; k < controls.size(); ++k) {
      const SDlgControl& next = controls[(i + k) % controls.size()];
      if (next.m_eKind != EDlgControlKind::kStatic && next.m_bEnabled && next.m_bVisible) {
        SetFocusId(next.m_nId);
        break;
      }
    }
    break;
  }
  return 1;
}

void CStmDlgViewControl::OnBnClickedShowOption(int id) {
  CStmDataView* view = GetStmDataView();
  if (!view) return;
  UpdateData(1);
  const unsigned bit = FindShowCheck(id)->bit;
  view->SetShowOption(bit, m_bCheck[BitIndex(bit)]);
  Repaint();
}

int& CStmDlgViewControl::ValueOfEdit(int id) {
  switch (id) {
    case IDC_STM_EDIT_NODENUM: return m_nSizeNumberNode;
    case IDC_STM_EDIT_ELEMNUM: return m_nSizeNumberElement;
    case IDC_STM_EDIT_LOADVAL: return m_nSizeValueLoad;
    case IDC_STM_EDIT_RESULTVAL: return m_nSizeValueResult;
    case IDC_STM_EDIT_MIN_ARROWHEAD: return m_nLengthMinArrowHead;
    case IDC_STM_EDIT_MAX_ARROWHEAD: return m_nLengthMaxArrowHead;
    default: return m_nFixedPointNumber;
  }
}

void CStmDlgViewControl::OnEnKillfocusValue(int id) {
  if (!GetStmDataView()) return;
  if (!UpdateData(1)) {
    // The user was told; the edit shows the setting again, so that the refusal is not
    // repeated by every later control.
    SetDataInit();
    return;
  }
  ApplyEdit(id);
}

void CStmDlgViewControl::OnEnChangeValue(int id) {
  // Half-typed text ("", "-") is no value yet; it is judged when the edit is left.
  CString text = GetDlgItemText(id);
  text.Trim();
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.IsEmpty() || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return;
  ValueOfEdit(id) = static_cast<int>(value);
  ApplyEdit(id);
}

void CStmDlgViewControl::ApplyEdit(int id) {
  CStmDataView* view = GetStmDataView();
  if (!view) return;
  const int value = ValueOfEdit(id);
  switch (id) {
    case IDC_STM_EDIT_NODENUM: view->SetSizeNumberNode(value); break;
    case IDC_STM_EDIT_ELEMNUM: view->SetSizeNumberElement(value); break;
    case IDC_STM_EDIT_LOADVAL: view->SetSizeValueLoad(value); break;
    case IDC_STM_EDIT_RESULTVAL: view->SetSizeValueResult(value); break;
    case IDC_STM_EDIT_MIN_ARROWHEAD: view->SetLengthMinArrowHead(value); break;
    case IDC_STM_EDIT_MAX_ARROWHEAD: view->SetLengthMaxArrowHead(value); break;
    case IDC_STM_EDIT_FIXEDPOINT: {
      view->SetFixedPointNumber(value);
      // Forces are classified as struts and ties at the precision they are shown with.
      if (CStmModel* model = m_pRenderer->GetUbManager()->GetStmModel()) model->SetElementType();
      break;
    }
    default: return;
  }
  Repaint();
}

void CStmDlgViewControl::ApplyGridSpacing(bool final) {
  CStmDataView* view = GetStmDataView();
  if (!view) return;
  CString text = GetDlgItemText(IDC_STM_EDIT_GRID);
  text.Trim();
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (!text.IsEmpty() && *end == '\0' && StmLimits::IsGridSpacingInLimit(value)) {
    if (value == m_dGridSpacing && view->GetGridSpace() == CVector(value, value, value)) return;
    m_dGridSpacing = value;
    view->SetGridSpace(CVector(value, value, value));
    Repaint();
    return;
  }
  if (!final) return;
  CString message;
  message.Format(StmText("\"%s\" is refused: the grid spacing must be greater than 0 and at most %g.").c_str(),
                 text.c_str(), StmLimits::kMaxCoord);
  AfxMessageBox(message, MB_OK | MB_ICONWARNING);
  SetDataInit();
}

void CStmDlgViewControl::OnCbnSelchangeStmComboNamingNode() {
  if (!GetStmDataView()) return;
  UpdateData(1);
  // Letter names of elements are made of their nodes' letters, so the two go together.
  if (m_nNamingNode == STM_NAMING_LETTER) m_nNamingElement = STM_NAMING_LETTER;
  else if (m_nNamingElement == STM_NAMING_LETTER) m_nNamingElement = STM_NAMING_NUMBER;
  UpdateData(0);
  ApplyNaming();
}

void CStmDlgViewControl::OnCbnSelchangeStmComboNamingElem() {
  if (!GetStmDataView()) return;
  UpdateData(1);
  if (m_nNamingElement == STM_NAMING_LETTER) m_nNamingNode = STM_NAMING_LETTER;
  else if (m_nNamingNode == STM_NAMING_LETTER) m_nNamingNode = STM_NAMING_NUMBER;
  UpdateData(0);
  ApplyNaming();
}

void CStmDlgViewControl::ApplyNaming() {
  CStmDataView* view = GetStmDataView();
  view->SetTypeNamingNode(static_cast<EStmTypeNaming>(m_nNamingNode));
  view->SetTypeNamingElement(static_cast<EStmTypeNaming>(m_nNamingElement));
  m_pRenderer->GetUbManager()->GetStmModel()->RenameObject();
  Repaint();
}

void CStmDlgViewControl::OnCbnSelchangeStmComboContour() {
  CStmDataView* view = GetStmDataView();
  if (!view) return;
  UpdateData(1);
  view->SetTypeContour(static_cast<EStmTypeContour>(ContourTypeOfIndex(m_nContour)));
  Repaint();
}

void CStmDlgViewControl::ChangeColorType() {
  CStmDataView* view = GetStmDataView();
  if (!view) return;
  UpdateData(1);
  view->SetTypeColor(static_cast<EStmTypeColor>(m_nColorType));
  Repaint();
}

void CStmDlgViewControl::OnHScroll() {
  CStmDataView* view = GetStmDataView();
  if (!view) return;
  UpdateData(1);
  view->SetScaleDisplacement(m_nScaleDisplacement);
  Repaint();
}

void CStmDlgViewControl::OnEsoStep(int by) {
  CStmModel* model = GetStmModel();
  if (!model || model->GetCountStepEso() == 0) return;
  UpdateData(1);
  model->SetCurrentStepEso(std::clamp(m_nStepEso + by, 1, model->GetCountStepEso()) - 1);
  SetDataInit();
  Repaint();
}

void CStmDlgViewControl::Repaint() { m_pRenderer->InvalidateAllWnd(); }
