// Model files: one versioned JSON document with every record (disabled ones too), the display
// settings, the definitions and the results of a model.
#pragma once

#include <string>

class CStmModel;

class CStmModelFile {
public:
  static constexpr int kVersion = 1;

  // Reads and checks the whole file into a fresh model and only then takes it over, so a
  // refused file leaves the model as it was. On failure error (when given) names the file, the
  // place in the document as a JSON pointer (e.g. /elements/3/nodes/1) and what is wrong. The
  // loaded model is not flagged modified.
  static bool Load(const std::string& path, CStmModel& model, std::string* error);

  // Writes the model to a temporary file beside the file path names (through symbolic links to
  // their target) and renames it over that file, so a failed save leaves an existing file whole;
  // the file keeps its mode and owner. A read-only file is refused. Where the folder cannot take
  // a temporary file (or the owner cannot be kept) a writable file is written over in place,
  // its old contents kept until the new ones are on disk. Clears the model's modified flag on
  // success. Saving what was loaded gives the same bytes.
  static bool Save(const std::string& path, CStmModel& model, std::string* error);

  // The document text that Save writes and Load reads; false (with the reason) when the model
  // holds a value a file cannot carry, such as a non-finite number.
  static bool ToText(const CStmModel& model, std::string& text, std::string* error);
  // Load from text; name stands for the file in error messages.
  static bool FromText(const std::string& text, const std::string& name, CStmModel& model, std::string* error);

private:
  static bool SaveInPlace(const std::string& target, const std::string& path, const std::string& text,
                          CStmModel& model, std::string* error);
};
