// Reference-image comparison for render tests.
#include "support/RenderCheck.h"

#include <GL/gl.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

SRgbaImage SRgbaImage::FromPng(const std::string& path) {
  SRgbaImage image;
  int channels = 0;
  stbi_uc* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 4);
  if (!data) return SRgbaImage();
  image.rgba.assign(data, data + static_cast<size_t>(image.width) * image.height * 4);
  stbi_image_free(data);
  return image;
}

SRgbaImage SRgbaImage::FromGl(int width, int height) {
  SRgbaImage image;
  image.width = width;
  image.height = height;
  image.rgba.resize(static_cast<size_t>(width) * height * 4);
  std::vector<std::uint8_t> bottomUp(image.rgba.size());
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  const size_t row = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y)
    std::copy_n(bottomUp.data() + (height - 1 - y) * row, row, image.rgba.data() + y * row);
  return image;
}

int SRgbaImage::Count(const std::function<bool(const std::uint8_t*)>& test, int x0, int y0, int x1, int y1) const {
  int count = 0;
  for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, width); ++x) count += test(At(x, y));
  return count;
}

int SRgbaImage::Differing(const SRgbaImage& other, int x0, int y0, int x1, int y1) const {
  if (other.rgba.size() != rgba.size()) return width * height;
  return Count([&](const std::uint8_t* p) { return !std::equal(p, p + 3, other.rgba.data() + (p - rgba.data())); },
               x0, y0, x1, y1);
}

std::string RenderOutputDir() {
  const char* dir = std::getenv("STM_RENDER_OUT");
  std::string out = dir && *dir ? dir : STM_RENDER_OUT_DIR;
  mkdir(out.c_str(), 0755);
  return out;
}

std::string RenderReferenceDir() { return STM_SOURCE_DIR "/tests/reference"; }

::testing::AssertionResult CheckRender(const std::string& name, const SRgbaImage& image, int tolerance,
                                       int maxBadPixels) {
  const std::string outPath = RenderOutputDir() + "/" + name + ".out.png";
  const std::string diffPath = RenderOutputDir() + "/" + name + ".diff.png";
  const std::string refPath = RenderReferenceDir() + "/" + name + ".png";
  auto writeOut = [&] {
    stbi_write_png(outPath.c_str(), image.width, image.height, 4, image.rgba.data(), image.width * 4);
  };

  const SRgbaImage ref = SRgbaImage::FromPng(refPath);
  if (ref.rgba.empty()) {
    writeOut();
    return ::testing::AssertionFailure() << "no reference " << refPath << "; wrote " << outPath
                                         << " (look at it, then scripts/promote-renders.sh)";
  }
  if (ref.width != image.width || ref.height != image.height) {
    writeOut();
    return ::testing::AssertionFailure() << "size " << image.width << "x" << image.height << " differs from reference "
                                         << ref.width << "x" << ref.height << "; wrote " << outPath;
  }

  // The diff shows the reference greyed out, with every differing pixel in red.
  std::vector<std::uint8_t> diff(image.rgba.size());
  int bad = 0;
  for (size_t i = 0; i < image.rgba.size(); i += 4) {
    bool differs = false;
    for (int c = 0; c < 4; ++c) differs |= std::abs(int(image.rgba[i + c]) - int(ref.rgba[i + c])) > tolerance;
    const std::uint8_t grey = static_cast<std::uint8_t>((ref.rgba[i] + ref.rgba[i + 1] + ref.rgba[i + 2]) / 12);
    diff[i] = differs ? 255 : grey;
    diff[i + 1] = differs ? 0 : grey;
    diff[i + 2] = differs ? 0 : grey;
    diff[i + 3] = 255;
    bad += differs;
  }
  if (bad <= maxBadPixels) return ::testing::AssertionSuccess();
  writeOut();
  stbi_write_png(diffPath.c_str(), image.width, image.height, 4, diff.data(), image.width * 4);
  return ::testing::AssertionFailure() << bad << " pixels differ from " << refPath << " by more than " << tolerance
                                       << "; wrote " << outPath << " and " << diffPath;
}
