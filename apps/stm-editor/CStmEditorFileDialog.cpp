// The file dialog's listing, its reading of what was typed, and its layout in the overlay.
#include "CStmEditorFileDialog.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "host/platform/CString.h"
#include "host/platform/StmText.h"

namespace fs = std::filesystem;

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Names as people sort them: case aside first, then by case so that the order is total.
bool NameBefore(const std::string& a, const std::string& b) {
  const auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
  };
  const std::string la = lower(a), lb = lower(b);
  return la != lb ? la < lb : a < b;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

void CStmEditorFileDialog::Show(EMode mode, const std::string& folder, const std::string& name,
                                std::vector<std::string> extensions, const std::string& title) {
  m_eMode = mode;
  m_extensions = extensions.empty() ? std::vector<std::string>{kExtension} : std::move(extensions);
  m_strTitle = title;
  m_eState = EState::kOpen;
  m_strEdit = name;
  m_strPath.clear();
  m_strProblem.clear();
  m_bConfirm = false;
  m_bFocusEdit = true;
  Enter(folder);
}

bool CStmEditorFileDialog::Wanted(const std::string& name) const {
  const auto has = [&name](const std::string& extension) { return EndsWith(name, extension); };
  // A model file ends in .json too, and is no table to write over.
  if (has(kExtension) && std::find(m_extensions.begin(), m_extensions.end(), kExtension) == m_extensions.end())
    return false;
  return std::any_of(m_extensions.begin(), m_extensions.end(), has);
}

void CStmEditorFileDialog::Enter(const std::string& folder) {
  std::error_code ec;
  fs::path where = fs::absolute(folder, ec).lexically_normal();
  // "/a/b/" and "/a/b" are one folder; the listing names it without the slash.
  if (where.has_relative_path() && !where.has_filename()) where = where.parent_path();
  std::vector<std::string> folders, files;
  fs::directory_iterator it(where, fs::directory_options::skip_permission_denied, ec);
  if (ec) {
    CString text;
    text.Format(StmText("The folder %s cannot be read: %s").c_str(), where.string().c_str(), ec.message().c_str());
    m_strProblem = text.c_str();
    // A dialog with no folder yet still needs one to show.
    if (!m_strFolder.empty()) return;
  }
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // Hidden entries stay hidden, as in every file manager.
    if (name.empty() || name[0] == '.') continue;
    std::error_code statError;
    if (it->is_directory(statError)) folders.push_back(name);
    else if (Wanted(name)) files.push_back(name);
  }
  std::sort(folders.begin(), folders.end(), NameBefore);
  std::sort(files.begin(), files.end(), NameBefore);
  // A problem with what was typed before no longer stands in another folder.
  if (!ec) m_strProblem.clear();
  m_strFolder = where.string();
  m_folders = std::move(folders);
  m_files = std::move(files);
}

void CStmEditorFileDialog::TakeEdit() {
  m_strProblem.clear();
  std::string text = Trim(m_strEdit);
  if (text.empty()) {
    m_strProblem = StmText("Type a file name, or pick a file from the list").c_str();
    return;
  }
  if (text == "~" || text.compare(0, 2, "~/") == 0) {
    if (const char* home = std::getenv("HOME")) text = home + text.substr(1);
  }
  fs::path path(text);
  if (path.is_relative()) path = fs::path(m_strFolder) / path;
  path = path.lexically_normal();
  if (path.has_relative_path() && !path.has_filename()) path = path.parent_path();
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    // A folder typed is a folder entered; what was typed has served.
    Enter(path.string());
    m_strEdit.clear();
    ImGui::ClearActiveID();
    m_bFocusEdit = true;
    return;
  }
  if (m_eMode == EMode::kSave && path.filename().string().find('.') == std::string::npos) path += m_extensions.front();
  CString problem;
  if (m_eMode == EMode::kOpen && !fs::exists(path, ec)) {
    problem.Format(StmText("There is no file %s").c_str(), path.string().c_str());
  } else if (m_eMode == EMode::kSave && fs::is_directory(path, ec)) {
    problem.Format(StmText("%s is a folder, not a file").c_str(), path.string().c_str());
  }
  if (!problem.IsEmpty()) {
    m_strProblem = problem.c_str();
    return;
  }
  m_strPath = path.string();
  m_eState = EState::kChosen;
}

void CStmEditorFileDialog::Draw(const NoteItemFn& noteItem) {
  if (m_eState != EState::kOpen) return;
  const std::string id = (!m_strTitle.empty()         ? m_strTitle
                          : m_eMode == EMode::kOpen ? std::string(StmText("Open a model").c_str())
                                                    : std::string(StmText("Save the model as").c_str())) +
                         "##file";
  if (!ImGui::IsPopupOpen(id.c_str())) ImGui::OpenPopup(id.c_str());
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  ImGui::SetNextWindowPos(viewport->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
  ImGui::SetNextWindowSize(ImVec2(std::max(viewport->Size.x * 0.8f, 320.0f), std::max(viewport->Size.y * 0.8f, 240.0f)),
                           ImGuiCond_Always);
  if (!ImGui::BeginPopupModal(id.c_str(), nullptr, ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                                                        ImGuiWindowFlags_NoSavedSettings)) {
    return;
  }
  // Entering a folder changes the listing, so it waits until the listing is drawn.
  std::string enter;
  const fs::path folder(m_strFolder);
  const bool canGoUp = folder.has_relative_path();
  ImGui::BeginDisabled(!canGoUp);
  if (ImGui::Button(StmText("Up").c_str())) enter = folder.parent_path().string();
  ImGui::EndDisabled();
  noteItem("Up", canGoUp);
  ImGui::SameLine();
  ImGui::TextUnformatted(m_strFolder.c_str());

  // Room below the listing for the name, a problem, the buttons and the keys.
  const float footer = ImGui::GetFrameHeightWithSpacing() * 3.0f + ImGui::GetTextLineHeightWithSpacing() * 2.0f;
  if (ImGui::BeginChild("##listing", ImVec2(0.0f, -footer), true)) {
    for (const std::string& name : m_folders) {
      const std::string label = name + "/";
      if (ImGui::Selectable(label.c_str(), false, ImGuiSelectableFlags_DontClosePopups))
        enter = (folder / name).string();
      noteItem(label, true);
    }
    for (const std::string& name : m_files) {
      if (ImGui::Selectable(name.c_str(), name == m_strEdit,
                            ImGuiSelectableFlags_DontClosePopups | ImGuiSelectableFlags_AllowDoubleClick)) {
        m_strEdit = name;
        if (ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left)) m_bConfirm = true;
        else m_bFocusEdit = true;
      }
      noteItem(name, true);
    }
  }
  ImGui::EndChild();

  ImGui::AlignTextToFramePadding();
  ImGui::TextUnformatted(StmText("Name:").c_str());
  ImGui::SameLine();
  ImGui::SetNextItemWidth(-1.0f);
  if (m_bFocusEdit) {
    ImGui::SetKeyboardFocusHere();
    m_bFocusEdit = false;
  }
  // Everything is selected when the edit takes the focus, so typing replaces the name.
  ImGui::InputText("##name", &m_strEdit, ImGuiInputTextFlags_AutoSelectAll);
  noteItem("Name", true);
  if (!m_strProblem.empty()) ImGui::TextColored(ImVec4(1.0f, 0.45f, 0.4f, 1.0f), "%s", m_strProblem.c_str());
  else ImGui::TextUnformatted("");
  if (ImGui::Button(StmText("OK").c_str(), ImVec2(90.0f, 0.0f))) m_bConfirm = true;
  noteItem("OK", true);
  ImGui::SameLine();
  if (ImGui::Button(StmText("Cancel").c_str(), ImVec2(90.0f, 0.0f))) Cancel();
  noteItem("Cancel", true);
  ImGui::SameLine();
  ImGui::TextDisabled("%s", StmText("Keys: Enter OK, Esc Cancel").c_str());

  if (!enter.empty()) {
    Enter(enter);
    m_bFocusEdit = true;
  }
  if (m_bConfirm && m_eState == EState::kOpen) TakeEdit();
  m_bConfirm = false;
  if (m_eState != EState::kOpen) ImGui::CloseCurrentPopup();
  ImGui::EndPopup();
}
