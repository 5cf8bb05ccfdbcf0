// The outline and template tools as commands, with what every front end shares about them: the
// limits of the templates' settings, the prompt of the outline tools and the words for the
// outcome that only the main window hears of.
#pragma once

#include <functional>
#include <vector>

#include "CStmCommandTable.h"
#include "actions/StmTemplateTypes.h"
#include "host/platform/CString.h"
#include "host/platform/WinDefs.h"

class CStmModel;
class CStmUbRenderer;

// The settings a template tool takes from the user.
namespace StmTemplateLimits {
// More bays than this would not be told apart on screen.
constexpr int kMaxBays = 50;
constexpr double kMinRatio = 0.1;
constexpr double kMaxRatio = 100.0;
}  // namespace StmTemplateLimits

// The choices a template offers, each with its catalogue id, in the order they are shown.
template <class T>
struct SStmChoice {
  T value;
  const char* label;
};
const std::vector<SStmChoice<EStmTypeTrussPoint>>& StmTrussPointChoices();
// Each diagonal rises towards the first or the second point picked.
const std::vector<SStmChoice<EStmTypeTrussDirection>>& StmTrussDirectionChoices();
// The bottle shape's ties, by count.
const std::vector<SStmChoice<int>>& StmBottleTieChoices();
const std::vector<SStmChoice<EStmTypeCombinedMechanism>>& StmCombinedChoices();

// The outline, opening and area tools (Draw menu) and the four templates (Templates menu):
// enabled while the model takes edits, checked while their tool runs; start(action id) is the
// front end's way to start one.
std::vector<SStmCommand> StmOutlineCommands(CStmUbRenderer& wnd, CStmModel& model, const std::function<void(long)>& start);
std::vector<SStmCommand> StmTemplateCommands(CStmUbRenderer& wnd, CStmModel& model, const std::function<void(long)>& start);

// What the status line says while an outline tool waits for its elements.
CString StmOutlinePrompt();
// The status line's words for a message the outline tools send to the main window; empty for
// any other message.
CString StmOutlineOutcome(UINT message, WPARAM wParam, LPARAM lParam);
