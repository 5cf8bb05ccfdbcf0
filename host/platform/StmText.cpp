// Catalogue lookup over libintl.
#include "host/platform/StmTextN.h"

#include <libintl.h>

#include <clocale>

CString StmText(const char* id) {
  if (!id || !*id) return CString();  // gettext answers "" with the catalogue header
  return CString(dgettext(kStmTextDomain, id));
}

CString StmTextN(const char* singular, const char* plural, unsigned long count) {
  return CString(dngettext(kStmTextDomain, singular, plural, count));
}

CString StmTextCount(const char* singular, const char* plural, unsigned long count) {
  CString text;
  text.Format(StmTextN(singular, plural, count).c_str(), static_cast<int>(count));
  return text;
}

CString StmLockedModelText() {
  return StmText("The model is locked: it holds analysis results, and editing would make them wrong. Nothing was changed.");
}

bool StmBindCatalogue(const char* localeDir) {
  if (!bindtextdomain(kStmTextDomain, localeDir)) return false;
  return bind_textdomain_codeset(kStmTextDomain, "UTF-8") != nullptr;
}

bool StmFollowUserLanguage() { return std::setlocale(LC_MESSAGES, "") != nullptr; }
