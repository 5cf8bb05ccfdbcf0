// Reads the small HTML tables the entities give as tooltips into rows of plain cells, which the
// overlay lays out as a table of its own.
#pragma once

#include <string>
#include <vector>

using StmTooltipRows = std::vector<std::vector<std::string>>;

// Rows from <tr>, cells from <td>, line breaks from <br>; other tags are dropped, the common
// entities decoded, cells trimmed, and empty rows left out.
StmTooltipRows StmReadTooltipTable(const std::string& html);
