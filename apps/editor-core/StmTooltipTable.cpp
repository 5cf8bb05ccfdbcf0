// Reads entity tooltips.
#include "StmTooltipTable.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string Trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

bool TagIs(const std::string& tag, const char* name) {
  const size_t n = std::strlen(name);
  if (tag.size() < n || tag.compare(0, n, name) != 0) return false;
  return tag.size() == n || !std::isalnum(static_cast<unsigned char>(tag[n]));
}

// The cell's number to the decimals asked for, keeping a trailing comma; false when the cell is
// no number.
bool Rounded(std::string& cell, int decimals) {
  const bool comma = !cell.empty() && cell.back() == ',';
  const std::string number = comma ? cell.substr(0, cell.size() - 1) : cell;
  char* end = nullptr;
  double value = std::strtod(number.c_str(), &end);
  if (number.empty() || end != number.c_str() + number.size()) return false;
  if (decimals >= 4) return true;
  // Rounding must not leave a negative zero.
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  cell = std::string(text) + (comma ? "," : "");
  return true;
}

}  // namespace

StmTooltipRows StmReadTooltipTable(const std::string& html) {
  StmTooltipRows rows;
  std::vector<std::string> row;
  std::string cell;
  bool inCell = false;
  const auto endCell = [&] {
    if (inCell || !Trimmed(cell).empty()) row.push_back(Trimmed(cell));
    cell.clear();
    inCell = false;
  };
  const auto endRow = [&] {
    endCell();
    bool empty = true;
    for (const std::string& c : row) empty = empty && c.empty();
    if (!empty) rows.push_back(row);
    row.clear();
  };
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&nbsp;", " "}, {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}};
  for (size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      const size_t close = html.find('>', i);
      if (close == std::string::npos) break;
      std::string tag = html.substr(i + 1, close - i - 1);
      for (char& c : tag) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (TagIs(tag, "tr") || TagIs(tag, "/table") || TagIs(tag, "br")) endRow();
      if (TagIs(tag, "td") || TagIs(tag, "th")) {
        endCell();
        inCell = true;
      }
      i = close + 1;
      continue;
    }
    bool decoded = false;
    if (html[i] == '&') {
      for (const auto& [name, text] : kEntities) {
        if (html.compare(i, std::strlen(name), name) == 0) {
          cell += text;
          i += std::strlen(name);
          decoded = true;
          break;
        }
      }
    }
    if (!decoded) cell += html[i++];
  }
  endRow();
  return rows;
}

void StmPresentTooltip(StmTooltipRows& rows, int decimals, const std::string& unitLength,
                       const std::string& unitForce) {
  const auto withUnit = [](std::string& cell, const std::string& unit) {
    if (!unit.empty()) cell += " " + unit;
  };
  for (auto row = rows.begin(); row != rows.end();) {
    std::vector<std::string>& cells = *row;
    const std::string label = cells.empty() ? std::string() : cells[0];
    if (label == "Node Type" && cells.size() == 2 && cells[1] == "-") {
      row = rows.erase(row);
      continue;
    }
    if (cells.size() == 3 && !cells[1].empty() && cells[1].back() == ',') {
      // A name with the two coordinates of its point in the drawing plane.
      if (Rounded(cells[1], decimals) && Rounded(cells[2], decimals)) withUnit(cells[2], unitLength);
    } else if (cells.size() == 2 && label == "Length") {
      if (Rounded(cells[1], decimals)) withUnit(cells[1], unitLength);
    } else if (cells.size() == 2 && label == "Thickness Scale Factor") {
      Rounded(cells[1], decimals);
    } else if (cells.size() == 2 && label == "Axial Force") {
      withUnit(cells[1], unitForce);
    }
    ++row;
  }
}
