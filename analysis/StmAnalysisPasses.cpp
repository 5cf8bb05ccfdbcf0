#include "analysis/StmAnalysisPasses.h"

#include <algorithm>
#include <map>

#include "analysis/CStmChecks.h"
#include "host/model/CStmModel.h"

CStmTrussAnalysis::EStatus StmApplyAndCheck(CStmTrussAnalysis& analysis, CStmModel& model, int shownCase) {
  if (analysis.GetStatus() != CStmTrussAnalysis::kSolved) return analysis.GetStatus();
  analysis.Apply(model);
  if (!CStmChecks::Run(model, shownCase) || analysis.GetMissingMaterials() != 0) return analysis.GetStatus();

  // A strut's check has no steel; a tie's always asks for some.
  std::map<int, double> required;
  for (const SStmCheckCase& checked : model.GetCheckResults().cases) {
    for (const auto& [id, check] : checked.elements) {
      if (check.dSteelRequired != 0.0 || !(check.dWidthRequired > 0.0) || !analysis.IsWidthOpen(id)) continue;
      double& w = required[id];
      w = std::max(w, check.dWidthRequired);
    }
  }
  if (required.empty()) return analysis.GetStatus();
  const double modulus = model.GetMaterials().dConcreteModulus;
  std::map<int, double> stiffness;
  for (const auto& [id, w] : required) stiffness[id] = modulus * analysis.GetMemberThickness(id) * w;
  analysis.SetMemberStiffness(std::move(stiffness));
  analysis.Prepare(model);
  if (analysis.Solve() != CStmTrussAnalysis::kSolved) return analysis.GetStatus();
  analysis.Apply(model);
  CStmChecks::Run(model, shownCase);
  return analysis.GetStatus();
}
