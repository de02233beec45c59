#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and fuzzing Faceto needs.
# Idempotent: packages already present are left alone, and apt is not touched when nothing is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-translations-l10n
    libgtest-dev libgmock-dev
    libbenchmark-dev
    clang-14 libclang-rt-14-dev clang-format-14 clang-tidy-14
    libassimp-dev assimp-utils
    libtinygltf-dev libstb-dev nlohmann-json3-dev
    appstream dpkg-dev groff-base desktop-file-utils libxml2-utils shared-mime-info lintian bash-completion
    xvfb xauth fonts-dejavu-core time
)

# The glTF validator runs on node; npm comes with node from Debian's npm package when it is not there.
if ! command -v npm >/dev/null 2>&1; then
    packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

install_validator() {
    # The Khronos glTF validator, for the tests that check written glTF files, in the project's cache.
    local root
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    if [ ! -d "$root/.cache/npm/node_modules/gltf-validator" ] && command -v npm >/dev/null 2>&1; then
        mkdir -p "$root/.cache/npm"
        npm install --silent --no-audit --no-fund --prefix "$root/.cache/npm" gltf-validator@2.0.0-dev.3.10 ||
            echo "warning: the glTF validator could not be installed; the tests that need it will say so"
    fi
}

if [ ${#missing[@]} -eq 0 ]; then
    install_validator
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_validator
