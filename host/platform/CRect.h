// Window-space points, sizes and rectangles (y grows downwards, right and bottom exclusive).
#pragma once

#include <algorithm>

class CPoint {
public:
  int x = 0, y = 0;
  constexpr CPoint() = default;
  constexpr CPoint(int ax, int ay) : x(ax), y(ay) {}
  CPoint operator+(const CPoint& b) const { return {x + b.x, y + b.y}; }
  CPoint operator-(const CPoint& b) const { return {x - b.x, y - b.y}; }
  CPoint& operator+=(const CPoint& b) { x += b.x; y += b.y; return *this; }
  bool operator==(const CPoint& b) const { return x == b.x && y == b.y; }
  bool operator!=(const CPoint& b) const { return !(*this == b); }
};

class CSize {
public:
  int cx = 0, cy = 0;
  constexpr CSize() = default;
  constexpr CSize(int w, int h) : cx(w), cy(h) {}
  bool operator==(const CSize& b) const { return cx == b.cx && cy == b.cy; }
  bool operator!=(const CSize& b) const { return !(*this == b); }
};

class CRect {
public:
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr CRect() = default;
  constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  CRect(const CPoint& topLeft, const CPoint& bottomRight)
      : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y) {}
  CRect(const CPoint& topLeft, const CSize& size)
      : left(topLeft.x), top(topLeft.y), right(topLeft.x + size.cx), bottom(topLeft.y + size.cy) {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return {Width(), Height()}; }
  CPoint TopLeft() const { return {left, top}; }
  CPoint BottomRight() const { return {right, bottom}; }
  CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  // Left and top edges inside, right and bottom edges outside, as on Windows.
  bool PtInRect(const CPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
  void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
  void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
  bool operator==(const CRect& b) const {
    return left == b.left && top == b.top && right == b.right && bottom == b.bottom;
  }
  bool operator!=(const CRect& b) const { return !(*this == b); }
};
