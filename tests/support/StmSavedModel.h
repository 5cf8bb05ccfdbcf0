// Model files as tests compare them: saved through the model library into the test output
// folder and read back as bytes, with the first differing line when two of them differ.
#pragma once

#include <string>

class CStmModel;

// The bytes of the saved file build/test-out/<name>.stm.json; empty (and a failure added to the
// running test) when saving fails. Saving clears the model's modified flag.
std::string SaveModelBytes(CStmModel& model, const std::string& name);

// The document a save would write; empty (and a failure added to the running test) when the
// model cannot be written.
std::string ModelText(const CStmModel& model);

// The model of a file with its first case analysed and checked afresh; false (and a failure
// added to the running test when the file cannot be read) unless the truss is solved.
bool LoadSolved(const std::string& path, CStmModel& model);

// The bytes of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Empty when equal; otherwise the first differing line of each with a few lines before it, so
// that the record it belongs to can be told.
std::string FirstDifference(const std::string& expected, const std::string& actual);
