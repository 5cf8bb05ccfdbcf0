// Reads entity tooltips.
#include "StmTooltipTable.h"

#include <cctype>
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
