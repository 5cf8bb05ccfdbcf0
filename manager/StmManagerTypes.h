// The enumerations of the scene manager's display state that the renderer and the host share.
#pragma once

// The filter a new pick passes through in the render window.
enum EStmTypeSelection {
  STM_SELECTION_ALL = 0,
  STM_SELECTION_NODE = 1,
  STM_SELECTION_ELEMENT = 2,
  STM_SELECTION_STRUT = 3,
  STM_SELECTION_TIE = 4
};

// Which model is on screen; derived from the view-beginning switch, never set directly.
enum EStmViewMode { STM_VIEW_BEGINNING = 0, STM_VIEW_WORKING = 1 };

// How marks are drawn: 0 points, 2 squares; 1 and any other value draw nothing.
enum EStmTypeRenderMark { STM_MARK_POINT = 0, STM_MARK_NONE = 1, STM_MARK_SQUARE = 2 };
