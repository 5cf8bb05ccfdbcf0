// The string substitute: formatting, trimming, bounded slicing, replacement and ordering,
// with UTF-8 text left intact.
#include <gtest/gtest.h>

#include <string>

#include "host/platform/CString.h"

namespace {

const char* const kKorean = "이동할 수 없는 Node";

TEST(CString, FormatReplacesAndAppendFormatAppends) {
  CString s("old");
  s.Format("%s = %.4f", "x", 1.23456);
  EXPECT_EQ(s, "x = 1.2346");
  s.AppendFormat(" [%d]", 7);
  EXPECT_EQ(s, "x = 1.2346 [7]");
  const std::string longText(5000, 'a');
  s.Format("%s|%s", longText.c_str(), kKorean);
  EXPECT_EQ(s.str(), longText + "|" + kKorean);
  s.Format("%s", "");
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, TrimRemovesAsciiWhitespaceOnly) {
  CString s(" \t\r\n abc def \n\t ");
  EXPECT_EQ(s.Trim(), "abc def");
  CString left("\t x "), right(" x \n");
  EXPECT_EQ(left.TrimLeft(), "x ");
  EXPECT_EQ(right.TrimRight(), " x");
  CString blank(" \t\n");
  EXPECT_TRUE(blank.Trim().IsEmpty());
  // Multi-byte characters at both ends, with continuation bytes 0x85 and 0xA0.
  const std::string edged = std::string("\xE2\x80\x85") + kKorean + "\xEC\x9D\xA0";
  CString korean((" " + edged + "\n").c_str());
  EXPECT_EQ(korean.Trim().str(), edged);
  CString mixed(kKorean);
  EXPECT_EQ(mixed.MakeUpper().str(), "이동할 수 없는 NODE");
  EXPECT_EQ(mixed.MakeLower().str(), "이동할 수 없는 node");
}

TEST(CString, FindAndSlicesStayInBounds) {
  const CString s("hello world");
  EXPECT_EQ(2, s.Find("llo"));
  EXPECT_EQ(7, s.Find('o', 5));
  EXPECT_EQ(-1, s.Find("xyz"));
  EXPECT_EQ(-1, s.Find("o", 12));
  EXPECT_EQ(-1, s.Find('h', -1));
  EXPECT_EQ(11, s.Find("", 11));
  EXPECT_EQ(s.Left(5), "hello");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Left(99), s);
  EXPECT_EQ(s.Right(5), "world");
  EXPECT_EQ(s.Right(99), s);
  EXPECT_EQ(s.Mid(6), "world");
  EXPECT_EQ(s.Mid(6, 3), "wor");
  EXPECT_EQ(s.Mid(6, 99), "world");
  EXPECT_EQ(s.Mid(-3, 2), "he");
  EXPECT_EQ(s.Mid(20), "");
}

TEST(CString, ReplaceCountsAndDoesNotRescanItsOutput) {
  CString s("a-b-c");
  EXPECT_EQ(2, s.Replace("-", "--"));
  EXPECT_EQ(s, "a--b--c");
  EXPECT_EQ(4, s.Replace("-", ""));
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(0, s.Replace("", "x"));
  EXPECT_EQ(0, s.Replace("z", "x"));
  EXPECT_EQ(s, "abc");
}

TEST(CString, ComparisonsAreByteOrdered) {
  const CString abc("abc");
  EXPECT_EQ(0, abc.Compare("abc"));
  EXPECT_LT(abc.Compare("abd"), 0);
  EXPECT_GT(abc.Compare("ab"), 0);
  EXPECT_GT(abc.Compare(nullptr), 0);
  EXPECT_EQ(0, abc.CompareNoCase("ABC"));
  EXPECT_LT(abc.CompareNoCase("ABD"), 0);
  EXPECT_TRUE(abc == "abc");
  EXPECT_TRUE(abc != CString("ABC"));
  EXPECT_TRUE(CString("B") < CString("a"));
  EXPECT_TRUE(CString("z") < CString(kKorean));  // UTF-8 lead bytes sort after ASCII
}

}  // namespace
