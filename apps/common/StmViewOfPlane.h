// The view position that looks straight at a model's drawing plane.
#pragma once

#include "host/framework/CUbRenderWnd.h"
#include "host/model/StmModelTypes.h"

inline CUbRenderWnd::VIEW_POS StmViewOfPlane(int plane) {
  switch (plane) {
    case STM_PLANE_XY: return CUbRenderWnd::VIEW_POS_XY;
    case STM_PLANE_YZ: return CUbRenderWnd::VIEW_POS_YZ;
    default: return CUbRenderWnd::VIEW_POS_XZ;
  }
}
