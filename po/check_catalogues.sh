#!/bin/sh
# The catalogues against the sources as they stand: extracts the texts afresh with the keywords of
# po/CMakeLists.txt, merges every catalogue with them and fails on any text untranslated or fuzzy,
# so a newly marked text cannot ship in English by accident.
#   check_catalogues.sh SOURCE_DIR LANGUAGE...
set -eu
source_dir=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$source_dir"
sources=$(ls platform/*.cpp platform/*.h draw/*.cpp ui/*.cpp ui/*.h cards/*.cpp store/*.cpp store/*.h store/dialogs/*.cpp store/dialogs/*.h \
    audio/*.cpp artwork/*.cpp framework/*.cpp framework/*.h games/*.cpp games/*.h rules/*.cpp rules/*.h \
    shell/*.cpp shell/*.h | LC_ALL=C sort)
xgettext --language=C++ --from-code=UTF-8 --add-comments=Translators: --keyword --keyword=Translate:1,1t \
    --keyword=Translate:1c,2,2t --keyword=TranslateLater:1,1t --keyword=TranslateLater:1c,2,2t \
    --keyword=TranslatePlural:1,2 -o "$work/current.pot" $sources
xgettext --join-existing -o "$work/current.pot" desktop/quillfen-solitaire.desktop \
    desktop/io.github.quillfen.Solitaire.metainfo.xml
status=0
for language in "$@"; do
    msgmerge --quiet --no-fuzzy-matching -o "$work/$language.po" "po/$language.po" "$work/current.pot"
    report=$(LC_ALL=C msgfmt --check --statistics -o /dev/null "$work/$language.po" 2>&1)
    case $report in
        *untranslated*|*fuzzy*) echo "po/$language.po: $report"; status=1 ;;
        *) echo "po/$language.po: $report" ;;
    esac
done
exit $status
