// The one way every user text is looked up: the "Eng_Stm" message catalogue, the id being the
// UTF-8 text itself, so that a missing translation shows the id.
#pragma once

#include "host/platform/CString.h"

constexpr const char* kStmTextDomain = "Eng_Stm";

// Marked for xgettext with the keyword StmText.
CString StmText(const char* id);

// Every edit refused on a model holding analysis results says the same.
CString StmLockedModelText();

// Binds the domain to a folder holding <lang>/LC_MESSAGES/Eng_Stm.mo; returns false when the
// folder cannot be bound. Hosts call it once at start-up; the layer itself never does.
bool StmBindCatalogue(const char* localeDir);

// Takes the user's language for messages only: every other category, numbers above all, stays
// "C", so that files and the numbers shown read "500.0" wherever the program runs. Hosts call
// it once at start-up; returns false when the user's setting names no installed locale.
bool StmFollowUserLanguage();
