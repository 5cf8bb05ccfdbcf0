// The point and direction type that the whole layer shares: three doubles with exact value
// arithmetic. Tolerance comparisons live in StmGeometry.h, never here.
#pragma once

#include <cmath>
#include <vector>

class CArchive;

class CVector {
public:
  double x = 0.0, y = 0.0, z = 0.0;

  constexpr CVector() = default;
  constexpr CVector(double ax, double ay, double az) : x(ax), y(ay), z(az) {}

  CVector operator+(const CVector& b) const { return {x + b.x, y + b.y, z + b.z}; }
  CVector operator-(const CVector& b) const { return {x - b.x, y - b.y, z - b.z}; }
  CVector operator-() const { return {-x, -y, -z}; }
  CVector operator*(double s) const { return {x * s, y * s, z * s}; }
  CVector operator/(double s) const { return {x / s, y / s, z / s}; }
  CVector& operator+=(const CVector& b) { x += b.x; y += b.y; z += b.z; return *this; }
  CVector& operator-=(const CVector& b) { x -= b.x; y -= b.y; z -= b.z; return *this; }
  CVector& operator*=(double s) { x *= s; y *= s; z *= s; return *this; }
  CVector& operator/=(double s) { x /= s; y /= s; z /= s; return *this; }

  // Exact comparison on purpose: callers that want a tolerance use CompareVectorTolerance.
  bool operator==(const CVector& b) const { return x == b.x && y == b.y && z == b.z; }
  bool operator!=(const CVector& b) const { return !(*this == b); }

  double Length() const { return std::sqrt(x * x + y * y + z * z); }
  // The unit of a zero vector is the zero vector, so callers never see NaN from it.
  CVector Unit() const {
    const double len = Length();
    return len == 0.0 ? *this : *this / len;
  }
  double Dot(const CVector& b) const { return x * b.x + y * b.y + z * b.z; }
  CVector Cross(const CVector& b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }
  bool IsZero() const { return x == 0.0 && y == 0.0 && z == 0.0; }
};

inline CVector operator*(double s, const CVector& v) { return v * s; }
inline double Dot(const CVector& a, const CVector& b) { return a.Dot(b); }
inline CVector Cross(const CVector& a, const CVector& b) { return a.Cross(b); }

// Archived as x, y, z doubles in that order.
CArchive& operator<<(CArchive& ar, const CVector& v);
CArchive& operator>>(CArchive& ar, CVector& v);
// A point list is its 32-bit count followed by the points; a negative count throws badIndex.
// Loading replaces the list only once every point has been read.
CArchive& operator<<(CArchive& ar, const std::vector<CVector>& points);
CArchive& operator>>(CArchive& ar, std::vector<CVector>& points);
