// Stateless drawing helpers shared by every entity and drawing pass: lines, arrow heads, text in
// model space and on screen, polygon fill through the GLU tessellator, and the contour colour ramps.
#pragma once

#include <vector>

#include "geometry/CVector.h"
#include "geometry/CVectorArray.h"
#include "host/platform/CString.h"

class CUbRenderAPI {
public:
  // Horizontal anchor of vector text: where the anchor point sits along the baseline.
  enum { TEXT_ALIGN_LEFT = 0, TEXT_ALIGN_CENTER = 1, TEXT_ALIGN_RIGHT = 2 };
  // Vertical anchor of vector text: the top of the capitals, the baseline, or half way between.
  enum { TEXT_VALIGN_TOP = 0, TEXT_VALIGN_BASELINE = 1, TEXT_VALIGN_MIDDLE = 2 };
  // Which side of the line DrawTextDirectionMid puts its text, as the text reads.
  enum { TEXT_SIDE_ABOVE = 0, TEXT_SIDE_BELOW = 1 };

  // Capital height of the stroke font in its own units; text heights are capital heights.
  static constexpr double kFontCapHeight = 7.0;
  // An arrow head of size 1 is kArrowLength long and 2 * kArrowHalfWidth wide at its base; the
  // load arrows' size of 1.2 px thus gives a 21.6 px head, the distance they keep their text off.
  static constexpr double kArrowLength = 18.0;
  static constexpr double kArrowHalfWidth = 6.0;

  // Which labels win a place first when they would overlap.
  enum { LABEL_NODE = 0, LABEL_LOAD = 1, LABEL_ELEMENT = 2, LABEL_OTHER = 3 };

  CUbRenderAPI() = delete;

  // The labels of one frame. While a batch is open, vector text is collected instead of drawn;
  // EndLabels then draws, nodes first, then loads, then elements, then the rest (in the order
  // they came within one priority), each label that lies wholly inside the viewport and keeps
  // clear of every label already drawn, and returns how many it drew. The camera is read once,
  // when the batch opens. Text is never drawn in a selection pass.
  static void BeginLabels();
  static void SetLabelPriority(int priority);
  // The text calls between these are places, in order of preference, for one label: at most
  // one of them is drawn. Without an open batch they all draw.
  static void BeginLabelAlternatives();
  static void EndLabelAlternatives();
  static int EndLabels();
  // A number as the number labels write it: nDecimals decimals (0 to 15), never a negative zero,
  // then a space and the unit when there is one.
  static CString FormatNumber(double dValue, int nDecimals, const CString& strUnit = CString());
  // How many number texts the last batch made.
  static int GetCountLabelTextsMade();
  // The corners, four a quad, of the text the last batch drew; what a bare pass over the same
  // picture draws to be compared with.
  static void GetLastLabelQuads(std::vector<CVector>& out);

  // One GL_LINES segment in the current colour and line width.
  static void DrawLine(const CVector& v1, const CVector& v2);

  // A filled arrow head with its point at vTip, opening towards vDir (the shaft runs from the tip
  // along vDir). It is kArrowLength * dSize long, so a size in pixels times the view scale keeps
  // its screen size at any zoom. The head lies in the screen plane; a zero vDir draws nothing.
  static void DrawArrowHead(const CVector& vTip, const CVector& vDir, double dSize);

  // Vector text in model space. The baseline runs along vDirText from vPos (after alignment);
  // the capitals rise along vDirUp made perpendicular to the baseline, or, when vDirUp is
  // parallel to it, along the screen's up direction turned to match the baseline, so a label
  // given one direction always faces the viewer. dHeight is the capital height in model units;
  // dWidthFactor stretches the characters along the baseline; dRotateDeg turns the text
  // about its anchor from its baseline towards its up direction; bUpright turns text that would read
  // right-to-left or downwards half round. With bSetColor the text is drawn in vColor, else in
  // the current colour; the current colour is the same afterwards either way.
  static void OutVectorText(const CVector& vPos, const CVector& vDirText, const CVector& vDirUp,
                            const CString& strText, double dHeight, double dWidthFactor = 1.0,
                            int nAlignH = TEXT_ALIGN_LEFT, int nAlignV = TEXT_VALIGN_BASELINE,
                            double dRotateDeg = 0.0, int bUpright = 0,
                            const CVector& vColor = CVector(1, 1, 1), int bSetColor = 0);

  // A label centred on the middle of the segment vBegin-vEnd and written along it, always
  // readable (left to right, or upwards for a vertical segment). It sits on nSide of the line,
  // nGapPixel pixels plus a fixed 0.3 of the text height away from it; dViewScale (model units
  // per pixel) converts the gap. dHeight is the capital height in model units. Drawn in vColor;
  // the current colour is kept.
  static void DrawTextDirectionMid(const CVector& vBegin, const CVector& vEnd, int nGapPixel, int nSide,
                                   const CString& strText, const CVector& vColor, double dViewScale,
                                   double dHeight);
  // The same for a number printed with nDecimals decimals and, when strUnit is not empty, a
  // space and the unit; a value that rounds to zero is written without a minus sign. Inside a
  // batch the text is made only when the label comes to be placed and the shortest text it could
  // have would fit, so that a frame of many values formats about as many as it places.
  static void DrawTextDirectionMid(const CVector& vBegin, const CVector& vEnd, double dValue, int nDecimals,
                                   int nSide, const CVector& vColor, double dViewScale, double dHeight,
                                   const CString& strUnit = CString());

  // Screen text at the current raster position (glRasterPos*), as a bitmap in the raster colour:
  // the raster position is the left end of the baseline, each font unit is nScale pixels, and the
  // raster position moves on past the text. Nothing is drawn when the raster position is invalid.
  static void FontPutsW(const CString& strText, int nScale = 1);
  // The bars of a text as FontPutsW draws them, x0, y0, x1, y1 each, in pixels from the top left
  // of its first line, y down: a vector drawing of a bitmap text that feedback gave only the
  // position of.
  static std::vector<float> FontBars(const CString& strText);

  // The polygon tessellator behind Entity_Tess. One is kept until DeleteTessObj; creating again
  // while one exists keeps it. False when GLU cannot make one.
  static bool CreateTessObj();
  static void DeleteTessObj();
  // Fills the closed outline (vertices in the order given, concave allowed, odd winding) in the
  // current colour. dDepthOffset moves the fill that far away from the viewer (model units), so a
  // fill can sit behind outlines drawn in its own plane; 0 fills in place. False, drawing
  // nothing, without a tessellator or with fewer than three vertices.
  static bool Entity_Tess(const CVectorArray& arrOutline, double dDepthOffset);

  // Colour of level nIndex of nIndexMax on ramp nType (t = nIndex / nIndexMax, clamped to 0..1),
  // as 8-bit channels. Types 8 and above, and negative ones, give white.
  static void GetContourColor(int nType, int& nRed, int& nGreen, int& nBlue, int nIndex, int nIndexMax);
  // Level 0..nLevels-1 of dValue in the range dMin..dMax, divided into nLevels equal bands; values
  // outside the range take the end levels, and a zero range gives the middle level nLevels / 2.
  static int GiveIndexFromValue_Lin(double dMin, double dMax, int nLevels, double dValue);
};
