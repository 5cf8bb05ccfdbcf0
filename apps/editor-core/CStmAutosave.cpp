// The recovery copy and the small file that names its model. Each session writes files of its
// own and holds a lock on them while it lives, so that the next start tells a crashed session's
// copy from one an editor still running is writing.
#include "CStmAutosave.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "host/platform/CString.h"
#include "host/platform/StmText.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "recovery-";
constexpr const char* kCopy = ".stm.json";
constexpr const char* kInfo = ".info";
constexpr const char* kLock = ".lock";

// Written beside the target and renamed over it, so that the target is either the old file or
// the new one, whole.
bool WriteThrough(const std::string& target, const std::function<bool(const std::string&, std::string&)>& write,
                  std::string& error) {
  const std::string temporary = target + ".new";
  if (write(temporary, error)) {
    if (std::rename(temporary.c_str(), target.c_str()) == 0) return true;
    error = std::strerror(errno);
  }
  std::remove(temporary.c_str());
  return false;
}

// A lock nobody holds means the session that wrote the copy is gone.
bool OwnerGone(const std::string& lockPath) {
  const int fd = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return true;
  const bool gone = flock(fd, LOCK_SH | LOCK_NB) == 0;
  close(fd);
  return gone;
}

}  // namespace

CStmAutosave::CStmAutosave(std::string dir, Clock::duration interval) : m_dir(std::move(dir)), m_interval(interval) {
  static std::atomic<unsigned> count{0};
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  m_token = std::to_string(getpid()) + "-" +
            std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) + "-" +
            std::to_string(count++);
}

CStmAutosave::~CStmAutosave() {
  if (m_nLockFd >= 0) close(m_nLockFd);
}

std::string CStmAutosave::Base(const std::string& token) const { return m_dir + "/" + kPrefix + token; }

std::string CStmAutosave::RecoveryPath() const { return Base(m_token) + kCopy; }

bool CStmAutosave::Tick(Clock::time_point now, bool modified, const std::string& modelPath, const SaveFn& save,
                        std::string& error) {
  if (m_dir.empty()) return false;
  if (!modified) {
    m_bPending = false;
    if (m_bWritten) RemoveOwn();
    return false;
  }
  if (!m_bPending) {
    m_bPending = true;
    m_since = now;
    return false;
  }
  if (now - m_since < m_interval) return false;
  // A failure waits for the next interval too, so that it is reported once, not at every tick.
  m_since = now;
  return WriteCopy(modelPath, save, error);
}

bool CStmAutosave::WriteCopy(const std::string& modelPath, const SaveFn& save, std::string& error) {
  std::error_code ec;
  fs::create_directories(m_dir, ec);
  const std::string base = Base(m_token);
  if (m_nLockFd < 0) {
    m_nLockFd = open((base + kLock).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_nLockFd >= 0 && flock(m_nLockFd, LOCK_EX | LOCK_NB) != 0) {
      close(m_nLockFd);
      m_nLockFd = -1;
    }
  }
  std::string why;
  bool written = m_nLockFd >= 0;
  if (!written) why = std::strerror(errno);
  // The copy first: a companion is only ever beside a whole copy.
  written = written && WriteThrough(base + kCopy, save, why);
  written = written && WriteThrough(
                           base + kInfo,
                           [&modelPath](const std::string& path, std::string& message) {
                             std::ofstream out(path, std::ios::trunc);
                             const auto now = std::chrono::system_clock::now().time_since_epoch();
                             out << "written " << std::chrono::duration_cast<std::chrono::seconds>(now).count()
                                 << "\nmodel " << modelPath << '\n';
                             out.close();
                             if (!out) message = std::strerror(errno);
                             return static_cast<bool>(out);
                           },
                           why);
  if (written) {
    m_bWritten = true;
    // A copy taken from a crashed session now lives on in this one's.
    RemoveFound();
    return true;
  }
  CString text;
  text.Format(StmText("The recovery copy %s could not be written: %s").c_str(), (base + kCopy).c_str(), why.c_str());
  error = text.c_str();
  return false;
}

bool CStmAutosave::FindRecovery(std::string& recoveryPath, std::string& modelPath) const {
  SRecovery recovery;
  if (!FindRecovery(recovery)) return false;
  recoveryPath = recovery.path;
  modelPath = recovery.modelPath;
  return true;
}

bool CStmAutosave::FindRecovery(SRecovery& recovery) const {
  std::error_code ec;
  bool found = false;
  const std::string own = std::string(kPrefix) + m_token + kInfo;
  for (fs::directory_iterator it(m_dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const size_t prefix = std::strlen(kPrefix), suffix = std::strlen(kInfo);
    if (name == own || name.size() <= prefix + suffix || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kInfo) != 0)
      continue;
    const std::string base = m_dir + "/" + name.substr(0, name.size() - suffix);
    if (!fs::exists(base + kCopy, ec) || !OwnerGone(base + kLock)) continue;
    std::ifstream in(it->path());
    std::string word, model;
    long long seconds = 0;
    in >> word >> seconds;
    if (!in || word != "written") continue;
    in.ignore(1);
    std::getline(in, model);
    if (model.compare(0, 6, "model ") != 0) continue;
    const std::chrono::system_clock::time_point written{std::chrono::seconds(seconds)};
    if (found && written <= recovery.written) continue;
    recovery = {base + kCopy, model.substr(6), written};
    m_strFound = base;
    found = true;
  }
  return found;
}

void CStmAutosave::RemoveOwn() {
  const std::string base = Base(m_token);
  std::remove((base + kInfo).c_str());
  std::remove((base + kCopy).c_str());
  std::remove((base + kLock).c_str());
  if (m_nLockFd >= 0) close(m_nLockFd);
  m_nLockFd = -1;
  m_bWritten = false;
}

void CStmAutosave::Discard() {
  RemoveOwn();
  m_bPending = false;
  RemoveFound();
}

void CStmAutosave::RemoveFound() {
  if (m_strFound.empty()) return;
  // The companion first: without it the copy is no longer offered, even if the rest stays.
  for (const char* suffix : {kInfo, kCopy, kLock}) std::remove((m_strFound + suffix).c_str());
  m_strFound.clear();
}
