// One input for a reader of archives, shared by the fuzz targets and the suite, so that every
// input a fuzzer once found stays a test (fuzz/crashers/) beside the seeds (fuzz/corpus/).
//
// The value reader takes the input as a little program: its first byte says how many values
// follow in the program (at most 64), the next bytes which kind each is; the rest is the
// archive. Whatever is read must write back to exactly the bytes it was read from.
//
// An entity reader loads the input into an entity of its class registered in a scene manager
// bound to a model. A refused archive must leave the entity as it was; a loaded one must keep
// the entity's kind and the container's index of positions true, give its tooltip, and write an
// archive that reads again to the same archive.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/CVector.h"
#include "host/model/CStmModel.h"
#include "host/platform/CArchive.h"
#include "manager/CStmUbManager.h"

namespace StmArchiveFuzz {

// The value reader's name, then every entity class whose archive is read.
inline const std::vector<std::string>& Readers() {
  static const std::vector<std::string> readers = {"CArchive",           "CStmEntityNode",        "CStmEntityElement",
                                                   "CStmEntityBoundary", "CStmEntityArea",        "CStmEntityGridPoint",
                                                   "CStmEntityGuideline"};
  return readers;
}

inline std::string ReadValues(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return {};
  const std::size_t count = data[0] % 65;
  if (size < 1 + count) return {};
  const std::uint8_t* program = data + 1;
  std::vector<std::uint8_t> bytes(data + 1 + count, data + size);
  std::vector<std::uint8_t> written;
  CArchive in(bytes, CArchive::load);
  CArchive out(written, CArchive::store);
  std::size_t consumed = 0;  // by the values read whole
  try {
    for (std::size_t i = 0; i < count; ++i, consumed = bytes.size() - in.GetRemaining()) {
      switch (program[i] % 6) {
        case 0: {
          std::int32_t v = 0;
          in >> v;
          out << v;
          break;
        }
        case 1: {
          std::uint32_t v = 0;
          in >> v;
          out << v;
          break;
        }
        case 2: {
          double v = 0.0;
          in >> v;
          out << v;
          break;
        }
        case 3: {
          CString v;
          in >> v;
          out << v;
          break;
        }
        case 4: {
          CVector v;
          in >> v;
          out << v;
          break;
        }
        default: {
          std::vector<CVector> v;
          in >> v;
          out << v;
          break;
        }
      }
    }
  } catch (const CArchiveException&) {
    // What was read before the refusal still has to write back the same.
  }
  if (written.size() != consumed || !std::equal(written.begin(), written.end(), bytes.begin()))
    return "values read do not write back to the bytes they came from";
  return {};
}

// Scene state that outlives one input: a manager and a model are costly to make per input.
struct SScene {
  SScene() { manager.SetStmModel(&model); }
  CStmModel model;
  CStmUbManager manager;
};

inline std::vector<std::uint8_t> Store(CUbEntityObj& entity) {
  std::vector<std::uint8_t> bytes;
  CArchive ar(bytes, CArchive::store);
  entity.Serialize(ar);
  return bytes;
}

inline std::string ReadEntity(SScene& scene, const std::string& className, const std::uint8_t* data,
                              std::size_t size) {
  CStmUbManager& manager = scene.manager;
  CUbEntityObj* entity = manager.CreateEntityObj(CString(className));
  if (!entity) return "no entity of class " + className;
  manager.AddEtt(entity, 0, 0);
  const int kind = entity->GetTypeEntity();
  const std::vector<std::uint8_t> before = Store(*entity);

  std::string problem;
  std::vector<std::uint8_t> bytes(data, data + size);
  bool loaded = false;
  try {
    CArchive ar(bytes, CArchive::load);
    entity->Serialize(ar);
    loaded = true;
  } catch (const CArchiveException&) {
  }
  CString why;
  if (!loaded) {
    if (Store(*entity) != before) problem = "a refused archive changed the entity";
  } else if (entity->GetTypeEntity() != kind) {
    problem = "the archive changed the entity's kind";
  } else if (!manager.CheckEttIndex(&why)) {
    problem = std::string("the index no longer matches the entity: ") + why.c_str();
  } else {
    entity->GetTooltipPropInfoTable();
    CCubeRange range;
    entity->GetRange(range);
    std::vector<std::uint8_t> saved = Store(*entity);
    CUbEntityObj* again = manager.CreateEntityObj(CString(className));
    try {
      CArchive ar(saved, CArchive::load);
      again->Serialize(ar);
      if (ar.GetRemaining() != 0 || Store(*again) != saved) problem = "what was written does not read back the same";
    } catch (const CArchiveException& e) {
      problem = std::string("what was written cannot be read: ") + e.What();
    }
    delete again;
  }
  manager.DeleteEtt(entity, 0, 0, 0);
  return problem;
}

// Empty when the reader handled the input as it should; otherwise what went wrong.
inline std::string ReadOne(SScene& scene, const std::string& reader, const std::uint8_t* data, std::size_t size) {
  if (reader == "CArchive") return ReadValues(data, size);
  return ReadEntity(scene, reader, data, size);
}

}  // namespace StmArchiveFuzz
