// The numbers of an analysed model as a table for scripts (CSV or JSON) and as a report for
// people (one HTML file with the picture inside): every member, node, support and bearing plate
// with its force or reaction, width or steel, capacity, utilisation and governing clause, for
// every load case and combination. Written whole or not at all: a failed write leaves an old
// file as it was.
#pragma once

#include <string>
#include <vector>

class CStmModel;

// False with the message for an extension other than .csv, .json, .html or .htm, or a folder
// that does not exist; checked before any work is done.
bool StmCheckTablePath(const std::string& path, std::string& error);
bool StmCheckReportPath(const std::string& path, std::string& error);

// The format follows the extension (.csv or .json).
bool StmWriteTable(const CStmModel& model, const std::string& path, std::string& error);

// name: the title (the model file's name); png: the picture of the model as PNG bytes (may be
// empty: the report then has none).
bool StmWriteReport(const CStmModel& model, const std::string& name, const std::string& png, const std::string& path,
                    std::string& error);

// The document texts the two writers put into their files.
std::string StmTableText(const CStmModel& model, bool json);
std::string StmReportText(const CStmModel& model, const std::string& name, const std::string& png);
