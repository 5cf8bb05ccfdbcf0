// A fresh model, scene manager and off-screen render window per test, looking at the x-z plane.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "host/framework/CUbRenderWnd.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "host/platform/CScriptedUiHost.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"
#include "support/StmGestureDriver.h"
#include "support/StmSavedModel.h"

class StmSceneFixture : public testing::Test {
protected:
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 160;

  void SetUp() override {
    std::string error;
    auto surface = CreateOffscreenSurface(kWidth, kHeight, &error);
    ASSERT_TRUE(surface) << error;
    ASSERT_EQ(m_wnd.Create(&m_manager, std::move(surface)), 0);
    m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    m_manager.SetStmModel(&m_model);
    m_manager.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
  }

  // Fits the window to every entity of the scene.
  void FitView() {
    CCubeRange* range = m_manager.GetViewRange(-1);
    range->Clear();
    for (const auto& entry : m_manager.GetEttMap()) entry.second->GetRange(*range);
    m_wnd.ZoomAll(0);
  }

  // Draws one pass (the scene pass when none is given) on a black background with lighting and
  // the depth test on; `after` runs while the frame is still current.
  void DrawScene(const std::function<void()>& pass = nullptr, const std::function<void()>& after = nullptr) {
    m_wnd.OpenGLRenderStart();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    if (pass) pass();
    else m_wnd.RenderNoDepth(0);
    glFinish();
    if (after) after();
    m_wnd.OpenGLRenderEnd();
  }

  std::array<unsigned char, 4> Pixel(const CPoint& pt) {
    std::array<unsigned char, 4> rgba{};
    m_wnd.OpenGLRenderStart();
    glReadPixels(pt.x, kHeight - 1 - pt.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    m_wnd.OpenGLRenderEnd();
    return rgba;
  }

  // The colour at a window point, to within `tolerance` of each 0-255 channel.
  void ExpectColour(const CPoint& pt, const CVector& rgb, double tolerance = 2.0) {
    const auto px = Pixel(pt);
    EXPECT_NEAR(px[0], rgb.x * 255.0, tolerance) << "at " << pt.x << "," << pt.y;
    EXPECT_NEAR(px[1], rgb.y * 255.0, tolerance) << "at " << pt.x << "," << pt.y;
    EXPECT_NEAR(px[2], rgb.z * 255.0, tolerance) << "at " << pt.x << "," << pt.y;
  }

  CPoint At(const CVector& p) const { return m_wnd.ExtToClient(p); }
  static CVector At(double x, double z) { return CVector(x, 0.0, z); }
  // A click at the model point, the pointer moved there first as a hand does.
  void Click(const CVector& p, UINT flags = 0) {
    CPoint pt = At(p);
    m_wnd.OnMouseMove(flags, pt);
    m_wnd.OnLButtonDown(MK_LBUTTON | flags, pt);
    m_wnd.OnLButtonUp(flags, pt);
  }

  // After an edit made through a tool: the scene matches the model after it, after its undo
  // (the file `before` again) and after its redo (the file as the edit left it).
  void ExpectUndoRedoExact(const std::string& before, const std::string& name) {
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
    const std::string after = SaveModelBytes(m_model, name + "-after");
    ASSERT_EQ(m_manager.Undo(), 1);
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
    EXPECT_EQ(FirstDifference(before, SaveModelBytes(m_model, name + "-undone")), "");
    ASSERT_EQ(m_manager.Redo(), 1);
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
    EXPECT_EQ(FirstDifference(after, SaveModelBytes(m_model, name + "-redone")), "");
  }

  CScriptedUiHost m_host;
  CStmModel m_model;
  CStmUbManager m_manager;
  CStmUbRenderer m_wnd;
};

// The scene with the selection command current, as in the application.
class StmSelectingFixture : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    m_wnd.SetAction(48, -1, 1);
  }
};

// Edits made as gestures, in the driver's view.
class StmGestureFixture : public StmSelectingFixture {
protected:
  void SetUp() override {
    StmSelectingFixture::SetUp();
    m_driver->ApplyView();
  }
  // A portal frame: nodes 1 (0,0), 2 (0,60), 3 (80,60), 4 (80,0); elements 1-2, 2-3, 3-4, a step each.
  void DrawFrame() {
    for (const auto& [a, b] : {std::pair{At(0, 0), At(0, 60)}, {At(0, 60), At(80, 60)}, {At(80, 60), At(80, 0)}})
      m_driver->Apply(SStmGesture::Of(SStmGesture::kDrawElement, a, b));
  }
  std::unique_ptr<CStmGestureDriver> m_driver = std::make_unique<CStmGestureDriver>(m_manager, m_wnd, m_model);
};
