# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by scripts/run, scripts/test and the other scripts: installs the
# Debian packages that are missing, then configures and builds. Sourced, not
# run.

velumbra_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# velumbra_install_packages PURPOSE...: the lists scripts/packages/PURPOSE/*.txt
# (toolchain, run, test, bench, screenshot).
velumbra_install_packages() {
    local wanted missing=() pkg purpose lists=()
    for purpose in "$@"; do
        [ -d "$velumbra_root/scripts/packages/$purpose" ] || {
            echo "Listes de paquets inconnues : scripts/packages/$purpose" >&2
            return 1
        }
        lists+=("$velumbra_root/scripts/packages/$purpose"/*.txt)
    done
    wanted=$(cat "${lists[@]}" | sed 's/#.*//' | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
    for pkg in $wanted; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installation des paquets manquants : ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q || return 1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" || return 1
}

# velumbra_build DIR [cmake options...]
velumbra_build() {
    local dir=$1
    shift
    # Optimised without debug information, which costs almost half the compile time.
    cmake -S "$velumbra_root" -B "$velumbra_root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" "$@" >/dev/null || return 1
    cmake --build "$velumbra_root/$dir" --parallel "$(nproc)"
}
