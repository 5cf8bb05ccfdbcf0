// The model files a user opened or saved last, newest first, kept in a small text file so that
// the next run of the editor offers them again.
#pragma once

#include <string>
#include <vector>

class CStmRecentFiles {
public:
  static constexpr size_t kMaxFiles = 8;

  // $XDG_CONFIG_HOME/stm-editor/recent, or ~/.config/stm-editor/recent; empty when neither a
  // configuration folder nor a home folder is known.
  static std::string DefaultLocation();

  // An empty location keeps the list for this run only.
  explicit CStmRecentFiles(std::string location) : m_strLocation(std::move(location)) {}

  // Reads the list from its file; a missing or unreadable file is an empty list.
  void Load();
  // Puts the file first (once), keeps the newest eight and writes the list; false with the
  // reason when the list could not be written, though this run still has it.
  bool Add(const std::string& path, std::string& error);
  // Takes a file off the list (one that has gone) and writes the list; false as Add.
  bool Remove(const std::string& path, std::string& error);
  const std::vector<std::string>& GetFiles() const { return m_files; }
  const std::string& GetLocation() const { return m_strLocation; }

private:
  bool Write(std::string& error);

  std::string m_strLocation;
  std::vector<std::string> m_files;
};
