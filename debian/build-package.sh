#!/usr/bin/env bash
# Builds the binary package from an existing CMake build, without compiling anything: installs
# the build into a staging root, strips the programs, adds the package's documents, computes the
# shared-library dependencies and writes <out>/quillfen-solitaire_<version>_<arch>.deb.
#   debian/build-package.sh [BUILD_DIR] [OUT_DIR]     (defaults: build, BUILD_DIR/deb)
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source/build}" && pwd)
out=${2:-$build/deb}
mkdir -p "$out"
out=$(cd "$out" && pwd)
package=quillfen-solitaire

# The packaging tools expect a source tree's layout: debian/control, debian/changelog and the
# package's root in debian/<package>. A work folder provides it so the source tree stays clean.
work=$out/work
root=$work/debian/$package
rm -rf "$work" "$out/${package}_"*.deb
mkdir -p "$work/debian"
cp "$source/debian/control" "$source/debian/changelog" "$work/debian/"
cd "$work"
umask 022

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

# Programs lose their debugging sections, as every Debian package's do.
mapfile -t programs < <(find "$root/usr/games" "$root/usr/bin" -type f 2>/dev/null)
for program in "${programs[@]}"; do
    strip --strip-unneeded --remove-section=.comment --remove-section=.note "$program"
done

doc=$root/usr/share/doc/$package
install -d "$doc"
install -m 644 "$source/debian/copyright" "$doc/copyright"
gzip -9nc "$source/debian/changelog" >"$doc/changelog.gz"
find "$root/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} +

# Nothing from the build machine may leak into the package.
if leaked=$(grep -rlF -e "$source" -e "$build" "$root"); then
    echo "build paths found in: $leaked" >&2
    exit 1
fi

# Same bytes for the same build: every time stamp is the release's date.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l debian/changelog -STimestamp)
export SOURCE_DATE_EPOCH
find "$root" -type d -exec chmod 755 {} +
find "$root" -type f -exec chmod 644 {} +
chmod 755 "${programs[@]}"

printf 'misc:Depends=\n' >debian/substvars
dpkg-shlibdeps -Tdebian/substvars "${programs[@]/#/-e}" 2>&1 |
    { grep -v 'should already be installed' || true; } >&2
install -d "$root/DEBIAN"
(cd "$root" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/md5sums"
dpkg-gencontrol -p$package -Tdebian/substvars -Pdebian/$package
find "$root" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +

dpkg-deb --root-owner-group -Zxz --build "$root" "$out" >/dev/null
version=$(dpkg-parsechangelog -l debian/changelog -SVersion)
deb=$out/${package}_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb
[ -f "$deb" ] || { echo "no package written: $deb" >&2; exit 1; }
echo "$deb"
