// Shell runs of the project's programs for the application tests.
#include "support/RunProgram.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/RenderCheck.h"
#include "support/StmSavedModel.h"

std::string ShellQuote(const std::string& s) { return "'" + s + "'"; }

SProgramRun RunProgram(const std::string& program, const std::string& args, const std::string& name,
                       const std::string& prefix) {
  // ctest runs tests in parallel processes, so each run keeps its stderr in a file of its own.
  const std::string errPath = RenderOutputDir() + "/" + name + "." + std::to_string(getpid()) + ".stderr";
  const std::string command = prefix + ShellQuote(program) + " " + args + " 2>" + ShellQuote(errPath);
  const int raw = std::system(command.c_str());
  SProgramRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.err = ReadFile(errPath);
  std::remove(errPath.c_str());
  return run;
}
