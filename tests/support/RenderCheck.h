// Compares a rendered image with its reference PNG under tests/reference/. On a mismatch (or
// when there is no reference yet) it writes <name>.out.png and a red <name>.diff.png next to
// the build, so that a human can look and promote the output with scripts/promote-renders.sh.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SRgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // rows from the top

  // What the current GL read buffer holds, flipped so that row 0 is the top.
  static SRgbaImage FromGl(int width, int height);
  // A PNG file as RGBA; empty (0 x 0) when it cannot be read.
  static SRgbaImage FromPng(const std::string& path);

  const std::uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  // Anything but black.
  static bool Lit(const std::uint8_t* p) { return (p[0] | p[1] | p[2]) != 0; }
  bool operator==(const SRgbaImage& o) const { return width == o.width && height == o.height && rgba == o.rgba; }
  // Pixels for which the test holds, in columns x0..x1-1 and rows y0..y1-1 clipped to the picture.
  int Count(const std::function<bool(const std::uint8_t*)>& test, int x0 = 0, int y0 = 0, int x1 = INT_MAX,
            int y1 = INT_MAX) const;
  // Pixels of the box whose colour differs from the other picture's (of the same size).
  int Differing(const SRgbaImage& other, int x0 = 0, int y0 = 0, int x1 = INT_MAX, int y1 = INT_MAX) const;
};

// A channel may differ by `tolerance`, and up to `maxBadPixels` pixels may differ by more,
// so that rasteriser rounding between Mesa versions does not fail the suite.
::testing::AssertionResult CheckRender(const std::string& name, const SRgbaImage& image, int tolerance = 8,
                                       int maxBadPixels = 0);

// Where outputs and diffs are written (build tree), and where references live (source tree).
std::string RenderOutputDir();
std::string RenderReferenceDir();
