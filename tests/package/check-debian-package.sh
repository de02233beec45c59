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
            ./usr/share/man/man1/faceto.1 ./usr/share/man/man1/faceto-cli.1; do
    grep -q " $path\$" <<<"$contents" || { echo "$package lacks $path"; exit 1; }
done
# The command-line tool as installed: it starts its renderer from where the package put it.
dpkg-deb -x "$package" "$work/root"
model=$(dirname "$0")/../../examples/sample.md2
"$work/root/usr/bin/faceto-cli" thumbnail "$model" "$work/thumb.png" 64 ||
    { echo "the installed faceto-cli cannot draw a thumbnail"; exit 1; }
[ -s "$work/thumb.png" ] || { echo "no thumbnail written"; exit 1; }
depends=$(dpkg-deb -f "$package" Depends)
grep -q "libqt6widgets6" <<<"$depends" || { echo "the package does not depend on Qt: $depends"; exit 1; }
echo "$(basename "$package") ok: $depends"
