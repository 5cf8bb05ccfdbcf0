# Shared by update-pot.sh and the catalogue test: which files hold user texts and how they are
# extracted. Sourced, not run.
stm_extract_pot() {
  local out=$1
  local files
  files=$(git ls-files -co --exclude-standard -- geometry entities manager render actions dialogs host analysis apps \
            | grep -E '\.(h|cpp)$' | LC_ALL=C sort)
  # xgettext warns about every non-ASCII id; the Korean ids are meant to be there.
  # shellcheck disable=SC2086
  xgettext --from-code=UTF-8 --language=C++ --keyword=StmText --keyword=StmQtText --keyword=StmTextN:1,2 --keyword=StmTextCount:1,2 --keyword=StmTextNoop \
    --package-name=stmview --sort-output --no-location --force-po -o "$out" $files 2>/dev/null
  # The creation date would make every extraction differ from the checked-in file.
  sed -i -e '/^"POT-Creation-Date:/d' -e 's/charset=CHARSET/charset=UTF-8/' "$out"
}
