// The design checks of an analysed strut-and-tie model: each member's width or steel, the
// bands and nodal zones they take in the concrete, and the utilisation of every strut, tie,
// node and bearing plate under the model's design code, for every load case and combination.
#pragma once

#include <map>
#include <memory>

#include "host/platform/CString.h"

class CStmModel;
struct SStmCheckResults;

// What the checks keep from one run to the next on the same model. The room each member has in
// the concrete (the widest band about its axis, and that band clipped) depends on its ends and
// the outline alone, not on the forces: after a gesture only the members whose ends or the
// outline moved are measured again, and the answer is the one a fresh run gives.
class CStmCheckCache {
public:
  CStmCheckCache();
  ~CStmCheckCache();
  CStmCheckCache(const CStmCheckCache&) = delete;
  CStmCheckCache& operator=(const CStmCheckCache&) = delete;
  // Members whose room the last run measured rather than took from the cache.
  int GetCountMeasured() const;

private:
  friend class CStmChecks;
  struct SImpl;
  std::unique_ptr<SImpl> m_p;
};

class CStmChecks {
public:
  // Checks an analysed (locked) model and writes what it finds: the check results on the model,
  // each element's zones per case, each node's nodal and maximum zones per case, and the
  // effective regions of the case shown. A missing strength or thickness is named in the
  // results and nothing is computed. Returns false when nothing was checked. A cache given
  // keeps what does not depend on the forces for the next run on this model. The bands and zones
  // are shared out over that many threads (0: one per core); the answer is the same for any.
  static bool Run(CStmModel& model, int shownCase, CStmCheckCache* cache = nullptr, int threads = 0);
  // The largest width each strut requires over every case, as Run would find it, without the
  // bands and zones that make Run costly; empty when nothing can be checked. Leaves the model
  // as it is.
  static std::map<int, double> RequiredStrutWidths(CStmModel& model);
  // Gives every element the effective region of another case, from the zones Run wrote.
  static void ShowCase(CStmModel& model, int loadCase);
  // One line for the status bar: what is over capacity in the case ("2 struts and 1 node over
  // capacity"), what else was flagged, or "all checks pass"; the reason when nothing was checked.
  static CString Summary(const CStmModel& model, int loadCase);

private:
  static bool Check(CStmModel& model, int shownCase, CStmCheckCache* cache, int threads, SStmCheckResults* results,
                    std::map<int, double>* required);
};
