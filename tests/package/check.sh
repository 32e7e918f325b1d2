#!/usr/bin/env bash
# Checks the Debian package as a user would meet it: builds it from the existing build (nothing is
# compiled), runs lintian, validates the desktop entry and the software-centre metadata, unpacks
# the package into a scratch root, looks at what it holds, and runs the unpacked program under a
# virtual X server with no QUILLFEN_DATA_DIR, so only the installed data can be found.
#   tests/package/check.sh BUILD_DIR
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
package=quillfen-solitaire
fail() { echo "package check: $*" >&2; exit 1; }

deb=$("$source/debian/build-package.sh" "$build" "$build/deb")
lintian --fail-on error "$deb" 2>&1 | { grep -v 'root privileges' || true; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
share=$root/usr/share

desktop-file-validate "$share/applications/$package.desktop"
appstreamcli validate --no-net "$share/metainfo/io.github.quillfen.Solitaire.metainfo.xml"

# What the package must hold, and what it must not.
for size in 16 24 32 48 64 128 256 512; do
    icon=$share/icons/hicolor/${size}x$size/apps/$package.png
    [ -f "$icon" ] || fail "missing $icon"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x$size" ] || fail "$icon is not $size pixels"
done
for file in icons/hicolor/scalable/apps/$package.svg man/man6/$package.6.gz doc/$package/copyright \
    doc/$package/changelog.gz $package/icon32.bmp $package/icon256.bmp; do
    [ -f "$share/$file" ] || fail "missing /usr/share/$file"
done
[ -x "$root/usr/games/$package" ] || fail "no program in /usr/games"
# Every language's catalogue where gettext looks, merged into the desktop entry and the metadata,
# and used by the installed program (which finds share/locale beside its data).
for language in $(grep -v '^#' "$source/po/LINGUAS"); do
    [ -f "$share/locale/$language/LC_MESSAGES/$package.mo" ] || fail "no $language catalogue"
    grep -q "^Comment\[$language\]=" "$share/applications/$package.desktop" || fail "no $language desktop comment"
    grep -q "<summary xml:lang=\"$language\">" "$share/metainfo/io.github.quillfen.Solitaire.metainfo.xml" ||
        fail "no $language summary in the metadata"
    # The manual in the language, describing every option the English one does.
    page=$share/man/$language/man6/$package.6.gz
    [ -f "$page" ] || fail "no $language manual page"
    for option in $(grep -o '\\-\\-[a-z\\-]*[a-z]' "$source/desktop/$package.6" | sort -u); do
        zcat "$page" | grep -qF -- "$option" || fail "the $language manual page lacks $option"
    done
done
LANGUAGE= LC_ALL= LC_MESSAGES= LANG=de_DE.UTF-8 "$root/usr/games/$package" --help | grep -q 'Kartenspiele' ||
    fail "the installed program does not speak German under LANG=de_DE.UTF-8"
unexpected=$(cd "$root" && find . -type f | grep -vE '^\./usr/(games|share/(quillfen-solitaire|applications|metainfo|icons/hicolor|man/([a-z]+/)?man6|doc/quillfen-solitaire|locale/[a-z]+/LC_MESSAGES))/' || true)
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"
if (cd "$root" && find . -iname '*test*' | grep -q .); then fail "test files packaged"; fi
dpkg-deb -f "$deb" Depends | grep -q 'timgm6mb-soundfont' || fail "the soundfont is not a dependency"
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2' || fail "library dependencies were not computed"

# The command line of the installed program.
program=$root/usr/games/$package
version=$(dpkg-deb -f "$deb" Version)
[ "$("$program" --version)" = "$package $version" ] || fail "--version does not say $version"
"$program" --help | grep -q -- '--classic-window' || fail "--help lists no window options"
status=0
"$program" --no-such-option 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, not 2"

# Start, logo, player dialog, selection screen, Escape, exit status 0. The program also starts
# without its data (showing black screens), so the pictures captured on the way must show the
# artwork; and nothing may be written inside the installed tree.
touch "$scratch/started"
mkdir "$scratch/shots"
env -u QUILLFEN_DATA_DIR SDL_AUDIODRIVER=dummy SMOKE_SHOTS="$scratch/shots" \
    "$source/tests/shell/xvfb_smoke.sh" "$program"
for shot in "$scratch/shots/1.png" "$scratch/shots/2.png"; do
    [ -f "$shot" ] || fail "no picture of the window was taken"
    colours=$(identify -format '%k' "$shot")
    [ "$colours" -ge 200 ] || fail "the window shows $colours colours: was the installed data found?"
done
written=$(find "$root" -newer "$scratch/started")
[ -z "$written" ] || fail "the program wrote into the installed tree: $written"
echo "package check: $deb ok"
