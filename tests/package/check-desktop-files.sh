#!/usr/bin/env bash
# The files the desktop reads: the entry, the metainfo, the thumbnailer, the MIME types and the manual
# pages, each checked by the tool that reads it, and the thumbnailer's command run as a file manager runs it.
set -euo pipefail
source_dir=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

desktop-file-validate "$source_dir/app/faceto.desktop"
appstreamcli validate --no-net "$source_dir/app/org.faceto.Faceto.metainfo.xml"
for page in "$source_dir/app/faceto.1" "$source_dir/cli/faceto-cli.1"; do
    warnings=$(groff -man -ww -z "$page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "$page: $warnings"
        exit 1
    fi
done
xmllint --noout "$source_dir/app/faceto-models.xml"

# Every type the thumbnailer and the entry name is defined by the project's MIME file, or (glTF, OBJ)
# by the system's.
for file in "$source_dir/app/faceto.thumbnailer" "$source_dir/app/faceto.desktop"; do
    types=$(sed -n 's/^MimeType=//p' "$file" | tr ';' ' ')
    for type in $types; do
        grep -q "type=\"$type\"" "$source_dir/app/faceto-models.xml" /usr/share/mime/packages/freedesktop.org.xml ||
            { echo "$file: $type is not defined"; exit 1; }
    done
done

# The thumbnailer's command, with %i %o %s as a file manager fills them in.
exec_line=$(sed -n 's/^Exec=//p' "$source_dir/app/faceto.thumbnailer")
model="$source_dir/examples/sample.md2"
command=${exec_line//%i/$model}
command=${command//%o/$work/thumb.png}
command=${command//%s/128}
command=${command/faceto-cli/$cli}
QT_QPA_PLATFORM=offscreen $command
head -c 8 "$work/thumb.png" | od -An -tx1 | grep -q "89 50 4e 47" || { echo "no PNG written"; exit 1; }
echo "desktop files ok"
