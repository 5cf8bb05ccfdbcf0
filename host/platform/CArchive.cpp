// Little-endian encoding for archives, independent of the host's byte order.
#include "host/platform/CArchive.h"

#include <cmath>
#include <cstring>
#include <iterator>

#include "geometry/CVector.h"

const char* CArchiveException::What() const {
  switch (m_cause) {
    case readOnly: return "tried to write into an archive opened for loading";
    case writeOnly: return "tried to read from an archive opened for storing";
    case endOfFile: return "unexpected end of archive";
    case badIndex: return "invalid archive index";
    case badClass: return "unknown class in archive";
    case badSchema: return "unknown archive version";
    case genericException: return "archive error";
    default: return "no error";
  }
}

void AfxThrowArchiveException(int cause, const char*) {
  throw CArchiveException(static_cast<CArchiveException::Cause>(cause));
}

void AfxCheckArchiveVersion(std::int32_t version, std::int32_t newest) {
  if (version < 0 || version > newest) AfxThrowArchiveException(CArchiveException::badSchema);
}

void AfxCheckArchiveFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) AfxThrowArchiveException(CArchiveException::badSchema);
  }
}

CArchive::CArchive(std::vector<std::uint8_t>& buffer, Mode mode) : m_mode(mode), m_data(&buffer) {}

CArchive::CArchive(const std::string& path, Mode mode) : m_mode(mode), m_data(&m_own), m_path(path) {
  if (mode == load) {
    std::ifstream in(path, std::ios::binary);
    if (!in) AfxThrowArchiveException(CArchiveException::genericException, path.c_str());
    m_own.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
}

CArchive::~CArchive() {
  // A destructor must not throw; callers that care about write errors call Close themselves.
  try {
    Close();
  } catch (const CArchiveException&) {
  }
}

void CArchive::Close() {
  if (m_closed) return;
  m_closed = true;
  if (m_mode != store || m_path.empty()) return;
  std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(m_own.data()), static_cast<std::streamsize>(m_own.size()));
  if (!out) AfxThrowArchiveException(CArchiveException::genericException, m_path.c_str());
}

void CArchive::WriteBytes(const std::uint8_t* bytes, size_t count) {
  if (m_mode != store) AfxThrowArchiveException(CArchiveException::readOnly);
  m_data->insert(m_data->end(), bytes, bytes + count);
}

void CArchive::ReadBytes(std::uint8_t* bytes, size_t count) {
  if (m_mode != load) AfxThrowArchiveException(CArchiveException::writeOnly);
  if (count > GetRemaining()) AfxThrowArchiveException(CArchiveException::endOfFile);
  std::memcpy(bytes, m_data->data() + m_pos, count);
  m_pos += count;
}

CArchive& CArchive::operator<<(std::uint32_t v) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                 static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  WriteBytes(bytes, 4);
  return *this;
}

CArchive& CArchive::operator>>(std::uint32_t& v) {
  std::uint8_t bytes[4];
  ReadBytes(bytes, 4);
  v = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
      static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return *this;
}

CArchive& CArchive::operator<<(std::int32_t v) { return *this << static_cast<std::uint32_t>(v); }

CArchive& CArchive::operator>>(std::int32_t& v) {
  std::uint32_t u = 0;
  *this >> u;
  v = static_cast<std::int32_t>(u);
  return *this;
}

CArchive& CArchive::operator<<(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  *this << static_cast<std::uint32_t>(bits);
  return *this << static_cast<std::uint32_t>(bits >> 32);
}

CArchive& CArchive::operator>>(double& v) {
  std::uint32_t lo = 0, hi = 0;
  *this >> lo >> hi;
  const std::uint64_t bits = static_cast<std::uint64_t>(hi) << 32 | lo;
  std::memcpy(&v, &bits, sizeof v);
  return *this;
}

// Strings are a 32-bit byte count followed by the UTF-8 bytes.
CArchive& CArchive::operator<<(const CString& s) {
  *this << static_cast<std::uint32_t>(s.GetLength());
  WriteBytes(reinterpret_cast<const std::uint8_t*>(s.c_str()), static_cast<size_t>(s.GetLength()));
  return *this;
}

CArchive& CArchive::operator>>(CString& s) {
  std::uint32_t length = 0;
  *this >> length;
  if (length > GetRemaining()) AfxThrowArchiveException(CArchiveException::endOfFile);
  std::string text(length, '\0');
  ReadBytes(reinterpret_cast<std::uint8_t*>(text.data()), length);
  s = CString(std::move(text));
  return *this;
}

CArchive& operator<<(CArchive& ar, const CVector& v) { return ar << v.x << v.y << v.z; }
CArchive& operator>>(CArchive& ar, CVector& v) { return ar >> v.x >> v.y >> v.z; }

CArchive& operator<<(CArchive& ar, const std::vector<CVector>& points) {
  ar << static_cast<std::int32_t>(points.size());
  for (const CVector& p : points) ar << p;
  return ar;
}

CArchive& operator>>(CArchive& ar, std::vector<CVector>& points) {
  std::int32_t count = 0;
  ar >> count;
  if (count < 0) AfxThrowArchiveException(CArchiveException::badIndex);
  std::vector<CVector> loaded;
  for (std::int32_t i = 0; i < count; ++i) {
    CVector p;
    ar >> p;
    loaded.push_back(p);
  }
  points = std::move(loaded);
  return ar;
}
