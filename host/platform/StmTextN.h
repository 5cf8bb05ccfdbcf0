// Texts with a count: the form that suits the count in the user's language, from the same
// "Eng_Stm" catalogue as StmText.
#pragma once

#include "host/platform/StmText.h"

// "%d object" / "%d objects"; marked for xgettext with the keyword StmTextN:1,2.
CString StmTextN(const char* singular, const char* plural, unsigned long count);
// The same form with the count put in: StmTextCount("%d node", "%d nodes", 1) is "1 node".
// Marked for xgettext with the keyword StmTextCount:1,2.
CString StmTextCount(const char* singular, const char* plural, unsigned long count);
