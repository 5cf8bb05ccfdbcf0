// Picture files the programs write.
#include "StmPicture.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "host/platform/CString.h"
#include "host/platform/StmText.h"

namespace {

constexpr int kJpegQuality = 92;

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

bool StmCheckPicturePath(const std::string& path, std::string& error) {
  CString text;
  const std::string ext = LowerExtension(path);
  if (ext != ".png" && ext != ".jpg" && ext != ".jpeg") {
    text.Format(StmText("%s: pictures are written as .png, .jpg or .jpeg, not \"%s\"").c_str(), path.c_str(),
                ext.c_str());
    error = text.c_str();
    return false;
  }
  return StmCheckOutputPlace(path, StmText("%s is a folder, not a picture file"), error);
}

bool StmCheckOutputPlace(const std::string& path, const CString& folderGiven, std::string& error) {
  CString text;
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  if (!std::filesystem::exists(folder, ec)) {
    text.Format(StmText("%s: the folder %s does not exist").c_str(), path.c_str(), folder.string().c_str());
    error = text.c_str();
    return false;
  }
  if (!std::filesystem::is_directory(folder, ec)) {
    text.Format(StmText("%s: %s is not a folder").c_str(), path.c_str(), folder.string().c_str());
    error = text.c_str();
    return false;
  }
  if (std::filesystem::is_directory(path, ec)) {
    text.Format(folderGiven.c_str(), path.c_str());
    error = text.c_str();
    return false;
  }
  return true;
}

bool StmCheckModelPath(const std::string& path, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::is_directory(path, ec)) return true;
  CString text;
  text.Format(StmText("%s is a folder, not a model file").c_str(), path.c_str());
  error = text.c_str();
  return false;
}

namespace {

void MakeOpaqueAndUpright(std::vector<unsigned char>& rgba) {
  for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
  // GL rows count from the bottom; a picture's from the top.
  stbi_flip_vertically_on_write(1);
}

}  // namespace

bool StmWritePicture(const std::string& path, int width, int height, std::vector<unsigned char>& rgba,
                     std::string& error) {
  if (!StmCheckPicturePath(path, error)) return false;
  MakeOpaqueAndUpright(rgba);
  const std::string ext = LowerExtension(path);
  int written = 0;
  if (ext == ".png") {
    written = stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4);
  } else {
    written = stbi_write_jpg(path.c_str(), width, height, 4, rgba.data(), kJpegQuality);
  }
  if (written) return true;
  CString text;
  text.Format(StmText("%s: the picture could not be written").c_str(), path.c_str());
  error = text.c_str();
  return false;
}

std::string StmEncodePng(int width, int height, std::vector<unsigned char> rgba) {
  MakeOpaqueAndUpright(rgba);
  std::string bytes;
  stbi_write_png_to_func([](void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
  }, &bytes, width, height, 4, rgba.data(), width * 4);
  return bytes;
}
