// Drawings in and out against the model's own file in the same run: a DXF of 10,000 entities
// read into a model against loading that model's JSON, and a model of 10,000 elements written
// as DXF, SVG and PDF against saving its JSON.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "StmBenchScene.h"
#include "StmDrawingExport.h"
#include "host/model/CStmModelFile.h"
#include "host/model/StmDxfImport.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string TempPath(const std::string& name) { return "/tmp/stm-bench-" + std::to_string(getpid()) + "-" + name; }

// An outer box with square openings in rows, every opening four LINEs that the reader chains:
// the work of a drawing whose outlines were drawn line by line.
void WriteOpeningsDxf(const std::string& path, int lines) {
  const int openings = lines / 4;
  int side = 1;
  while (side * side < openings) ++side;
  const double pitch = 300.0, hole = 100.0, size = side * pitch + pitch;
  std::ofstream out(path);
  out << "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
  out << "0\nLWPOLYLINE\n8\nOUTLINE\n90\n4\n70\n1\n10\n0\n20\n0\n10\n" << size << "\n20\n0\n10\n" << size << "\n20\n"
      << size << "\n10\n0\n20\n" << size << "\n";
  for (int k = 0; k < openings; ++k) {
    const double x = pitch + (k % side) * pitch, y = pitch + (k / side) * pitch;
    const double xs[] = {x, x + hole, x + hole, x, x}, ys[] = {y, y, y + hole, y + hole, y};
    for (int e = 0; e < 4; ++e) {
      out << "0\nLINE\n8\nOPENINGS\n10\n" << xs[e] << "\n20\n" << ys[e] << "\n11\n" << xs[e + 1] << "\n21\n" << ys[e + 1]
          << "\n";
    }
  }
  out << "0\nENDSEC\n0\nEOF\n";
}

void BM_DxfImportAgainstJsonLoad(benchmark::State& state) {
  const std::string dxf = TempPath("openings.dxf"), json = TempPath("openings.stm.json");
  WriteOpeningsDxf(dxf, static_cast<int>(state.range(0)));
  std::string error;
  {
    CStmModel model;
    SStmDxfDrawing drawing;
    if (!StmReadDxf(dxf, SStmDxfOptions(), drawing, error) || !StmApplyDxfDrawing(drawing, model, error) ||
        !CStmModelFile::Save(json, model, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  double import = 0.0, load = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    CStmModel imported;
    SStmDxfDrawing drawing;
    StmReadDxf(dxf, SStmDxfOptions(), drawing, error);
    StmApplyDxfDrawing(drawing, imported, error);
    const auto t1 = Clock::now();
    CStmModel loaded;
    CStmModelFile::Load(json, loaded, &error);
    const auto t2 = Clock::now();
    import += std::chrono::duration<double>(t1 - t0).count();
    load += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["import_over_json_load"] = load > 0.0 ? import / load : 0.0;
  state.counters["import_ms"] = import * 1e3 / static_cast<double>(state.iterations());
  state.counters["json_load_ms"] = load * 1e3 / static_cast<double>(state.iterations());
  std::remove(dxf.c_str());
  std::remove(json.c_str());
}

// Arg: the element count, then the format (0 DXF, 1 SVG, 2 PDF).
void BM_DrawingExportAgainstJsonSave(benchmark::State& state) {
  static const char* const extensions[] = {".dxf", ".svg", ".pdf"};
  const std::string drawing = TempPath(std::string("lattice") + extensions[state.range(1)]);
  const std::string json = TempPath("lattice.stm.json");
  CStmModel model;
  SLattice lattice;
  lattice.Build(model, static_cast<int>(state.range(0)));
  SBenchView view;
  if (!view.Open(state, model)) return;
  SStmDrawingOptions options;
  options.scale = 100;
  std::string error;
  double exported = 0.0, saved = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (!StmExportDrawing(view.manager, drawing, options, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    const auto t1 = Clock::now();
    CStmModelFile::Save(json, model, &error);
    const auto t2 = Clock::now();
    exported += std::chrono::duration<double>(t1 - t0).count();
    saved += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["export_over_json_save"] = saved > 0.0 ? exported / saved : 0.0;
  state.counters["export_ms"] = exported * 1e3 / static_cast<double>(state.iterations());
  state.counters["json_save_ms"] = saved * 1e3 / static_cast<double>(state.iterations());
  std::remove(drawing.c_str());
  std::remove(json.c_str());
}

}  // namespace

BENCHMARK(BM_DxfImportAgainstJsonLoad)->Name("dxf_import_vs_json_load")->Arg(10000)->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_DrawingExportAgainstJsonSave)
    ->Name("drawing_export_vs_json_save")
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({10000, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
