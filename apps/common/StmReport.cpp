#include "StmReport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "analysis/CStmChecks.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"

namespace {

// One row per checked object and case; the three writers take the same rows, so that the table
// a script reads and the report a person reads never disagree.
struct SRow {
  const char* kind = "";  // member, node, support, plate
  int id = 0;
  std::string name;
  std::string type;  // strut, tie, CCT, ...
  double force = 0.0;
  double reaction[3] = {0.0, 0.0, 0.0};
  double widthRequired = 0.0, widthAvailable = 0.0;
  double steelRequired = 0.0, steelProvided = 0.0;
  double capacity = 0.0, utilisation = 0.0;
  std::string clause;
  std::string flags;
  bool over = false;
};

struct SCase {
  std::string name;
  std::vector<SRow> rows;
};

std::string FlagsText(int flags) {
  static const std::pair<int, const char*> names[] = {
      {STM_CHECK_OVER_CAPACITY, "over capacity"}, {STM_CHECK_OUTSIDE, "beyond the concrete"},
      {STM_CHECK_OVERLAP, "overlaps"},            {STM_CHECK_ANGLE, "angle below the limit"},
      {STM_CHECK_INCOMPLETE, "data missing"}};
  std::string text;
  for (const auto& [bit, name] : names)
    if (flags & bit) text += (text.empty() ? "" : "; ") + std::string(StmText(name).c_str());
  return text;
}

// What every checked object has: its utilisation, clause and flags.
template <class Check>
void TakeCheck(SRow& row, const Check& check) {
  row.utilisation = check.dUtilisation;
  row.clause = check.strClause.c_str();
  row.flags = FlagsText(check.nFlags);
  row.over = check.nFlags & STM_CHECK_OVER_CAPACITY;
}

// Statics in id order, then combinations: the order the analysis numbers its cases.
std::vector<std::string> CaseNames(const CStmModel& model) {
  std::vector<std::string> names;
  for (const auto& [id, condition] : model.GetLoadConditionStatics()) names.emplace_back(condition->GetName().c_str());
  for (const auto& [id, combo] : model.GetLoadConditionCombos()) names.emplace_back(combo->GetName().c_str());
  return names;
}

std::vector<SCase> Collect(const CStmModel& model) {
  const std::vector<std::string> names = CaseNames(model);
  const SStmCheckResults& checks = model.GetCheckResults();
  std::vector<SCase> cases;
  for (size_t c = 0; c < names.size(); ++c) {
    const int loadCase = static_cast<int>(c);
    const SStmCheckCase* check = checks.GetCase(loadCase);
    SCase out;
    out.name = names[c];
    for (const auto& [id, element] : model.GetElements()) {
      if (!element->IsEnable() || loadCase >= static_cast<int>(element->GetResultAxialForces().size())) continue;
      SRow row;
      row.kind = "member";
      row.id = id;
      row.name = element->GetName().c_str();
      const EStmTypeElement type = element->GetType(loadCase);
      row.type = type == STM_ELEMENT_STRUT ? "strut" : type == STM_ELEMENT_TIE ? "tie" : "none";
      row.force = element->GetResultAxialForce(loadCase);
      if (check) {
        const auto it = check->elements.find(id);
        if (it != check->elements.end()) {
          const SStmCheckElement& e = it->second;
          row.widthRequired = e.dWidthRequired;
          row.widthAvailable = e.dWidthAvailable;
          row.steelRequired = e.dSteelRequired;
          row.steelProvided = e.dSteelProvided;
          row.capacity = e.dCapacity;
          TakeCheck(row, e);
        }
      }
      out.rows.push_back(std::move(row));
    }
    if (check) {
      for (const auto& [id, n] : check->nodes) {
        const CStmObjNode* node = model.GetNode(id);
        SRow row;
        row.kind = "node";
        row.id = id;
        row.name = node ? node->GetName().c_str() : "";
        row.type = n.strClass.c_str();
        row.capacity = n.dStress;
        TakeCheck(row, n);
        out.rows.push_back(std::move(row));
      }
    }
    for (const auto& [id, reactions] : model.GetResultReactions()) {
      if (c >= reactions.size()) continue;
      const CStmObjNode* node = model.GetNode(id);
      SRow row;
      row.kind = "support";
      row.id = id;
      row.name = node ? node->GetName().c_str() : "";
      row.reaction[0] = reactions[c].x;
      row.reaction[1] = reactions[c].y;
      row.reaction[2] = reactions[c].z;
      out.rows.push_back(std::move(row));
    }
    if (check) {
      for (const auto& [id, p] : check->plates) {
        const auto found = model.GetBearingPlates().find(id);
        const CStmObjBearingPlate* plate = found == model.GetBearingPlates().end() ? nullptr : found->second;
        const CStmObjNode* node = plate ? model.GetNode(plate->GetIdNode()) : nullptr;
        SRow row;
        row.kind = "plate";
        row.id = id;
        row.name = node ? node->GetName().c_str() : "";
        row.force = p.dForce;
        row.capacity = p.dCapacity;
        TakeCheck(row, p);
        out.rows.push_back(std::move(row));
      }
    }
    cases.push_back(std::move(out));
  }
  return cases;
}

// Shortest text that reads back as the same double, so that a script gets the exact numbers.
std::string Number(double v) {
  if (v == 0.0) return "0";
  char buffer[32];
  for (int precision = 6; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, v);
    if (std::strtod(buffer, nullptr) == v) break;
  }
  return buffer;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char ch : text) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
  return out + "\"";
}

std::string Csv(const std::vector<SCase>& cases) {
  std::ostringstream out;
  out << "case,kind,id,name,type,force,rx,ry,rz,width_required,width_available,steel_required,steel_provided,"
         "capacity,utilisation,clause,flags\n";
  for (const SCase& c : cases) {
    for (const SRow& r : c.rows) {
      out << CsvField(c.name) << ',' << r.kind << ',' << r.id << ',' << CsvField(r.name) << ',' << CsvField(r.type)
          << ',' << Number(r.force) << ',' << Number(r.reaction[0]) << ',' << Number(r.reaction[1]) << ','
          << Number(r.reaction[2]) << ',' << Number(r.widthRequired) << ',' << Number(r.widthAvailable) << ','
          << Number(r.steelRequired) << ',' << Number(r.steelProvided) << ',' << Number(r.capacity) << ','
          << Number(r.utilisation) << ',' << CsvField(r.clause) << ',' << CsvField(r.flags) << '\n';
    }
  }
  return out.str();
}

const char* CodeName(EStmDesignCode code) {
  return code == STM_CODE_EN_1992_1_1 ? "EN 1992-1-1" : "ACI 318-19";
}

std::string Json(const CStmModel& model, const std::vector<SCase>& cases) {
  nlohmann::ordered_json doc;
  doc["units"] = {{"length", model.GetUnitLength().c_str()}, {"force", model.GetUnitForce().c_str()}};
  doc["code"] = CodeName(model.GetMaterials().eCode);
  const CString& error = model.GetCheckResults().strError;
  if (!error.IsEmpty()) doc["checks"] = error.c_str();
  doc["cases"] = nlohmann::ordered_json::array();
  for (const SCase& c : cases) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const SRow& r : c.rows) {
      nlohmann::ordered_json row = {{"kind", r.kind}, {"id", r.id}, {"name", r.name}};
      if (std::strcmp(r.kind, "support") == 0) {
        row["reaction"] = {r.reaction[0], r.reaction[1], r.reaction[2]};
      } else {
        row["type"] = r.type;
        if (std::strcmp(r.kind, "node") != 0) row["force"] = r.force;
        row["width_required"] = r.widthRequired;
        row["width_available"] = r.widthAvailable;
        row["steel_required"] = r.steelRequired;
        row["steel_provided"] = r.steelProvided;
        row["capacity"] = r.capacity;
        row["utilisation"] = r.utilisation;
        row["clause"] = r.clause;
        row["flags"] = r.flags;
      }
      rows.push_back(std::move(row));
    }
    doc["cases"].push_back({{"name", c.name}, {"rows", std::move(rows)}});
  }
  return doc.dump(1) + "\n";
}

std::string Html(const std::string& text) {
  std::string out;
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string Html(const CString& text) { return Html(std::string(text.c_str())); }

std::string Base64(const std::string& bytes) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    unsigned v = 0;
    for (size_t k = 0; k < 3; ++k) v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? digits[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

// A quantity with one decimal for people; the table keeps every digit.
std::string Fixed(double v, int decimals = 1) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v == 0.0 ? 0.0 : v);
  return buffer;
}

std::string Percent(double utilisation) { return utilisation > 0.0 ? Fixed(100.0 * utilisation, 0) + " %" : ""; }

// Writes beside the file and renames over it, so that a failed write leaves an old file whole.
bool WriteWhole(const std::string& path, const std::string& text, std::string& error) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  auto fail = [&](const char* what) {
    CString message;
    message.Format(StmText("%s: not written: %s: %s").c_str(), path.c_str(), StmText(what).c_str(),
                   std::strerror(errno));
    error = message.c_str();
    return false;
  };
  if (fd < 0) return fail("cannot create a temporary file beside it");
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int code = errno;
      close(fd);
      unlink(temp.c_str());
      errno = code;
      return fail("cannot write");
    }
    done += static_cast<size_t>(n);
  }
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd, 0666 & ~mask) != 0 || fsync(fd) != 0 || close(fd) != 0 || rename(temp.c_str(), path.c_str()) != 0) {
    const int code = errno;
    unlink(temp.c_str());
    errno = code;
    return fail("cannot replace the file");
  }
  return true;
}

bool CheckPath(const std::string& path, std::initializer_list<const char*> extensions, const char* usage,
               std::string& error) {
  const std::filesystem::path p(path);
  std::string ext = p.extension().string();
  for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  bool known = false;
  for (const char* e : extensions) known |= ext == e;
  CString message;
  if (!known) {
    message.Format(StmText("%s: %s").c_str(), path.c_str(), StmText(usage).c_str());
  } else {
    std::error_code ec;
    const std::filesystem::path folder = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
    if (std::filesystem::is_directory(folder, ec)) return true;
    message.Format(StmText("%s: the folder does not exist").c_str(), path.c_str());
  }
  error = message.c_str();
  return false;
}

bool IsJson(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return ext == ".json";
}

}  // namespace

bool StmCheckTablePath(const std::string& path, std::string& error) {
  return CheckPath(path, {".csv", ".json"}, "a table is written as .csv or .json", error);
}

bool StmCheckReportPath(const std::string& path, std::string& error) {
  return CheckPath(path, {".html", ".htm"}, "a report is written as .html", error);
}

std::string StmTableText(const CStmModel& model, bool json) {
  const std::vector<SCase> cases = Collect(model);
  return json ? Json(model, cases) : Csv(cases);
}

std::string StmReportText(const CStmModel& model, const std::string& name, const std::string& png) {
  const std::vector<SCase> cases = Collect(model);
  const std::string force = model.GetUnitForce().c_str();
  const std::string length = model.GetUnitLength().c_str();
  const SStmMaterials& m = model.GetMaterials();
  const std::string stress = force + "/" + length + "\u00b2";
  char date[32] = "";
  const std::time_t now = std::time(nullptr);
  std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&now));
  const std::string title = !name.empty() ? name : std::string(StmText("Strut-and-tie model").c_str());

  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" << Html(title)
      << "</title>\n<style>body{font-family:sans-serif;margin:2em;color:#222}"
         "table{border-collapse:collapse;margin:0.5em 0 1.5em}th,td{border:1px solid #bbb;padding:2px 8px;"
         "text-align:right}th{background:#eee}td.t{text-align:left}tr.over td{background:#fbd5d5}"
         "img{max-width:100%;border:1px solid #bbb}</style></head><body>\n";
  out << "<h1>" << Html(title) << "</h1>\n";
  if (!model.GetDescription().IsEmpty()) out << "<p>" << Html(model.GetDescription()) << "</p>\n";
  out << "<p>" << Html(StmText("Design code")) << ": " << CodeName(m.eCode) << " &middot; "
      << Html(StmText("Units")) << ": " << Html(force) << ", " << Html(length) << " &middot; " << date << "</p>\n";
  out << "<table><tr><th>f'c / f_ck</th><th>E_c</th><th>f_y</th><th>E_s</th><th>" << Html(StmText("thickness"))
      << "</th><th>" << Html(StmText("cover")) << "</th></tr><tr><td>" << Number(m.dConcreteStrength) << "</td><td>"
      << Number(m.dConcreteModulus) << "</td><td>" << Number(m.dSteelYield) << "</td><td>" << Number(m.dSteelModulus)
      << "</td><td>" << Number(m.dThickness) << "</td><td>" << Number(m.dCover) << "</td></tr></table>\n";
  out << "<p>" << Html(StmText("Stresses in")) << " " << Html(stress) << ".</p>\n";
  if (!png.empty()) out << "<p><img alt=\"" << Html(title) << "\" src=\"data:image/png;base64," << Base64(png) << "\"></p>\n";
  const CString& error = model.GetCheckResults().strError;
  if (!error.IsEmpty()) out << "<p><strong>" << Html(StmText("Not checked")) << ":</strong> " << Html(error) << "</p>\n";
  if (cases.empty()) out << "<p>" << Html(StmText("The model has not been analysed.")) << "</p>\n";

  for (const SCase& c : cases) {
    out << "<h2>" << Html(c.name) << "</h2>\n";
    out << "<p>" << Html(CStmChecks::Summary(model, static_cast<int>(&c - cases.data()))) << "</p>\n";
    const auto section = [&](const char* kind, const char* heading, const char* header) {
      bool any = false;
      for (const SRow& r : c.rows) any |= std::strcmp(r.kind, kind) == 0;
      if (!any) return;
      out << "<h3>" << Html(StmText(heading)) << "</h3>\n<table><tr>" << header << "</tr>\n";
      for (const SRow& r : c.rows) {
        if (std::strcmp(r.kind, kind) != 0) continue;
        out << (r.over ? "<tr class=\"over\">" : "<tr>") << "<td class=\"t\">" << Html(r.name) << "</td>";
        if (std::strcmp(kind, "member") == 0) {
          out << "<td class=\"t\">" << r.type << "</td><td>" << Fixed(r.force) << "</td><td>" << Fixed(r.widthRequired)
              << "</td><td>" << Fixed(r.widthAvailable) << "</td><td>" << Fixed(r.steelRequired) << "</td><td>"
              << Fixed(r.steelProvided) << "</td><td>" << Fixed(r.capacity) << "</td>";
        } else if (std::strcmp(kind, "node") == 0) {
          out << "<td class=\"t\">" << Html(r.type) << "</td><td>" << Number(r.capacity) << "</td>";
        } else if (std::strcmp(kind, "support") == 0) {
          out << "<td>" << Fixed(r.reaction[0]) << "</td><td>" << Fixed(r.reaction[1]) << "</td><td>"
              << Fixed(r.reaction[2]) << "</td>";
        } else {
          out << "<td>" << Fixed(r.force) << "</td><td>" << Fixed(r.capacity) << "</td>";
        }
        if (std::strcmp(kind, "support") != 0)
          out << "<td>" << Percent(r.utilisation) << "</td><td class=\"t\">" << Html(r.clause) << "</td><td class=\"t\">"
              << Html(r.flags) << "</td>";
        out << "</tr>\n";
      }
      out << "</table>\n";
    };
    const std::string f = " [" + Html(force) + "]", l = " [" + Html(length) + "]", a = " [" + Html(length) + "\u00b2]";
    section("member", "Members",
            ("<th>" + Html(StmText("member")) + "</th><th>" + Html(StmText("type")) + "</th><th>" + Html(StmText("force")) +
             f + "</th><th>" + Html(StmText("width needed")) + l + "</th><th>" + Html(StmText("width available")) + l +
             "</th><th>" + Html(StmText("steel needed")) + a + "</th><th>" + Html(StmText("steel provided")) + a +
             "</th><th>" + Html(StmText("capacity")) + f + "</th><th>" + Html(StmText("utilisation")) + "</th><th>" +
             Html(StmText("clause")) + "</th><th>" + Html(StmText("flags")) + "</th>")
                .c_str());
    section("node", "Nodes",
            ("<th>" + Html(StmText("node")) + "</th><th>" + Html(StmText("type")) + "</th><th>" +
             Html(StmText("face stress limit")) + " [" + Html(stress) + "]</th><th>" + Html(StmText("utilisation")) +
             "</th><th>" + Html(StmText("clause")) + "</th><th>" + Html(StmText("flags")) + "</th>")
                .c_str());
    section("support", "Support reactions",
            ("<th>" + Html(StmText("node")) + "</th><th>Rx" + f + "</th><th>Ry" + f + "</th><th>Rz" + f + "</th>").c_str());
    section("plate", "Bearing plates",
            ("<th>" + Html(StmText("node")) + "</th><th>" + Html(StmText("force")) + f + "</th><th>" +
             Html(StmText("capacity")) + f + "</th><th>" + Html(StmText("utilisation")) + "</th><th>" +
             Html(StmText("clause")) + "</th><th>" + Html(StmText("flags")) + "</th>")
                .c_str());
  }
  out << "</body></html>\n";
  return out.str();
}

bool StmWriteTable(const CStmModel& model, const std::string& path, std::string& error) {
  if (!StmCheckTablePath(path, error)) return false;
  return WriteWhole(path, StmTableText(model, IsJson(path)), error);
}

bool StmWriteReport(const CStmModel& model, const std::string& name, const std::string& png, const std::string& path,
                    std::string& error) {
  if (!StmCheckReportPath(path, error)) return false;
  return WriteWhole(path, StmReportText(model, name, png), error);
}
