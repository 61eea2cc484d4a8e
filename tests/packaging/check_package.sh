#!/usr/bin/env bash
# Builds the Debian package from this build folder and checks its files, its desktop entry and its dependencies.
set -euo pipefail
build_dir="$1"
source_dir="$2"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build_dir" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/convquibraw_*.deb)
contents=$(dpkg-deb --contents "$deb")
fail() { echo "FALHOU: $*"; exit 1; }
for path in ./usr/lib/convquibraw/convquibraw ./usr/lib/convquibraw/convquibraw-cli \
            ./usr/share/applications/convquibraw.desktop ./usr/share/icons/hicolor/scalable/apps/convquibraw.svg \
            ./usr/share/doc/convquibraw/guia-do-usuario.md ./usr/share/doc/convquibraw/janela.png; do
  grep -q " $path\$" <<<"$contents" || fail "falta $path"
done
grep -q ' ./usr/lib/convquibraw/gbak -> /usr/bin/gbak$' <<<"$contents" || fail "falta o link do gbak"
grep -q ' ./usr/bin/convquibraw -> ../lib/convquibraw/convquibraw$' <<<"$contents" || fail "falta o link em /usr/bin"
grep -q ' ./usr/bin/convquibraw-cli -> ../lib/convquibraw/convquibraw-cli$' <<<"$contents" || fail "falta o link do cli"
depends=$(dpkg-deb --field "$deb" Depends)
for package in libqt6widgets6 libfbclient2 firebird3.0-server-core firebird3.0-utils fonts-liberation2; do
  grep -q "$package" <<<"$depends" || fail "dependência $package ausente: $depends"
done
[ "$(dpkg-deb --field "$deb" Package)" = convquibraw ] || fail "nome do pacote"
dpkg-deb -x "$deb" "$out/root"
# Clean means not even a hint (two main categories are only a hint, but menus then show the program twice).
hints=$(desktop-file-validate "$out/root/usr/share/applications/convquibraw.desktop" 2>&1) || fail "$hints"
[ -z "$hints" ] || fail "desktop-file-validate: $hints"
grep -q '^Categories=Office;Database;' "$out/root/usr/share/applications/convquibraw.desktop" || fail "categorias"
version=$(dpkg-deb --field "$deb" Version)
"$out/root/usr/lib/convquibraw/convquibraw-cli" --version | grep -qF "$version" || fail "--version não mostra $version"
echo "pacote ok: $(basename "$deb")"
