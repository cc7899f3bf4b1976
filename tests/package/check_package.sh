#!/usr/bin/env bash
# Usage: check_package.sh BUILD_DIR VERSION
# Installs the build into a scratch root as a package would (DESTDIR, prefix /usr), checks
# what lands there and runs both programs from it; then makes the Debian package and checks
# its contents and declared dependencies.
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

(cd "$build" && cpack -G DEB -B "$scratch/deb" >/dev/null)
deb=$(ls "$scratch"/deb/ordano_"$version"_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in qt6-translations-l10n libqt6widgets6 libcurl4 libsqlite3-0; do
    grep -q "\b$package\b" <<<"$depends" || fail "the package does not depend on $package"
done
dpkg-deb -c "$deb" >"$scratch/contents"
grep -q ' \./usr/bin/ordano-cli$' "$scratch/contents" || fail "ordano-cli not in the package"
grep -q ' \./usr/share/applications/ordano.desktop$' "$scratch/contents" ||
    fail "desktop entry not in the package"
# The package's own programs (stripped as installed) run from where it unpacks.
dpkg-deb -x "$deb" "$scratch/unpacked"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/unpacked/usr/bin/ordano-cli" --version)
[ "$(head -n 1 <<<"$out")" = "ordano-cli $version" ] || fail "packaged ordano-cli: $out"
echo "package ok: $deb"
