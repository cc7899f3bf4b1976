#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Usage: check_package.sh BUILD_DIR VERSION
# Installs the build into a scratch root as a package would (DESTDIR, prefix /usr), checks
# what lands there (the change history and copyright among it) and runs both programs from
# it; then makes the Debian package and checks its contents and declared dependencies.
set -euo pipefail
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
(cd "$scratch/root" && find . -type f | sort) >"$scratch/files"
echo "Installed files:"
cat "$scratch/files"
cat >"$scratch/expected" <<'LIST'
./usr/bin/ordano
./usr/bin/ordano-cli
./usr/share/applications/ordano.desktop
./usr/share/doc/ordano/changelog.gz
./usr/share/doc/ordano/copyright
./usr/share/icons/hicolor/scalable/apps/ordano.svg
./usr/share/man/man1/ordano-cli.1.gz
./usr/share/man/man1/ordano.1.gz
LIST
diff -u "$scratch/expected" "$scratch/files" || fail "installed files differ"

for program in ordano-cli ordano; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/root/usr/bin/$program" --version)
    echo "$out"
    [ "$(head -n 1 <<<"$out")" = "$program $version" ] || fail "$program --version: $out"
    grep -Eq '^Qt 6\.[0-9]+\.[0-9]+$' <<<"$out" || fail "$program: no Qt version"
    grep -Eq '^libcurl [0-9]+\.[0-9]+' <<<"$out" || fail "$program: no libcurl version"
    grep -Eq '^SQLite 3\.[0-9]+\.[0-9]+$' <<<"$out" || fail "$program: no SQLite version"
done

desktop=$scratch/root/usr/share/applications/ordano.desktop
grep -qx 'Exec=ordano' "$desktop" || fail "desktop entry runs something else"
grep -qx 'Icon=ordano' "$desktop" || fail "desktop entry names another icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry not valid"
fi
zcat "$scratch/root/usr/share/man/man1/ordano-cli.1.gz" >"$scratch/manual"
grep -q '^\.TH ORDANO\\-CLI 1' "$scratch/manual" || fail "ordano-cli manual page"

# The change history has one entry per version, the latest for this version, in the format
# Debian reads; the copyright file gives Ordano's license.
doc=$scratch/root/usr/share/doc/ordano
zcat "$doc/changelog.gz" >"$scratch/changelog"
versions=$(dpkg-parsechangelog -l "$scratch/changelog" --all -S Version 2>"$scratch/parse") ||
    fail "changelog not readable"
[ ! -s "$scratch/parse" ] || fail "changelog: $(cat "$scratch/parse")"
[ "$(head -n 1 <<<"$versions")" = "$version" ] || fail "changelog's latest entry is not $version"
[ -z "$(sort <<<"$versions" | uniq -d)" ] || fail "changelog has two entries of one version"
grep -q '^License: Apache-2.0$' "$doc/copyright" || fail "copyright file without Apache-2.0"

(cd "$build" && cpack -G DEB -B "$scratch/deb" >/dev/null)
deb=$(ls "$scratch"/deb/ordano_"$version"_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in qt6-translations-l10n libqt6widgets6 libcurl4 libsqlite3-0; do
    grep -q "\b$package\b" <<<"$depends" || fail "the package does not depend on $package"
done
dpkg-deb -c "$deb" >"$scratch/contents"
for file in usr/bin/ordano-cli usr/share/applications/ordano.desktop \
    usr/share/doc/ordano/copyright usr/share/doc/ordano/changelog.gz; do
    grep -q " \./$file\$" "$scratch/contents" || fail "$file not in the package"
done
# The package's own programs (stripped as installed) run from where it unpacks.
dpkg-deb -x "$deb" "$scratch/unpacked"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/unpacked/usr/bin/ordano-cli" --version)
[ "$(head -n 1 <<<"$out")" = "ordano-cli $version" ] || fail "packaged ordano-cli: $out"
echo "package ok: $deb"
