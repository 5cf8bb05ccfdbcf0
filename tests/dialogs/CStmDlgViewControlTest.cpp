// The view control panel on the example with results, rendered off screen: every check box,
// edit, drop list, radio button and slider changes the next frame (or, for the slider that
// nothing draws yet, the setting and a repaint); the naming and contour rules; Enter in an
// edit; and a model saved and read back shows the same panel. The frames are compared with each
// other only: what each result layer draws is checked against reference pictures elsewhere.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apps/common/StmViewOfPlane.h"
#include "dialogs/CStmDlgViewControl.h"
#include "entities/CStmEntityGuideline.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModelFile.h"
#include "host/platform/CScriptedUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"
#include "support/RenderCheck.h"
#include "support/StmSavedModel.h"

namespace {

using D = CStmDlgViewControl;
constexpr unsigned kLabels = STM_SHOW_NODE_NAMES | STM_SHOW_ELEMENT_NAMES | STM_SHOW_LOAD_VALUES | STM_SHOW_RESULT_VALUES;

class CStmDlgViewControlTest : public testing::Test {
protected:
  static constexpr int kWidth = 480;
  static constexpr int kHeight = 360;

  void SetUp() override {
    std::string error;
    ASSERT_TRUE(CStmModelFile::Load(std::string(STM_SOURCE_DIR) + "/examples/deep-beam-opening.stm.json", m_model,
                                    &error))
        << error;
    // Every layer the panel switches has something to draw: a spring and a guideline as well.
    for (const auto& entry : m_model.GetNodes()) m_model.AddSpring(entry.first, CVector(1, 0, 1), CVector());
    auto surface = CreateOffscreenSurface(kWidth, kHeight, &error);
    ASSERT_TRUE(surface) << error;
    ASSERT_EQ(m_wnd.Create(&m_manager, std::move(surface)), 0);
    m_manager.SetStmModel(&m_model);
    m_wnd.SetViewPos(StmViewOfPlane(m_model.GetPlane()));
    m_manager.UpdateStmRenderer();
    m_wnd.ZoomAll(0);
    m_manager.AddGridPoints();
    m_manager.AddEtt(new CStmEntityGuideline(&m_manager, 2, CVector(-500, 0, 700), CVector(3500, 0, 700)), 0, 1);
    m_manager.ShowDlgViewControl();
    m_dlg = m_manager.GetDlgViewControl();
    ASSERT_TRUE(m_dlg);
  }

  SRgbaImage Frame() {
    m_wnd.InvalidateAllWnd();
    m_wnd.Render();
    m_wnd.OpenGLRenderStart();
    SRgbaImage image = SRgbaImage::FromGl(kWidth, kHeight);
    m_wnd.OpenGLRenderEnd();
    return image;
  }
  // The pixels that the action changes in the next frame.
  int Changed(const std::function<void()>& action) {
    const SRgbaImage before = Frame();
    action();
    return before.Differing(Frame());
  }

  void Click(int id) {
    SDlgControl* control = m_dlg->GetControl(id);
    if (control->m_eKind == EDlgControlKind::kCheck) control->m_nCheck = !control->m_nCheck;
    m_dlg->OnCommand(id, BN_CLICKED);
  }
  // Typed and left, or (EN_CHANGE) still being typed.
  void Type(int id, const char* text, int notification = EN_KILLFOCUS) {
    m_dlg->SetDlgItemText(id, text);
    m_dlg->OnCommand(id, notification);
  }
  void Choose(int id, int item) {
    m_dlg->GetControl(id)->m_nSel = item;
    m_dlg->OnCommand(id, CBN_SELCHANGE);
  }
  // Each control's state as text, to compare two panels.
  std::vector<std::string> Panel() {
    std::vector<std::string> out;
    for (const SDlgControl& c : m_dlg->GetControls())
      out.push_back(std::to_string(c.m_nId) + ":" + std::to_string(c.m_nCheck) + ":" + std::to_string(c.m_nSel) + ":" +
                    c.m_strText.c_str());
    return out;
  }
  CStmDataView& View() { return *m_model.GetStmDataView(); }

  CScriptedUiHost m_host;
  CStmModel m_model;
  CStmUbManager m_manager;
  CStmUbRenderer m_wnd;
  CStmDlgViewControl* m_dlg = nullptr;
};

TEST_F(CStmDlgViewControlTest, EveryCheckBoxSwitchesItsLayerInTheNextFrame) {
  const std::vector<std::pair<int, unsigned>> checks{
      {D::IDC_STM_CHECK_GRIDPOINT, 0x1},      {D::IDC_STM_CHECK_GUIDELINE, 0x2},   {D::IDC_STM_CHECK_NODE, 0x4},
      {D::IDC_STM_CHECK_ELEMENT, 0x8},        {D::IDC_STM_CHECK_OUTBOUND, 0x10},   {D::IDC_STM_CHECK_NODENUM, 0x40},
      {D::IDC_STM_CHECK_ELEMNUM, 0x80},       {D::IDC_STM_CHECK_RESTRAINT, 0x100}, {D::IDC_STM_CHECK_SPRING, 0x200},
      {D::IDC_STM_CHECK_LOAD, 0x400},         {D::IDC_STM_CHECK_LOADVAL, 0x800},   {D::IDC_STM_CHECK_STRUTTIE, 0x1000},
      {D::IDC_STM_CHECK_ZONE, 0x2000},        {D::IDC_STM_CHECK_AXIS, 0x4000},     {D::IDC_STM_CHECK_RESULT, 0x8000},
      {D::IDC_STM_CHECK_RESULTVAL, 0x10000},  {D::IDC_STM_CHECK_STRESSFLOW, 0x20000},
      {D::IDC_STM_CHECK_ARROWHEAD, 0x40000}};
  // Labels are placed only where they keep clear of others, so the names and values are
  // looked at one at a time.
  for (const auto& [id, bit] : checks) {
    View().SetShowOptions((View().GetShowOptions() | 0x7FFFF) & ~kLabels);
    if (bit & kLabels) View().SetShowOption(bit, 1);
    // The load path's contour is drawn over the nodal zones, which the checks keep in the concrete.
    if (bit == STM_SHOW_NODAL_ZONES) View().SetShowOption(STM_SHOW_STRESS_FLOW, 0);
    m_dlg->Show();
    ASSERT_EQ(m_dlg->GetControl(id)->m_nCheck, 1) << id;
    Frame();
    const SRgbaImage shown = Frame();
    Click(id);
    EXPECT_FALSE(View().IsShowOption(bit)) << id;
    EXPECT_GT(shown.Differing(Frame()), 0) << m_dlg->GetControl(id)->m_strCaption.c_str();
    Click(id);
    EXPECT_TRUE(View().IsShowOption(bit)) << id;
    EXPECT_EQ(shown.Differing(Frame()), 0) << m_dlg->GetControl(id)->m_strCaption.c_str();
  }
  // The opening has no layer of its own.
  EXPECT_FALSE(m_dlg->GetControl(D::IDC_STM_CHECK_INBOUND)->m_bEnabled);
  EXPECT_EQ(m_dlg->OnCommand(D::IDC_STM_CHECK_INBOUND, BN_CLICKED), 0);
}

TEST_F(CStmDlgViewControlTest, EditsChangeSizesAndDecimalsAndRefuseWhatIsNoNumber) {
  const struct {
    int id;
    const char* text;
    int (CStmDataView::*get)() const;
    unsigned labels;
  } edits[] = {{D::IDC_STM_EDIT_NODENUM, "30", &CStmDataView::GetSizeNumberNode, 0x40},
               {D::IDC_STM_EDIT_ELEMNUM, "30", &CStmDataView::GetSizeNumberElement, 0x80},
               {D::IDC_STM_EDIT_LOADVAL, "30", &CStmDataView::GetSizeValueLoad, 0x800},
               {D::IDC_STM_EDIT_RESULTVAL, "30", &CStmDataView::GetSizeValueResult, 0x10000},
               {D::IDC_STM_EDIT_MIN_ARROWHEAD, "100", &CStmDataView::GetLengthMinArrowHead, 0},
               {D::IDC_STM_EDIT_MAX_ARROWHEAD, "400", &CStmDataView::GetLengthMaxArrowHead, 0},
               {D::IDC_STM_EDIT_FIXEDPOINT, "3", &CStmDataView::GetFixedPointNumber, 0x10000}};
  for (const auto& edit : edits) {
    View().SetShowOptions((View().GetShowOptions() | 0x7FFFF) & ~kLabels);
    View().SetShowOption(edit.labels, 1);
    m_dlg->Show();
    EXPECT_GT(Changed([&] { Type(edit.id, edit.text); }), 0) << edit.id;
    EXPECT_EQ((View().*edit.get)(), std::stoi(edit.text)) << edit.id;
  }
  EXPECT_TRUE(m_host.m_boxes.empty());
  Type(D::IDC_STM_EDIT_NODENUM, "big");
  ASSERT_EQ(m_host.m_boxes.size(), 1u);
  EXPECT_EQ(m_host.m_boxes.back().text, StmText("Please enter a number."));
  EXPECT_EQ(View().GetSizeNumberNode(), 30);
  EXPECT_EQ(m_dlg->GetDlgItemText(D::IDC_STM_EDIT_NODENUM), "30");

  // Typing applies each whole number at once; half-typed text waits without a word.
  Type(D::IDC_STM_EDIT_LOADVAL, "-", EN_CHANGE);
  EXPECT_EQ(View().GetSizeValueLoad(), 30);
  Type(D::IDC_STM_EDIT_LOADVAL, "25", EN_CHANGE);
  EXPECT_EQ(View().GetSizeValueLoad(), 25);
  EXPECT_EQ(m_host.m_boxes.size(), 1u);

  // The decimals are the precision at which a force makes a strut or a tie.
  CStmObjElement* element = m_model.GetElements().begin()->second;
  element->SetResultAxialForces({0.004});
  Type(D::IDC_STM_EDIT_FIXEDPOINT, "2");
  EXPECT_EQ(element->GetType(0), STM_ELEMENT_NONE);
  Type(D::IDC_STM_EDIT_FIXEDPOINT, "3");
  EXPECT_EQ(element->GetType(0), STM_ELEMENT_TIE);

  // Enter applies the edit and moves on; the panel stays.
  m_dlg->SetFocusId(D::IDC_STM_EDIT_ELEMNUM);
  m_dlg->SetDlgItemText(D::IDC_STM_EDIT_ELEMNUM, "18");
  EXPECT_EQ(m_dlg->SendKey(VK_RETURN), 1);
  EXPECT_EQ(View().GetSizeNumberElement(), 18);
  EXPECT_NE(m_dlg->GetFocusId(), D::IDC_STM_EDIT_ELEMNUM);
  EXPECT_TRUE(m_dlg->IsWindowVisible());

  // The grid's spacing in the model's unit, along every axis; what the loader would refuse is
  // refused here, with the spacing shown again.
  EXPECT_EQ(m_dlg->GetControl(D::IDC_STM_STATIC_GRID)->m_strCaption, "Grid spacing (" + m_model.GetUnitLength() + ")");
  Type(D::IDC_STM_EDIT_GRID, "250");
  EXPECT_EQ(View().GetGridSpace(), CVector(250, 250, 250));
  for (const char* bad : {"0", "-5", "inf", "2e9"}) {
    Type(D::IDC_STM_EDIT_GRID, bad);
    EXPECT_EQ(View().GetGridSpace(), CVector(250, 250, 250)) << bad;
    EXPECT_EQ(m_dlg->GetDlgItemText(D::IDC_STM_EDIT_GRID), "250") << bad;
  }
  EXPECT_EQ(m_host.m_boxes.size(), 5u);
}

TEST_F(CStmDlgViewControlTest, DropListsRenameAndRecolourTheStyleRadiosRepaintAndAFileKeepsThePanel) {
  View().SetShowOptions(View().GetShowOptions() | STM_SHOW_NODE_NAMES | STM_SHOW_STRESS_FLOW);
  m_dlg->Show();
  // Letter names of nodes bring letter names of elements, and leaving them takes both back.
  EXPECT_GT(Changed([&] { Choose(D::IDC_STM_COMBO_NAMING_NODE, STM_NAMING_LETTER); }), 0);
  EXPECT_EQ(m_dlg->GetControl(D::IDC_STM_COMBO_NAMING_ELEM)->m_nSel, STM_NAMING_LETTER);
  EXPECT_EQ(View().GetTypeNamingElement(), STM_NAMING_LETTER);
  EXPECT_EQ(m_model.GetNodes().begin()->second->GetName(), "A");
  Choose(D::IDC_STM_COMBO_NAMING_NODE, STM_NAMING_NUMBER);
  EXPECT_EQ(View().GetTypeNamingElement(), STM_NAMING_NUMBER);
  Choose(D::IDC_STM_COMBO_NAMING_ELEM, STM_NAMING_LETTER);
  EXPECT_EQ(View().GetTypeNamingNode(), STM_NAMING_LETTER);
  EXPECT_GT(Changed([&] { Choose(D::IDC_STM_COMBO_NAMING_ELEM, STM_NAMING_PREFIX); }), 0);
  EXPECT_EQ(View().GetTypeNamingNode(), STM_NAMING_NUMBER);
  EXPECT_EQ(m_model.GetNodes().begin()->second->GetName(), "1");

  // The contour list leaves out the ramps centred on zero.
  EXPECT_GT(Changed([&] { Choose(D::IDC_STM_COMBO_CONTOUR, 2); }), 0);
  EXPECT_EQ(View().GetTypeContour(), 4);
  View().SetTypeContour(static_cast<EStmTypeContour>(5));
  m_dlg->Show();
  EXPECT_EQ(m_dlg->GetControl(D::IDC_STM_COMBO_CONTOUR)->m_nSel, 3);

  const SRgbaImage dark = Frame();
  Click(D::IDC_STM_RADIO_LIGHT);
  EXPECT_EQ(View().GetTypeColor(), STM_COLOR_LIGHT);
  EXPECT_EQ(m_dlg->GetControl(D::IDC_STM_RADIO_DARK)->m_nCheck, 0);
  EXPECT_GT(dark.Differing(Frame()), kWidth * kHeight / 2);
  Click(D::IDC_STM_RADIO_DARK);
  EXPECT_EQ(dark.Differing(Frame()), 0);

  // Nothing draws displacements yet: the slider stores its scale and asks for a repaint.
  Frame();
  ASSERT_FALSE(m_wnd.IsInvalid());
  m_dlg->GetControl(D::IDC_STM_SLIDER_DISPLACEMENT)->m_nSel = 55;
  m_dlg->OnHScroll();
  EXPECT_EQ(View().GetScaleDisplacement(), 55);
  EXPECT_TRUE(m_wnd.IsInvalid());

  // The load path's step: the last shown first, chosen by the slider; no edit.
  const std::string last = std::to_string(m_model.GetEsoSteps().size());
  EXPECT_EQ(m_dlg->GetControl(D::IDC_STM_STATIC_ESO_STEP)->m_strCaption, "Step " + last + " of " + last);
  const SRgbaImage before = Frame();
  const int steps = m_manager.GetUndoCount();
  m_dlg->GetControl(D::IDC_STM_SLIDER_ESO_STEP)->m_nSel = 1;
  m_dlg->OnControlChanged(D::IDC_STM_SLIDER_ESO_STEP);
  EXPECT_EQ(m_model.GetCurrentStepEso(), 0);
  EXPECT_EQ(m_dlg->GetControl(D::IDC_STM_STATIC_ESO_STEP)->m_strCaption, "Step 1 of " + last);
  EXPECT_GT(before.Differing(Frame()), 0);
  EXPECT_EQ(m_manager.GetUndoCount(), steps);
  Click(D::IDC_STM_BUTTON_ESO_PREV);
  EXPECT_EQ(m_model.GetCurrentStepEso(), 0) << "no step before the first";
  Click(D::IDC_STM_BUTTON_ESO_NEXT);
  Click(D::IDC_STM_BUTTON_ESO_PREV);
  EXPECT_EQ(m_model.GetCurrentStepEso(), 0);

  // A model saved and read back shows the same panel.
  Click(D::IDC_STM_CHECK_AXIS);
  Type(D::IDC_STM_EDIT_ELEMNUM, "21");
  Type(D::IDC_STM_EDIT_FIXEDPOINT, "3");
  Choose(D::IDC_STM_COMBO_NAMING_NODE, STM_NAMING_PREFIX);
  Click(D::IDC_STM_RADIO_LIGHT);
  const std::vector<std::string> panel = Panel();
  CStmModel reread;
  std::string error;
  ASSERT_TRUE(CStmModelFile::FromText(SaveModelBytes(m_model, "view-control-panel"), "panel", reread, &error)) << error;
  m_manager.SetStmModel(&reread);
  m_dlg->Show();
  EXPECT_EQ(Panel(), panel);
  EXPECT_EQ(reread.GetNodes().begin()->second->GetName(), "N1");
  EXPECT_EQ(reread.GetCurrentStepEso(), 0);
  // Without steps there is nothing to choose.
  reread.SetEsoSteps({});
  m_dlg->Show();
  EXPECT_FALSE(m_dlg->GetControl(D::IDC_STM_SLIDER_ESO_STEP)->m_bVisible);

  Click(IDOK);
  EXPECT_FALSE(m_dlg->IsWindowVisible());
  m_manager.SetStmModel(&m_model);
}

TEST_F(CStmDlgViewControlTest, NamesChosenAfterEditsStayThroughTheirUndoAndRedo) {
  m_model.SetLock(0);
  ASSERT_TRUE(m_manager.AddElement(CVector(-700, 0, 100), CVector(-700, 0, 900), 1, 1, 1, nullptr));
  const int idNode = m_model.GetNodes().rbegin()->first;
  const int idElement = m_model.GetElements().rbegin()->first;
  m_manager.SelectElement({idElement});
  m_manager.DeleteSelectedEntity();
  ASSERT_FALSE(m_model.GetElement(idElement)->IsEnable());
  Choose(D::IDC_STM_COMBO_NAMING_NODE, STM_NAMING_PREFIX);
  Choose(D::IDC_STM_COMBO_NAMING_ELEM, STM_NAMING_PREFIX);
  const CString node = "N" + std::to_string(idNode), element = "E" + std::to_string(idElement);
  // Undoing the deletion brings back records that stayed; redoing the drawing makes them again.
  ASSERT_EQ(m_manager.Undo(), 1);
  ASSERT_EQ(m_manager.Undo(), 1);
  ASSERT_EQ(m_model.GetElement(idElement), nullptr);
  ASSERT_EQ(m_manager.Redo(), 1);
  for (int step = 0; step < 2; ++step) {
    EXPECT_EQ(m_model.GetNode(idNode)->GetName(), node) << step;
    EXPECT_EQ(m_model.GetElement(idElement)->GetName(), element) << step;
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
    ASSERT_EQ(m_manager.Redo(), 1);
    ASSERT_EQ(m_manager.Undo(), 1);
  }
}


}  // namespace
