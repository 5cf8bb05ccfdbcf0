// A plane point; also the carrier of an angle as (cosine, sine) in every rotation call.
#pragma once

#include <cmath>

class CDPoint {
public:
  double x = 0.0, y = 0.0;

  constexpr CDPoint() = default;
  constexpr CDPoint(double ax, double ay) : x(ax), y(ay) {}

  CDPoint operator+(const CDPoint& b) const { return {x + b.x, y + b.y}; }
  CDPoint operator-(const CDPoint& b) const { return {x - b.x, y - b.y}; }
  CDPoint operator-() const { return {-x, -y}; }
  CDPoint operator*(double s) const { return {x * s, y * s}; }
  CDPoint& operator+=(const CDPoint& b) { x += b.x; y += b.y; return *this; }
  CDPoint& operator-=(const CDPoint& b) { x -= b.x; y -= b.y; return *this; }

  bool operator==(const CDPoint& b) const { return x == b.x && y == b.y; }
  bool operator!=(const CDPoint& b) const { return !(*this == b); }

  double Length() const { return std::sqrt(x * x + y * y); }
  CDPoint Unit() const {
    const double len = Length();
    return len == 0.0 ? *this : CDPoint(x / len, y / len);
  }
  double Dot(const CDPoint& b) const { return x * b.x + y * b.y; }
  // The 2-D cross product: the z of the 3-D cross product of the two vectors.
  double Cross(const CDPoint& b) const { return x * b.y - y * b.x; }
  bool IsZero() const { return x == 0.0 && y == 0.0; }
  CDPoint Conjugate() const { return {x, -y}; }
  CDPoint RightNormal() const { return {y, -x}; }
};

inline CDPoint operator*(double s, const CDPoint& p) { return p * s; }
