// The binary archive: an exact round trip through a file, the little-endian layout other readers
// depend on, and the exceptions for misuse and truncated input. (Round trips in memory: the fuzz
// fixture test's value-reader seeds.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "geometry/CVector.h"
#include "host/platform/CArchive.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const kKorean = "이동할 수 없는 Node 입니다.";
const std::uint64_t kNanBits = 0x7FF800000000ABCDULL;  // a quiet NaN with a payload

// The same eight bytes as the other type.
template <class To, class From>
To BitCast(From from) {
  To to;
  std::memcpy(&to, &from, sizeof to);
  return to;
}

void StoreSample(CArchive& ar) {
  ar << std::int32_t{INT32_MIN} << std::int32_t{-1} << std::uint32_t{0xFFFFFFFFu};
  ar << BitCast<double>(kNanBits) << -0.0 << std::numeric_limits<double>::infinity() << 0.1;
  ar << CString(kKorean) << CString() << CVector(1.5, -2.25, 1e300);
}

void ExpectSample(CArchive& ar) {
  std::int32_t i1 = 0, i2 = 0;
  std::uint32_t u = 0;
  double nan = 0, negZero = 0, inf = 0, tenth = 0;
  CString korean("x"), empty("x");
  CVector v;
  ar >> i1 >> i2 >> u >> nan >> negZero >> inf >> tenth >> korean >> empty >> v;
  EXPECT_EQ(INT32_MIN, i1);
  EXPECT_EQ(-1, i2);
  EXPECT_EQ(0xFFFFFFFFu, u);
  EXPECT_EQ(kNanBits, BitCast<std::uint64_t>(nan));
  EXPECT_EQ(BitCast<std::uint64_t>(-0.0), BitCast<std::uint64_t>(negZero));
  EXPECT_EQ(std::numeric_limits<double>::infinity(), inf);
  EXPECT_EQ(0.1, tenth);
  EXPECT_EQ(korean, kKorean);
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(CVector(1.5, -2.25, 1e300), v);
  EXPECT_EQ(0u, ar.GetRemaining());
}

TEST(CArchive, RoundTripThroughAFileAndAMissingFileThrowsOnOpen) {
  const std::string path = ::testing::TempDir() + "stm_archive_round_trip.bin";
  {
    CArchive out(path, CArchive::store);
    StoreSample(out);
    out.Close();
  }
  CArchive in(path, CArchive::load);
  ExpectSample(in);
  std::remove(path.c_str());
  try {
    CArchive missing(::testing::TempDir() + "no_such_dir/none.bin", CArchive::load);
    FAIL() << "opened a missing file";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(CArchiveException::genericException, e.m_cause);
  }
}

TEST(CArchive, LayoutIsLittleEndian) {
  Bytes buffer;
  CArchive out(buffer, CArchive::store);
  out << std::int32_t{0x01020304} << 1.0 << CString("ab") << CVector(0.0, 2.0, 0.0);
  const Bytes expected = {
      0x04, 0x03, 0x02, 0x01,                          // int32
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // 1.0
      0x02, 0x00, 0x00, 0x00, 'a',  'b',               // length, bytes
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // x
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,  // y = 2.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // z
  };
  EXPECT_EQ(expected, buffer);
}

int CauseOf(void (*action)(CArchive&), Bytes buffer, CArchive::Mode mode) {
  CArchive ar(buffer, mode);
  try {
    action(ar);
  } catch (const CArchiveException& e) {
    return e.m_cause;
  }
  return CArchiveException::none;
}

TEST(CArchive, MisuseAndTruncationThrowWithTheirCause) {
  const auto readInt = [](CArchive& ar) { std::int32_t v; ar >> v; };
  const auto readDouble = [](CArchive& ar) { double v; ar >> v; };
  const auto readString = [](CArchive& ar) { CString s; ar >> s; };
  const auto write = [](CArchive& ar) { ar << std::int32_t{1}; };
  EXPECT_EQ(CArchiveException::writeOnly, CauseOf(readInt, {1, 0, 0, 0}, CArchive::store));
  EXPECT_EQ(CArchiveException::readOnly, CauseOf(write, {}, CArchive::load));
  EXPECT_EQ(CArchiveException::endOfFile, CauseOf(readInt, {1, 0, 0}, CArchive::load));
  EXPECT_EQ(CArchiveException::endOfFile, CauseOf(readDouble, {0, 0, 0, 0, 0}, CArchive::load));
  EXPECT_EQ(CArchiveException::endOfFile, CauseOf(readString, {3, 0, 0, 0, 'a', 'b'}, CArchive::load));
  // A corrupt length near 4 GB must fail before anything that size is allocated.
  EXPECT_EQ(CArchiveException::endOfFile, CauseOf(readString, {0xFF, 0xFF, 0xFF, 0xFF, 'a'}, CArchive::load));
  EXPECT_EQ(CArchiveException::none, CauseOf(readString, {0, 0, 0, 0}, CArchive::load));
}

}  // namespace
