// Writes the example models of examples/: three members drawn in the x-z plane in mm and kN,
// one of them analysed and checked as the editor's Analyse does it, with the load path that
// Results > Load path finds for its last combination.
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "host/model/StmMaterialDefaults.h"
#include "analysis/CStmLoadPath.h"
#include "analysis/CStmTrussAnalysis.h"
#include "analysis/StmAnalysisPasses.h"

namespace {

struct SMember {
  int begin, end;
};

CVector XZ(double x, double z) { return CVector(x, 0.0, z); }

void AddDefinitions(CStmModel& model) {
  CStmDataDefine& define = *model.GetStmDataDefine();
  define.AddStrutType(SStmStrutType{"Prismatic", 0, 1.0});
  define.AddStrutType(SStmStrutType{"Bottle-shaped", 1, 0.75});
  define.AddTieType(SStmTieType{"Stirrups 2-D13", 0, 0, 1, 13.0, 2});
  define.AddTieType(SStmTieType{"Main bars 4-D25", 0, 1, 1, 25.0, 4});
}

// Strut and tie types from the classification under the last (governing) load case.
void AssignTypes(CStmModel& model) {
  const int last = model.GetCountLoadConditionStatic() + model.GetCountLoadConditionCombo() - 1;
  for (const auto& [id, element] : model.GetElements()) {
    const CVector d = element->GetCoordEnd() - element->GetCoordBegin();
    const bool horizontal = std::fabs(d.z) < 1e-9;
    if (element->GetType(last) == STM_ELEMENT_STRUT) element->SetIndexStrutType(horizontal ? 0 : 1);
    if (element->GetType(last) == STM_ELEMENT_TIE) element->SetIndexTieType(horizontal ? 1 : 0);
  }
}

// Strut and tie types from a first analysis, as a designer sets them before the one that counts,
// which then runs as the editor's Analyse runs it, so that the file holds the editor's numbers.
bool Analyse(CStmModel& model) {
  if (CStmTrussAnalysis().Run(model) != CStmTrussAnalysis::kSolved) return false;
  AssignTypes(model);
  model.ClearResults();
  CStmTrussAnalysis analysis;
  analysis.Prepare(model);
  analysis.Solve();
  return StmApplyAndCheck(analysis, model, 0) == CStmTrussAnalysis::kSolved;
}


// The load path of the concrete for the last combination, as Results > Load path finds it, and the
// outline's reference segments.
bool AddLoadPath(CStmModel& model, double width, double height) {
  const int last = model.GetCountLoadConditionStatic() + model.GetCountLoadConditionCombo() - 1;
  // 100 mm cells (30 across the beam) keep the example's file small.
  SStmMaterials materials = model.GetMaterials();
  materials.loadPath.dElementSize = 100.0;
  model.SetMaterials(materials);
  CStmLoadPath loadPath;
  if (loadPath.Run(model, last) != CStmLoadPath::kSolved) {
    std::fprintf(stderr, "stm-example-gen: load path: %s\n", loadPath.GetError().c_str());
    return false;
  }
  model.SetBoundaryRefs({SStmSegment{XZ(0, 0), XZ(width, 0)}, SStmSegment{XZ(width, 0), XZ(width, height)},
                         SStmSegment{XZ(width, height), XZ(0, height)}, SStmSegment{XZ(0, height), XZ(0, 0)}});
  return true;
}

void CommonSettings(CStmModel& model, const char* description, double width, double height, EStmDesignCode code,
                    double thickness) {
  model.SetDescription(description);
  model.SetUnitLength("mm");
  model.SetUnitForce("kN");
  SStmMaterials materials;
  StmDefaultMaterials(code, "kN", "mm", materials);
  materials.dThickness = thickness;
  model.SetMaterials(materials);
  model.SetPlane(STM_PLANE_XZ);
  CStmDataView& view = *model.GetStmDataView();
  view.SetGridSpace(CVector(100.0, 100.0, 100.0));
  // Guidelines at the member's edges, in thousandths of a millimetre.
  view.SetGuideline(0, {0.0, width * 1000.0});
  view.SetGuideline(2, {0.0, height * 1000.0});
  view.SetFixedPointNumber(1);
}

void AddNodes(CStmModel& model, const std::vector<CVector>& points) {
  for (const CVector& p : points) model.AddNode(p);
}

void AddElements(CStmModel& model, const std::vector<SMember>& members) {
  for (const SMember& m : members) model.AddElement(m.begin, m.end, SStmPropElement(0, 2, 0.0));
}

bool DeepBeam(CStmModel& model) {
  CommonSettings(model,
                 "Deep transfer beam 3000 x 1500 mm, 400 mm thick, with a 600 x 400 mm opening, two column loads. "
                 "Forces, reactions, widths, nodal zones, checks (ACI 318-19) and the load path of the ULS+10% "
                 "combination are the program's own.",
                 3000.0, 1500.0, STM_CODE_ACI_318_19, 400.0);
  AddNodes(model, {XZ(250, 100), XZ(2750, 100), XZ(1000, 1400), XZ(2000, 1400), XZ(1200, 500), XZ(1800, 500),
                   XZ(1800, 900), XZ(1200, 900), XZ(1200, 100), XZ(1800, 100)});
  AddElements(model, {{1, 9}, {9, 10}, {10, 2}, {1, 3}, {2, 4}, {3, 4}, {9, 5}, {10, 6}, {5, 6}, {6, 7}, {7, 8},
                      {8, 5}, {3, 8}, {4, 7}, {1, 5}, {2, 6}, {3, 7}, {5, 10}});
  model.GetElement(17)->SetStableElement(1);
  model.SetBoundary(STM_BOUNDARY_OUTER, {XZ(0, 0), XZ(3000, 0), XZ(3000, 1500), XZ(0, 1500)});
  // The ring around the opening, given out of order as a user would select it.
  if (!model.SetBoudaryByElementGroup(STM_BOUNDARY_INNER, {11, 9, 12, 10}, -1)) return false;
  SStmDof pin, roller;
  pin.Ux = pin.Uz = 1;
  roller.Uz = 1;
  model.AddRestraint(1, pin);
  model.AddRestraint(2, roller);
  for (int id : {1, 2}) model.AddBearingPlate(id, SStmPropBearingPlate{250.0, 25.0});
  for (int id : {3, 4}) model.AddBearingPlate(id, SStmPropBearingPlate{400.0, 30.0});
  model.AddLoadConditionStatic("DL");
  model.AddLoadConditionStatic("LL");
  model.AddLoadNode("DL", 3, CVector(0, 0, -450));
  model.AddLoadNode("DL", 4, CVector(0, 0, -450));
  model.AddLoadNode("LL", 3, CVector(0, 0, -300));
  model.AddLoadNode("LL", 4, CVector(0, 0, -150));
  model.AddLoadConditionCombo("ULS");
  model.AddComboFactor("ULS", "DL", CStmObjLoadComboFactor::kTypeStatic, 1.2);
  model.AddComboFactor("ULS", "LL", CStmObjLoadComboFactor::kTypeStatic, 1.6);
  model.AddLoadConditionCombo("ULS+10%");
  model.AddComboFactor("ULS+10%", "ULS", CStmObjLoadComboFactor::kTypeCombo, 1.1);
  AddDefinitions(model);
  if (!Analyse(model)) return false;
  if (!AddLoadPath(model, 3000.0, 1500.0)) return false;
  model.SetInputModel(0);
  model.GetStmDataView()->SetShowOption(STM_SHOW_WIDTHS | STM_SHOW_NODAL_ZONES, 1);
  return true;
}

bool Corbel(CStmModel& model) {
  CommonSettings(model,
                 "Column corbel: 400 mm column, corbel projecting 450 mm, 500 mm deep at the column face, "
                 "bearing 300 mm from the face. Input model without results.",
                 850.0, 2400.0, STM_CODE_ACI_318_19, 400.0);
  // Column from z = 0 to 2400; corbel on the right from z = 1300 (sloped underside) to 1800.
  AddNodes(model, {XZ(80, 0), XZ(320, 0), XZ(80, 1720), XZ(320, 1720), XZ(700, 1720), XZ(320, 1400),
                   XZ(80, 2400), XZ(320, 2400)});
  AddElements(model, {{1, 3}, {2, 6}, {6, 4}, {3, 4}, {4, 5}, {6, 5}, {3, 7}, {4, 8}, {7, 8}, {3, 6}, {1, 6}});
  model.SetBoundary(STM_BOUNDARY_OUTER, {XZ(0, 0), XZ(400, 0), XZ(400, 1300), XZ(850, 1550), XZ(850, 1800),
                                         XZ(400, 1800), XZ(400, 2400), XZ(0, 2400)});
  SStmDof fixed;
  fixed.Ux = fixed.Uz = 1;
  model.AddRestraint(1, fixed);
  model.AddRestraint(2, fixed);
  SStmDof slide;
  slide.Ux = 1;
  model.AddRestraint(7, slide);
  model.AddRestraint(8, slide);
  model.AddBearingPlate(5, SStmPropBearingPlate{150.0, 20.0});
  model.AddLoadConditionStatic("DL");
  model.AddLoadConditionStatic("LL");
  model.AddLoadNode("DL", 5, CVector(0, 0, -180));
  model.AddLoadNode("LL", 5, CVector(40, 0, -120));
  model.AddLoadNode("DL", 7, CVector(0, 0, -600));
  model.AddLoadNode("DL", 8, CVector(0, 0, -600));
  model.AddLoadConditionCombo("ULS");
  model.AddComboFactor("ULS", "DL", CStmObjLoadComboFactor::kTypeStatic, 1.2);
  model.AddComboFactor("ULS", "LL", CStmObjLoadComboFactor::kTypeStatic, 1.6);
  AddDefinitions(model);
  model.GetStmDataView()->SetTypeNamingNode(STM_NAMING_LETTER);
  model.GetStmDataView()->SetTypeNamingElement(STM_NAMING_LETTER);
  model.RenameObject();
  return true;
}

bool PileCap(CStmModel& model) {
  CommonSettings(model,
                 "Two-pile cap 2400 x 900 mm under a 500 mm column, piles 600 mm diameter at 1600 mm centres "
                 "modelled as vertical springs. Input model without results.",
                 2400.0, 900.0, STM_CODE_EN_1992_1_1, 900.0);
  AddNodes(model, {XZ(400, 100), XZ(2000, 100), XZ(1075, 800), XZ(1325, 800)});
  AddElements(model, {{1, 2}, {1, 3}, {2, 4}, {3, 4}, {1, 4}});
  model.SetBoundary(STM_BOUNDARY_OUTER, {XZ(0, 0), XZ(2400, 0), XZ(2400, 900), XZ(0, 900)});
  model.AddSpring(1, CVector(0, 0, 250.0), CVector());
  model.AddSpring(2, CVector(0, 0, 250.0), CVector());
  SStmDof lateral;
  lateral.Ux = 1;
  model.AddRestraint(1, lateral);
  for (int id : {1, 2}) model.AddBearingPlate(id, SStmPropBearingPlate{600.0, 0.0});
  model.AddLoadConditionStatic("DL");
  model.AddLoadConditionStatic("LL");
  model.AddLoadNode("DL", 3, CVector(0, 0, -900));
  model.AddLoadNode("DL", 4, CVector(0, 0, -900));
  model.AddLoadNode("LL", 3, CVector(0, 0, -500));
  model.AddLoadNode("LL", 4, CVector(0, 0, -500));
  model.AddLoadConditionCombo("ULS");
  model.AddComboFactor("ULS", "DL", CStmObjLoadComboFactor::kTypeStatic, 1.2);
  model.AddComboFactor("ULS", "LL", CStmObjLoadComboFactor::kTypeStatic, 1.6);
  AddDefinitions(model);
  // The compression fan over the piles is a region of its own.
  if (!model.AddPropertyArea({2, 4, 3, 1})) return false;
  model.GetPropertyArea(1, 0)->SetThickness(900.0);
  model.GetStmDataView()->SetTypeNamingNode(STM_NAMING_PREFIX);
  model.GetStmDataView()->SetTypeNamingElement(STM_NAMING_PREFIX);
  model.GetStmDataView()->SetTypeColor(STM_COLOR_LIGHT);
  model.RenameObject();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "examples";
  struct {
    const char* name;
    bool (*build)(CStmModel&);
  } const examples[] = {{"deep-beam-opening", DeepBeam}, {"corbel", Corbel}, {"pile-cap", PileCap}};
  for (const auto& example : examples) {
    CStmModel model;
    if (!example.build(model)) {
      std::fprintf(stderr, "%s: the example model could not be built\n", example.name);
      return 1;
    }
    std::string error;
    const std::string path = folder + "/" + example.name + ".stm.json";
    if (!CStmModelFile::Save(path, model, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    std::printf("%s\n", path.c_str());
  }
  return 0;
}
