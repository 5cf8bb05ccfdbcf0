// Binary archives of entities: little-endian 32-bit integers, doubles and strings, over a file
// or a memory buffer. Misuse and truncated input throw CArchiveException, as the entity
// archives rely on.
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/platform/CString.h"

class CArchiveException {
public:
  enum Cause { none = 0, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };
  explicit CArchiveException(Cause cause) : m_cause(cause) {}
  const char* What() const;
  int m_cause;
};

[[noreturn]] void AfxThrowArchiveException(int cause, const char* fileName = nullptr);

// Refusals of what no writer makes, both badSchema: a version newer than the reader knows (or
// negative), and a number that is not finite, from which no geometry can be built.
void AfxCheckArchiveVersion(std::int32_t version, std::int32_t newest);
void AfxCheckArchiveFinite(std::initializer_list<double> values);

class CArchive {
public:
  enum Mode { store = 0, load = 1 };

  // A memory archive: storing appends to the buffer, loading reads it from the start.
  CArchive(std::vector<std::uint8_t>& buffer, Mode mode);
  // A file archive: storing writes the file on Close; loading reads the whole file at once.
  // A file that cannot be opened throws genericException.
  CArchive(const std::string& path, Mode mode);
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsStoring() const { return m_mode == store; }
  bool IsLoading() const { return m_mode == load; }
  // Writes what a file archive holds; a memory archive has nothing to flush.
  void Close();

  CArchive& operator<<(std::int32_t v);
  CArchive& operator<<(std::uint32_t v);
  CArchive& operator<<(double v);
  CArchive& operator<<(const CString& s);
  CArchive& operator>>(std::int32_t& v);
  CArchive& operator>>(std::uint32_t& v);
  CArchive& operator>>(double& v);
  CArchive& operator>>(CString& s);

  // Bytes not yet read by a loading archive.
  size_t GetRemaining() const { return m_data->size() - m_pos; }

private:
  void WriteBytes(const std::uint8_t* bytes, size_t count);
  void ReadBytes(std::uint8_t* bytes, size_t count);

  Mode m_mode;
  std::vector<std::uint8_t> m_own;  // the file contents of a file archive
  std::vector<std::uint8_t>* m_data;
  size_t m_pos = 0;
  std::string m_path;
  bool m_closed = false;
};
