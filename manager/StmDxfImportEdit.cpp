// The scene side of the DXF import.
#include "manager/StmDxfImportEdit.h"

#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

bool StmImportDxfDrawing(CStmUbManager& manager, const SStmDxfDrawing& drawing, std::string& error) {
  CStmModel* model = manager.GetStmModel();
  if (model == nullptr) {
    error = StmText("there is no model to import into").c_str();
    return false;
  }
  if (model->GetCountBoundary(STM_BOUNDARY_OUTER, 1) > 0) {
    error = StmText("the model has an outer outline already; delete it before importing one").c_str();
    return false;
  }
  const int plane = model->GetPlane();
  {
    CUbHistoryBracket step(manager, StmText("Import drawing"));
    manager.AddBoundary(STM_BOUNDARY_OUTER, StmDxfModelPolygon(plane, drawing.outer), 1, 1);
    for (const auto& opening : drawing.openings)
      manager.AddBoundary(STM_BOUNDARY_INNER, StmDxfModelPolygon(plane, opening), 1, 1);
  }
  StmAddDxfGuidelines(drawing, *model);
  return true;
}
