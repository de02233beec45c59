#!/usr/bin/env bash
# The editor answers --version and --help on the terminal with no display at all, and a wrong option
# with a message and a failure status.
set -uo pipefail
editor=$1
export -n DISPLAY WAYLAND_DISPLAY
unset QT_QPA_PLATFORM
version=$("$editor" --version 2>&1) || { echo "--version failed: $version"; exit 1; }
[[ $version == "Faceto "* ]] || { echo "--version says: $version"; exit 1; }
help=$("$editor" --help 2>&1) || { echo "--help failed: $help"; exit 1; }
[[ $help == *"[FILE...]"* && $help == *"--version"* ]] || { echo "--help says: $help"; exit 1; }
wrong=$(QT_QPA_PLATFORM=offscreen "$editor" --frobnicate 2>&1)
status=$?
[[ $status -ne 0 && $wrong == *"Unknown option 'frobnicate'"* ]] ||
    { echo "a wrong option gives status $status: $wrong"; exit 1; }
echo "editor command line ok"
