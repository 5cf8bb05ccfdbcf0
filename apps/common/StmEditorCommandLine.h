// The command line every editor takes: a model, the window's size, a counted run that ends with
// a picture; each editor adds options of its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct SStmEditorCommandLine {
  // The file to open; empty for a new, untitled model.
  std::string model;
  int width = 1024;
  int height = 768;
  // Frames to show before leaving on its own; 0 runs until the window is closed.
  int frames = 0;
  // Where the last frame goes as a picture; empty for none.
  std::string screenshot;
  bool help = false;
};

// An option of the editor's own that takes a value: false with the message for a bad value.
using StmEditorOptionFn = std::function<bool(const std::string& option, const std::string& value, std::string& error)>;

// Reads the arguments; own: the editor's options that take a value, handed to `option`. False
// with the message for a bad command line; stops early at --help.
bool StmParseEditorCommandLine(int argc, char** argv, const std::vector<std::string>& own,
                               const StmEditorOptionFn& option, SStmEditorCommandLine& line, std::string& error);
// A value that must be a whole number from 1 (0 with allowZero); false with the message.
bool StmParsePositive(const std::string& option, const std::string& value, int& out, std::string& error,
                      bool allowZero = false);
