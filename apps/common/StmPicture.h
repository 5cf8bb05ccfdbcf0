// Picture files the programs write: checked before any work is done, written opaque, in the
// format the file name asks for.
#pragma once

#include <string>
#include <vector>

// False with the message when the file could not be written: an extension other than .png,
// .jpg or .jpeg, or a folder that does not exist.
bool StmCheckPicturePath(const std::string& path, std::string& error);

// False with the message when the file's folder does not exist or is no folder, or the path
// names a folder (folderGiven, "%s is a folder, not a picture file", says so).
class CString;
bool StmCheckOutputPlace(const std::string& path, const CString& folderGiven, std::string& error);

// False with the message when the model path names a folder; other problems are the loader's.
bool StmCheckModelPath(const std::string& path, std::string& error);

// Writes RGBA rows as OpenGL reads them (bottom row first) as an opaque picture; the alpha of
// the frame buffer is dropped, since it says nothing about the picture.
bool StmWritePicture(const std::string& path, int width, int height, std::vector<unsigned char>& rgba,
                     std::string& error);

// The same picture as PNG bytes in memory (for a document that carries it inside).
std::string StmEncodePng(int width, int height, std::vector<unsigned char> rgba);
