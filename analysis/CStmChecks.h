// The design checks of an analysed strut-and-tie model: each member's width or steel, the
// bands and nodal zones they take in the concrete, and the utilisation of every strut, tie,
// node and bearing plate under the model's design code, for every load case and combination.
#pragma once

#include <map>

#include "host/platform/CString.h"

class CStmModel;
struct SStmCheckResults;

class CStmChecks {
public:
  // Checks an analysed (locked) model and writes what it finds: the check results on the model,
  // each element's zones per case, each node's nodal and maximum zones per case, and the
  // effective regions of the case shown. A missing strength or thickness is named in the
  // results and nothing is computed. Returns false when nothing was checked.
  static bool Run(CStmModel& model, int shownCase);
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
  static bool Check(CStmModel& model, int shownCase, bool withRegions, SStmCheckResults& results);
};
