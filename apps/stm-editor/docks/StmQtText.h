// A user text of the catalogue as Qt shows it; the catalogue's extraction knows this name.
#pragma once

#include <QString>

#include "host/platform/StmText.h"

inline QString StmQtText(const char* id) { return QString::fromUtf8(StmText(id).c_str()); }
