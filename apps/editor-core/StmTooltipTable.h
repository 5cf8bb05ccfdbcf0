// Reads the small HTML tables the entities give as tooltips into rows of plain cells, which the
// overlay lays out as a table of its own.
#pragma once

#include <string>
#include <vector>

using StmTooltipRows = std::vector<std::vector<std::string>>;

// Rows from <tr>, cells from <td>, line breaks from <br>; other tags are dropped, the common
// entities decoded, cells trimmed, and empty rows left out.
StmTooltipRows StmReadTooltipTable(const std::string& html);

// Shows the numbers of entity tooltips as the model wants them: coordinates, lengths and scale
// factors to its decimals (the entities give four, so more than four keeps those), coordinates
// and lengths in its length unit and forces in its force unit. A node type the model cannot tell
// yet is left out rather than shown as "-".
void StmPresentTooltip(StmTooltipRows& rows, int decimals, const std::string& unitLength,
                       const std::string& unitForce);
