#!/usr/bin/env bash
# Fails when a translation file is behind the sources: a text marked for translation (tr(), QT_TR_NOOP,
# FACETO_TEXT) that it lacks or leaves unfinished, or one it holds that the sources no longer have.
# `ninja faceto_lupdate` brings the files up to date; Qt Linguist fills in the new texts.
set -euo pipefail
root="$1"
lupdate="${2:-/usr/lib/qt6/bin/lupdate}"
cd "$root"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in app/translations/*.ts; do
    cp "$ts" "$work/current.ts"
    "$lupdate" -silent -I . -locations none -no-obsolete -tr-function-alias QT_TR_NOOP+=FACETO_TEXT \
        app views document formats model render -ts "$work/current.ts" >/dev/null 2>&1
    unfinished=$(grep -c 'type="unfinished"' "$work/current.ts" || true)
    if [ "$unfinished" -ne 0 ] || ! cmp -s "$ts" "$work/current.ts"; then
        echo "$ts: behind the sources ($unfinished texts without a translation):" >&2
        diff "$ts" "$work/current.ts" | head -40 >&2 || true
        status=1
    else
        echo "$ts: $(grep -c '<message>' "$ts") texts, all translated"
    fi
done
exit $status
