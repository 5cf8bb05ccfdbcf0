// The display-list slots of the render window's cached analysis layers.
#pragma once

// 0 to 4 are never filled by this layer but are deleted like the others.
enum EStmDisplayList {
  STM_LIST_0 = 0,
  STM_LIST_1 = 1,
  STM_LIST_2 = 2,
  STM_LIST_3 = 3,
  STM_LIST_4 = 4,
  STM_LIST_ESO_CONTOUR = 5,
  STM_LIST_EFFECTIVE_WIDTH = 6,
  STM_LIST_NODAL_ZONE = 7,
  STM_LIST_ANALYSIS_RESULT = 8,
  STM_LIST_COUNT = 9
};
