#include "analysis/StmAnalysisPasses.h"

#include <algorithm>
#include <map>

#include "analysis/CStmChecks.h"
#include "host/model/CStmModel.h"

CStmTrussAnalysis::EStatus StmApplyAndCheck(CStmTrussAnalysis& analysis, CStmModel& model, int shownCase,
                                            CStmCheckCache* cache) {
  if (analysis.GetStatus() != CStmTrussAnalysis::kSolved) return analysis.GetStatus();
  analysis.Apply(model);
  // The first pass is only asked for widths; its bands and zones would all be drawn again.
  std::map<int, double> required;
  if (analysis.GetMissingMaterials() == 0) {
    for (const auto& [id, w] : CStmChecks::RequiredStrutWidths(model)) {
      if (analysis.IsWidthOpen(id)) required.emplace(id, w);
    }
  }
  if (!required.empty()) {
    const double modulus = model.GetMaterials().dConcreteModulus;
    std::map<int, double> stiffness;
    for (const auto& [id, w] : required) stiffness[id] = modulus * analysis.GetMemberThickness(id) * w;
    // Nothing Prepare took has changed but the stiffness, which Solve reads afresh.
    analysis.SetMemberStiffness(std::move(stiffness));
    // A second solve that fails leaves the first pass's forces applied, and checked.
    if (analysis.Solve() == CStmTrussAnalysis::kSolved) analysis.Apply(model);
  }
  CStmChecks::Run(model, shownCase, cache);
  return analysis.GetStatus();
}
