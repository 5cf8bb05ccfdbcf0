// Texts with a count: the form that suits the count in the user's language, from the same
// "Eng_Stm" catalogue as StmText.
#pragma once

#include "host/platform/StmText.h"

// "%d object" / "%d objects"; marked for xgettext with the keyword StmTextN:1,2.
CString StmTextN(const char* singular, const char* plural, unsigned long count);
