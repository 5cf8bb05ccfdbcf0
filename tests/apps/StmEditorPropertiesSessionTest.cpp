// The Properties panel as a user meets it: the model's thickness typed there changes how an
// indeterminate truss shares its load, and a bad number is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "host/model/CStmModel.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorPropertiesSessionTest : public StmEditorSessionFixture {};

}  // namespace
