// What every Analyse does after the truss is solved, in one place so that the editor and the
// command line cannot differ: the forces written back, the checks, and a second pass in which
// struts without a designed width take the width the checks require.
#pragma once

#include "analysis/CStmTrussAnalysis.h"

class CStmCheckCache;
class CStmModel;

// Takes a solved analysis (Solve done, nothing applied yet): applies it and checks the model for
// the case shown. Where the materials give the member stiffness, every strut without a designed
// width then takes E_c t w, w the largest width the checks require of it over all cases (one
// stiffness for every case, so combinations stay sums of cases), and the truss is solved, applied
// and checked once more. One extra pass, not an iteration to convergence: the second forces ask
// for slightly other widths, which are reported but not solved with again. Returns the status
// of the last solve; nothing is applied when it is not solved. Kept from one Analyse to the
// next, the analysis (its factorisation's symbolic part) and the cache make a re-analysis after a
// gesture cost less, with the answer of a fresh run; the kept analysis drops the widths of the
// pass before (SetMemberStiffness({})) before its first Prepare.
CStmTrussAnalysis::EStatus StmApplyAndCheck(CStmTrussAnalysis& analysis, CStmModel& model, int shownCase,
                                            CStmCheckCache* cache = nullptr);
