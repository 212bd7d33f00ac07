#!/usr/bin/env bash
# Extracts the message ids of the embedded code into resources/po/messages.pot and merges them into the
# Czech, Danish and Dutch catalogues. New ids arrive untranslated (or fuzzy, with the previous id shown):
# translate them before committing; the catalogue test fails while any id lacks a translation.
#
#   scripts/update-po.sh                  extract and merge
#   scripts/update-po.sh --extract FILE   only write the extracted ids to FILE (the tests use this)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

languages=(cs da nl)

for tool in xgettext msgcat msgmerge; do
  command -v "$tool" >/dev/null || { echo "update-po.sh: $tool not found (Debian package gettext)" >&2; exit 1; }
done

# Texts are translated through gettext and pgettext (Libraries/base/i18n.h); N_ and NC_ (with its context)
# mark a text in a table or a static initialiser that is translated where it is shown. Texts translated from
# variables that no marker names, which xgettext cannot see, are listed in resources/po/runtime.pot and
# added, so that msgmerge keeps their translations.
extract() {
  local out="$1" sources
  sources=$(mktemp)
  find Libraries SourceApp SourceHost -type f \( -name '*.cpp' -o -name '*.cc' -o -name '*.h' \) |
    LC_ALL=C sort |
    xgettext --files-from=- --output="$sources" --force-po --from-code=UTF-8 --language=C++ \
      --keyword --keyword=gettext --keyword=pgettext:1c,2 --keyword=N_ --keyword=NC_:1c,2 --keyword=fmt_gettext --keyword=fmt_pgettext:1c,2 \
      --add-comments=TRANSLATORS: --add-location=file \
      --package-name=tdx410 --msgid-bugs-address=" "
  # xgettext leaves the charset open for plain-ASCII ids; the sources are UTF-8, and msgcat needs to know.
  sed -i 's/charset=CHARSET/charset=UTF-8/' "$sources"
  msgcat --use-first --add-location=file --output-file="$out" "$sources" resources/po/runtime.pot
  rm -f "$sources"
}

# Whether two templates differ in more than their creation date.
same_template() {
  cmp -s <(grep -v '^"POT-Creation-Date:' "$1") <(grep -v '^"POT-Creation-Date:' "$2")
}

if [ "${1:-}" = "--extract" ]; then
  [ $# -eq 2 ] || { echo "usage: update-po.sh [--extract FILE]" >&2; exit 2; }
  extract "$2"
  exit 0
fi
[ $# -eq 0 ] || { echo "usage: update-po.sh [--extract FILE]" >&2; exit 2; }

pot=resources/po/messages.pot
fresh=$(mktemp)
trap 'rm -f "$fresh"' EXIT
extract "$fresh"
if [ -f "$pot" ] && same_template "$fresh" "$pot"; then
  echo "messages.pot: no new or changed ids"
else
  cp "$fresh" "$pot"
fi
for lang in "${languages[@]}"; do
  msgmerge --quiet --update --backup=none --previous --add-location=file "resources/po/$lang.po" "$pot"
done

untranslated=0
for lang in "${languages[@]}"; do
  stats=$(msgfmt --statistics --output-file=/dev/null "resources/po/$lang.po" 2>&1)
  echo "$lang: $stats"
  case "$stats" in *untranslated* | *fuzzy*) untranslated=1 ;; esac
done
[ $untranslated -eq 0 ] || echo "Some ids lack a translation: translate them before committing."
