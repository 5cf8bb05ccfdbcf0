// A fresh model, scene manager and off-screen render window per test, looking at the x-z plane.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "host/framework/CUbRenderWnd.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "host/platform/CScriptedUiHost.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

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

  // Draws the scene pass alone on a black background.
  void DrawScene() {
    m_wnd.OpenGLRenderStart();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    m_wnd.RenderNoDepth(0);
    glFinish();
    m_wnd.OpenGLRenderEnd();
  }

  std::array<unsigned char, 4> Pixel(const CPoint& pt) {
    std::array<unsigned char, 4> rgba{};
    m_wnd.OpenGLRenderStart();
    glReadPixels(pt.x, kHeight - 1 - pt.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    m_wnd.OpenGLRenderEnd();
    return rgba;
  }

  CScriptedUiHost m_host;
  CStmModel m_model;
  CStmUbManager m_manager;
  CStmUbRenderer m_wnd;
};
