// The settings that choose a template's layout, shared by the template actions and their hosts.
#pragma once

// Which web diagonals a truss gets in each panel; any other value draws none.
enum EStmTypeTrussDirection {
  STM_TRUSS_DIAGONAL_TO_P0 = 0,  // one per panel, rising towards the first point
  STM_TRUSS_DIAGONAL_TO_P1 = 1,  // one per panel, rising towards the second point
  STM_TRUSS_DIAGONAL_BOTH = 2
};

// How the third point of a truss is read.
enum EStmTypeTrussPoint {
  STM_TRUSS_POINT_HEIGHT = 0,  // only its height counts: the top chord is as long as the bottom one
  STM_TRUSS_POINT_CORNER = 1   // a corner of the top chord
};

// The ties of a combined mechanism; any other value makes nothing.
enum EStmTypeCombinedMechanism {
  STM_COMBINED_TIE_HORIZONTAL = 0,
  STM_COMBINED_TIE_VERTICAL_ONE = 1,
  STM_COMBINED_TIE_VERTICAL_TWO = 2
};
