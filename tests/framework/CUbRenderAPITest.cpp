// The drawing helpers put their pixels where the callers expect them, in the views the layer
// uses. (That they leave the GL state as the passes set it: the entity and label tests.)
#include "host/framework/CUbRenderAPI.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <climits>
#include <tuple>
#include <vector>

#include "support/GlTestContext.h"

namespace {

constexpr int kW = 96, kH = 96;

// Lit pixels in window coordinates (y upwards, like the model in these tests).
struct SBox {
  int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1, count = 0;
  bool Empty() const { return count == 0; }
  int Width() const { return x1 - x0 + 1; }
  int Height() const { return y1 - y0 + 1; }
};

// View 2 looks at the y-z plane (screen right +y, up +z).
const GLdouble kView2[16] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
const GLdouble kUnturned[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class RenderApiTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_gl.Ok()) << m_gl.Error();
    glViewport(0, 0, kW, kH);
    Clear();
    Camera(0, 0, kUnturned);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3d(1, 1, 1);
  }
  void TearDown() override { CUbRenderAPI::DeleteTessObj(); }

  static void Clear() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  // A camera whose rotation is `view`, one model unit per pixel, with model (x0, y0) at the
  // window's lower left.
  static void Camera(int x0, int y0, const GLdouble* view) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(x0, x0 + kW, y0, y0 + kH, -50, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(view);
  }
  static std::vector<unsigned char> Read() {
    std::vector<unsigned char> rgba(kW * kH * 4);
    glFinish();
    glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }
  static SBox LitBox() {
    const auto rgba = Read();
    SBox box;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const unsigned char* p = &rgba[(y * kW + x) * 4];
        if (p[0] + p[1] + p[2] == 0) continue;
        box.x0 = std::min(box.x0, x);
        box.y0 = std::min(box.y0, y);
        box.x1 = std::max(box.x1, x);
        box.y1 = std::max(box.y1, y);
        ++box.count;
      }
    return box;
  }
  static std::array<unsigned char, 4> At(int x, int y) {
    std::array<unsigned char, 4> rgba{};
    glFinish();
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }
  static bool Lit(int x, int y) {
    const auto p = At(x, y);
    return p[0] + p[1] + p[2] > 0;
  }
  // Each point (x, y) lit or dark as given.
  static void ExpectLit(std::initializer_list<std::tuple<int, int, bool>> points) {
    for (const auto& [x, y, lit] : points) EXPECT_EQ(Lit(x, y), lit) << x << ", " << y;
  }

  GlTestContext m_gl{kW, kH};
};

CVectorArray Outline(std::initializer_list<CVector> points) {
  CVectorArray arr;
  for (const CVector& p : points) arr.Add(p);
  return arr;
}

TEST_F(RenderApiTest, ValuesNeverShowMinusZeroAndNodeLabelsReadLeftToRightInTheSideViews) {
  CUbRenderAPI::DrawTextDirectionMid(CVector(0, 40, 0), CVector(96, 40, 0), 0, 0, "0.00", CVector(1, 1, 1), 1.0, 7.0);
  const auto zero = Read();
  Clear();
  CUbRenderAPI::DrawTextDirectionMid(CVector(0, 40, 0), CVector(96, 40, 0), -0.0004, 2, 0, CVector(1, 1, 1), 1.0, 7.0);
  EXPECT_EQ(Read(), zero);

  // As the node labels call it in the y-z view: one direction for both, anchor at the lower left.
  Clear();
  Camera(-kW / 2, -kH / 2, kView2);  // model (0, 0, 0) at the window's centre
  CUbRenderAPI::OutVectorText(CVector(0, 5, 5), CVector(0, 1, 0), CVector(0, 1, 0), "N12", 7.0, 1.0, 0, 1, 0.0,
                              0, CVector(1, 0, 0), 1);
  const SBox box = LitBox();
  EXPECT_GT(box.Width(), box.Height());
  EXPECT_EQ(box.x0, kW / 2 + 5);
  EXPECT_EQ(box.y0, kH / 2 + 5);
  EXPECT_EQ(box.Height(), 7);
}

// A number label's text is made only when it may get a place, yet the batch places and draws
// exactly what it would with every text made first: both sides of the line, long and short
// values, no unit, and labels crowded so that most give way.
TEST_F(RenderApiTest, NumberLabelsOfABatchAreMadeOnlyWhenTheyMayFitAndPlaceAsTheirTexts) {
  struct SValue {
    CVector a, b;
    double value;
    int decimals, side;
    const char* unit;
  };
  std::vector<SValue> values;
  for (int i = 0; i < 400; ++i) {
    const double x = (i * 37) % 90, y = (i * 53) % 90;
    const double value = (i % 7 == 0) ? 9.9996 : (i % 5 == 0 ? -0.0001 : (i - 200) * 13.7);
    values.push_back({CVector(x, y, 0), CVector(x + 6 + i % 11, y + (i % 3) * 4.0, 0), value, i % 4, i % 2,
                      i % 3 == 0 ? "" : "kN"});
  }
  auto batch = [&](bool asNumbers, std::vector<CVector>& quads) {
    Clear();
    CUbRenderAPI::BeginLabels();
    for (const SValue& v : values) {
      if (asNumbers) {
        CUbRenderAPI::DrawTextDirectionMid(v.a, v.b, v.value, v.decimals, v.side, CVector(1, 1, 1), 1.0, 5.0, v.unit);
      } else {
        CUbRenderAPI::DrawTextDirectionMid(v.a, v.b, 0, v.side, CUbRenderAPI::FormatNumber(v.value, v.decimals, v.unit),
                                           CVector(1, 1, 1), 1.0, 5.0);
      }
    }
    const int drawn = CUbRenderAPI::EndLabels();
    CUbRenderAPI::GetLastLabelQuads(quads);
    return drawn;
  };
  std::vector<CVector> made, given;
  const int drawn = batch(true, made);
  const auto picture = Read();
  const int texts = CUbRenderAPI::GetCountLabelTextsMade();
  EXPECT_EQ(batch(false, given), drawn);
  EXPECT_TRUE(Read() == picture);
  EXPECT_TRUE(made == given) << made.size() << " corners against " << given.size();
  EXPECT_GE(drawn, 5);
  EXPECT_GE(texts, drawn);
  EXPECT_LT(texts, static_cast<int>(values.size()) / 4) << "most texts are never made";
}

TEST_F(RenderApiTest, BitmapTextHangsDescendersShowsUnknownCharactersAndCutsLongTextShort) {
  // At a scale of 2 every pixel doubles: "g" reaches 2 x 2 rows below the baseline.
  glRasterPos2d(10, 20);
  CUbRenderAPI::FontPutsW("g", 2);
  const SBox box = LitBox();
  EXPECT_EQ(box.y0, 20 - 4);
  EXPECT_EQ(box.y1, 20 + 9);

  Clear();
  GLdouble raster[4];
  glRasterPos2d(10, 20);
  CUbRenderAPI::FontPutsW("\xC3\x9C\t\x01");
  EXPECT_EQ(LitBox().x0, 10);
  glGetDoublev(GL_CURRENT_RASTER_POSITION, raster);
  EXPECT_EQ(raster[0], 10 + 7 + 6 + 7);  // '?', space, '?'

  // Long text is laid out in pieces: across the pieces the font is given, glyphs follow on
  // without a gap; the longest line counts.
  glRasterPos2d(0, 20);
  CUbRenderAPI::FontPutsW(CString(std::string(150, 'H') + "\nHH"));
  glGetDoublev(GL_CURRENT_RASTER_POSITION, raster);
  EXPECT_EQ(raster[0], 150 * 6);

  // A name of ten million characters costs what its first thousand do.
  glRasterPos2d(0, 20);
  CUbRenderAPI::FontPutsW(CString(std::string(10000000, 'H')));
  glGetDoublev(GL_CURRENT_RASTER_POSITION, raster);
  EXPECT_GT(raster[0], 1000 * 6);
  EXPECT_LT(raster[0], 1000 * 6 + 30);
}

TEST_F(RenderApiTest, ConcaveAndSelfCrossingOutlinesFillTheirInsides) {
  // A U: arms at x 10..30 and 60..80, joined by the bottom y 10..30, the notch open at the top.
  const CVectorArray u = Outline({{10, 10, 0}, {80, 10, 0}, {80, 80, 0}, {60, 80, 0}, {60, 30, 0}, {30, 30, 0},
                                  {30, 80, 0}, {10, 80, 0}});
  EXPECT_FALSE(CUbRenderAPI::Entity_Tess(u, 0.0));  // no tessellator yet
  ASSERT_TRUE(CUbRenderAPI::CreateTessObj());
  ASSERT_TRUE(CUbRenderAPI::CreateTessObj());  // keeps the one it has
  EXPECT_TRUE(CUbRenderAPI::Entity_Tess(u, 0.0));
  // Both arms and the bottom; the notch, above it and outside.
  ExpectLit({{20, 70, true}, {70, 70, true}, {45, 20, true}, {45, 50, false}, {45, 85, false}, {5, 5, false}});
  const SBox box = LitBox();
  EXPECT_EQ(box.x0, 10);
  EXPECT_EQ(box.x1, 79);

  // A bow tie: the tessellator has to make the crossing vertex itself, and fills both lobes.
  Clear();
  CUbRenderAPI::Entity_Tess(Outline({{10, 10, 0}, {80, 80, 0}, {80, 10, 0}, {10, 80, 0}}), 0.0);
  ExpectLit({{20, 45, true}, {70, 45, true}, {45, 20, false}, {45, 70, false}});

  Clear();
  EXPECT_FALSE(CUbRenderAPI::Entity_Tess(Outline({{0, 0, 0}, {10, 0, 0}}), 0.0));
  CUbRenderAPI::DeleteTessObj();
  EXPECT_FALSE(CUbRenderAPI::Entity_Tess(u, 0.0));
  EXPECT_TRUE(LitBox().Empty());
}

TEST(ContourColor, RampEndsMiddlesAndClampingAndLinearLevelsAtTheirBoundaries) {
  struct SCase {
    int type, index, max, r, g, b;
  };
  // The ends and the middle of a ramp, levels beyond either end, an unknown ramp and no levels.
  const SCase cases[] = {
      {0, 0, 4, 0, 0, 255},  {0, 2, 4, 0, 255, 0},     {0, 4, 4, 255, 0, 0}, {0, 1, 9, 0, 113, 255},
      {1, 0, 4, 255, 0, 0},  {4, 1, 2, 127, 127, 127}, {0, -3, 9, 0, 0, 255}, {0, 12, 9, 255, 0, 0},
      {-1, 3, 9, 255, 255, 255}, {6, 0, 0, 255, 0, 0},
  };
  for (const SCase& c : cases) {
    int r = -1, g = -1, b = -1;
    CUbRenderAPI::GetContourColor(c.type, r, g, b, c.index, c.max);
    EXPECT_EQ(std::make_tuple(r, g, b), std::make_tuple(c.r, c.g, c.b))
        << "type " << c.type << " level " << c.index << "/" << c.max;
  }
  // The level of a value on a linear scale, at the boundaries of the levels.
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 10, 0), 0);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 10, 0.999), 0);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 10, 3), 3);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 10, 9), 9);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 10, 10), 9);  // the maximum is in the top band
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 10, -4), 0);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 10, 25), 9);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(-2, 2, 4, 0), 2);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(10, 0, 10, 10), 0);  // a reversed range counts down
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(10, 0, 10, 0), 9);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(5, 5, 10, 5), 5);  // no range: the middle
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 0, 5), 0);
  EXPECT_EQ(CUbRenderAPI::GiveIndexFromValue_Lin(0, 10, 10, std::nan("")), 0);
}

}  // namespace
