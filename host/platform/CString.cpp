// Formatting and trimming for the UTF-8 string substitute.
#include "host/platform/CString.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// ASCII only, whatever the C locale: under a single-byte locale the <cctype> functions treat
// bytes of UTF-8 sequences as letters or spaces (0x85, 0xA0) and would break Korean text.
bool IsSpace(char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }
char ToUpper(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }
char ToLower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

std::string VFormat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(needed) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), static_cast<size_t>(needed));
}
}  // namespace

void CString::FormatV(const char* format, va_list args) { m_str = VFormat(format ? format : "", args); }

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  m_str += VFormat(format ? format : "", args);
  va_end(args);
}

CString& CString::TrimLeft() {
  m_str.erase(m_str.begin(), std::find_if(m_str.begin(), m_str.end(), [](char c) { return !IsSpace(c); }));
  return *this;
}

CString& CString::TrimRight() {
  m_str.erase(std::find_if(m_str.rbegin(), m_str.rend(), [](char c) { return !IsSpace(c); }).base(), m_str.end());
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

int CString::Compare(const char* other) const { return std::strcmp(m_str.c_str(), other ? other : ""); }

int CString::CompareNoCase(const char* other) const {
  CString a(*this), b(other);
  return a.MakeLower().Compare(b.MakeLower());
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t pos = m_str.find(sub ? sub : "", static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t pos = m_str.find(ch, static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_str.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_str.substr(m_str.size() - static_cast<size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Replace(const char* from, const char* to) {
  const std::string f(from ? from : ""), t(to ? to : "");
  if (f.empty()) return 0;
  int count = 0;
  for (size_t pos = m_str.find(f); pos != std::string::npos; pos = m_str.find(f, pos + t.size())) {
    m_str.replace(pos, f.size(), t);
    ++count;
  }
  return count;
}

CString& CString::MakeUpper() {
  for (char& c : m_str) c = ToUpper(c);
  return *this;
}

CString& CString::MakeLower() {
  for (char& c : m_str) c = ToLower(c);
  return *this;
}
