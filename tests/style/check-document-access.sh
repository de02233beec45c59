#!/usr/bin/env bash
# Fails, naming the files, when code outside the document layer (and its tests and benchmarks) takes
# write access to a document's content: views, panels and tools read it and change it by commands.
set -euo pipefail
cd "$1"
found=$(grep -rl --include='*.cpp' --include='*.h' 'document/DocumentEdit.h' app views cli render formats model || true)
if [ -n "$found" ]; then
    echo "write access to a document outside its layer:" >&2
    printf '  %s\n' $found >&2
    exit 1
fi
echo "only the document layer writes a document's content"
