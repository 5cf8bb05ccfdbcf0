// Runs one of the project's programs as a user would, from a shell, and collects its exit
// status and what it wrote on stderr.
#pragma once

#include <string>

struct SProgramRun {
  int status = -1;  // the exit code, or -1 when the program did not exit normally
  std::string err;
};

// Wraps a path or argument in single quotes for the shell.
std::string ShellQuote(const std::string& s);

// `prefix` goes before the program (for example xvfb-run); stderr is kept in `name`.<pid>.stderr
// in the render output folder.
SProgramRun RunProgram(const std::string& program, const std::string& args, const std::string& name,
                       const std::string& prefix = std::string());
