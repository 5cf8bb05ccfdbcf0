// The recent-files list: one absolute path a line, newest first.
#include "CStmRecentFiles.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "host/platform/CString.h"
#include "host/platform/StmText.h"

namespace fs = std::filesystem;

std::string CStmRecentFiles::DefaultLocation() {
  // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and is ignored.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return (fs::path(config) / "stm-editor" / "recent").string();
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* user = getpwuid(getuid());
    home = user ? user->pw_dir : nullptr;
  }
  if (!home || home[0] != '/') return std::string();
  return (fs::path(home) / ".config" / "stm-editor" / "recent").string();
}

void CStmRecentFiles::Load() {
  m_files.clear();
  if (m_strLocation.empty()) return;
  std::ifstream in(m_strLocation);
  std::string line;
  while (m_files.size() < kMaxFiles && std::getline(in, line)) {
    // Only absolute paths are ours; anything else was written by hand or by mistake.
    if (line.empty() || line[0] != '/') continue;
    if (std::find(m_files.begin(), m_files.end(), line) == m_files.end()) m_files.push_back(line);
  }
}

bool CStmRecentFiles::Add(const std::string& path, std::string& error) {
  // Another editor may have added files since this one last looked.
  Load();
  std::error_code ec;
  std::string full = fs::absolute(path, ec).lexically_normal().string();
  if (ec) full = path;
  // A line is a path, so a path with a line break in it cannot be kept.
  if (full.find('\n') != std::string::npos) return true;
  m_files.erase(std::remove(m_files.begin(), m_files.end(), full), m_files.end());
  m_files.insert(m_files.begin(), full);
  if (m_files.size() > kMaxFiles) m_files.resize(kMaxFiles);
  return Write(error);
}

bool CStmRecentFiles::Remove(const std::string& path, std::string& error) {
  Load();
  m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
  return Write(error);
}

bool CStmRecentFiles::Write(std::string& error) {
  if (m_strLocation.empty()) return true;
  std::error_code ec;
  // Written beside the list and renamed over it, so that a reader never sees half a list.
  const fs::path target(m_strLocation);
  fs::create_directories(target.parent_path(), ec);
  const std::string temporary = m_strLocation + ".new." + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (const std::string& file : m_files) out << file << '\n';
    out.close();
    if (out) {
      if (std::rename(temporary.c_str(), m_strLocation.c_str()) == 0) return true;
    }
  }
  const int why = errno;
  std::remove(temporary.c_str());
  CString text;
  text.Format(StmText("The recent-files list %s could not be written: %s").c_str(), m_strLocation.c_str(),
              std::strerror(why));
  error = text.c_str();
  return false;
}
