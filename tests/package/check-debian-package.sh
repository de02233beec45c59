#!/usr/bin/env bash
# Builds the Debian package with cpack and checks that it installs the editor, the command-line tool,
# the desktop entry, icon, MIME types, thumbnailer, metainfo and manual pages, and states its
# dependencies.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$build_dir"
cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/*.deb)
contents=$(dpkg-deb -c "$package")
for path in ./usr/bin/faceto ./usr/bin/faceto-cli ./usr/libexec/faceto/faceto-cli-render \
            ./usr/share/applications/org.faceto.Faceto.desktop \
            ./usr/share/icons/hicolor/scalable/apps/org.faceto.Faceto.svg \
            ./usr/share/mime/packages/faceto-models.xml \
            ./usr/share/thumbnailers/faceto.thumbnailer \
            ./usr/share/metainfo/org.faceto.Faceto.metainfo.xml \
            ./usr/share/icons/hicolor/16x16/apps/org.faceto.Faceto.png \
            ./usr/share/icons/hicolor/256x256/apps/org.faceto.Faceto.png \
            ./usr/share/bash-completion/completions/faceto-cli \
            ./usr/share/zsh/vendor-completions/_faceto-cli \
            ./usr/share/fish/vendor_completions.d/faceto-cli.fish \
            ./usr/share/doc/faceto/copyright ./usr/share/doc/faceto/changelog.gz \
            ./usr/share/man/man1/faceto.1.gz ./usr/share/man/man1/faceto-cli.1.gz; do
    grep -q " $path\$" <<<"$contents" || { echo "$package lacks $path"; exit 1; }
done
# The command-line tool as installed: it starts its renderer from where the package put it.
dpkg-deb -x "$package" "$work/root"
model=$(dirname "$0")/../../examples/sample.md2
"$work/root/usr/bin/faceto-cli" thumbnail "$model" "$work/thumb.png" 64 ||
    { echo "the installed faceto-cli cannot draw a thumbnail"; exit 1; }
[ -s "$work/thumb.png" ] || { echo "no thumbnail written"; exit 1; }
# Built as Debian builds its packages: bound now, read-only relocations, stack protector, fortified.
for binary in usr/bin/faceto usr/bin/faceto-cli usr/libexec/faceto/faceto-cli-render; do
    # (read whole first: grep -q stopping early would fail the pipe)
    dynamic=$(readelf -d "$work/root/$binary")
    segments=$(readelf -l "$work/root/$binary")
    symbols=$(readelf -W --dyn-syms "$work/root/$binary")
    grep -q 'BIND_NOW' <<<"$dynamic" || { echo "$binary is not linked with -z now"; exit 1; }
    grep -q 'GNU_RELRO' <<<"$segments" || { echo "$binary has no RELRO"; exit 1; }
    grep -q '__stack_chk_fail' <<<"$symbols" || { echo "$binary is built without the stack protector"; exit 1; }
    grep -q '_chk@' <<<"$symbols" || { echo "$binary is built without _FORTIFY_SOURCE"; exit 1; }
done
# lintian finds no error and no warning.
if command -v lintian >/dev/null 2>&1; then
    findings=$(lintian --allow-root --tag-display-limit 0 "$package" 2>&1 | grep -E '^(E|W): ' || true)
    [ -z "$findings" ] || { echo "lintian: $findings"; exit 1; }
else
    echo "lintian is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
depends=$(dpkg-deb -f "$package" Depends)
grep -q "libqt6widgets6" <<<"$depends" || { echo "the package does not depend on Qt: $depends"; exit 1; }
echo "$(basename "$package") ok: $depends"
