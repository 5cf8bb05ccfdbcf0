// What a model may hold, in one place: the loader refuses anything beyond these, and every place
// where a value enters the model (dialogs, the Properties panel, tools that compute points) checks
// the same numbers first, so that whatever the program writes it can read back.
#pragma once

#include <cmath>
#include <cstddef>

namespace StmLimits {

// Far beyond any real model, yet small enough that a hostile file cannot exhaust the memory,
// the stack or the patience of whoever opens it.
constexpr long long kMaxFileBytes = 256LL << 20;
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxNameBytes = 4096;
constexpr std::size_t kMaxTextBytes = 1 << 20;
constexpr std::size_t kMaxCount = 4000000;
// Leaves room for the next new id, which is one past the highest.
constexpr long long kMaxId = 1000000000;
// Coordinates stay where a view can still fit them (their spans stay finite); other values
// (loads, stiffnesses, sizes) within what sums of them keep finite.
constexpr double kMaxCoord = 1e9;
constexpr double kMaxValue = 1e15;

// A material value or thickness: 0 means not given; Poisson's ratio stays below one half, where
// the concrete would not change volume.
constexpr double kMaxPoisson = 0.5;
inline bool IsMaterialInLimit(double v) { return std::isfinite(v) && v >= 0.0 && v <= kMaxValue; }
inline bool IsPoissonInLimit(double v) { return std::isfinite(v) && v >= 0.0 && v < kMaxPoisson; }

// The load path's settings: sizes (0: chosen from the outline) within the coordinates' reach;
// the rejection ratio below one (at one every cell would go at once); the evolution rate above 0
// (a ratio that never rises never ends the removal) and at most one; the target fraction of the
// area above 0 (something must carry the load) and at most the whole.
inline bool IsLoadPathSizeInLimit(double v) { return std::isfinite(v) && v >= 0.0 && v <= kMaxCoord; }
inline bool IsRejectionRatioInLimit(double v) { return std::isfinite(v) && v >= 0.0 && v < 1.0; }
inline bool IsEvolutionRateInLimit(double v) { return std::isfinite(v) && v > 0.0 && v <= 1.0; }
inline bool IsTargetFractionInLimit(double v) { return std::isfinite(v) && v > 0.0 && v <= 1.0; }

// A grid whose points lie on top of one another, or farther apart than any model reaches, is no grid.
inline bool IsGridSpacingInLimit(double v) { return std::isfinite(v) && v > 0.0 && v <= kMaxCoord; }

inline bool IsCoordInLimit(double v) { return std::isfinite(v) && std::fabs(v) <= kMaxCoord; }
inline bool IsValueInLimit(double v) { return std::isfinite(v) && std::fabs(v) <= kMaxValue; }

}  // namespace StmLimits
