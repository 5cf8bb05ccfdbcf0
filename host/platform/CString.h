// A UTF-8 string with the few members of the Windows string class that the layer uses.
#pragma once

#include <cstdarg>
#include <string>

class CString {
public:
  CString() = default;
  CString(const char* text) : m_str(text ? text : "") {}  // NOLINT: implicit like the original
  CString(const std::string& text) : m_str(text) {}       // NOLINT
  CString(std::string&& text) : m_str(std::move(text)) {} // NOLINT
  CString(char ch, int count) : m_str(count > 0 ? static_cast<size_t>(count) : 0, ch) {}

  // printf-style formatting; the result replaces the contents.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }

  CString& Trim();
  CString& TrimLeft();
  CString& TrimRight();

  // Ordinal (byte) comparison: <0, 0, >0 like strcmp.
  int Compare(const char* other) const;
  int CompareNoCase(const char* other) const;

  // Byte positions; -1 when not found.
  int Find(const char* sub, int start = 0) const;
  int Find(char ch, int start = 0) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  int Replace(const char* from, const char* to);
  CString& MakeUpper();
  CString& MakeLower();

  char GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }

  operator const char*() const { return m_str.c_str(); }  // NOLINT
  const char* c_str() const { return m_str.c_str(); }
  const std::string& str() const { return m_str; }

  CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
  CString& operator+=(const char* other) { m_str += other ? other : ""; return *this; }
  CString& operator+=(char ch) { m_str += ch; return *this; }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_str); }

  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
  friend bool operator==(const char* a, const CString& b) { return b == a; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
  friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
  friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

private:
  std::string m_str;
};
