#!/usr/bin/env bash
# Fails when an engine, game or tool source includes a header of a library
# above its own, or a third-party header outside the one folder allowed to use
# it. The order is the one of the libraries in the top CMakeLists.txt, lowest
# first; a library may include its own headers and those of any library below.
# Usage: check-layering.sh [SOURCE_DIR]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

order=(engine/base engine/core engine/io engine/resources engine/platform engine/sound
       engine/components engine/physics engine/actions engine/graphics engine/world
       engine/script engine/ui game tools app)

declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$i; done

# The library folder a path belongs to (longest match of the order list).
library_of() {
    local path=$1 best=""
    for folder in "${order[@]}"; do
        if [[ $path == "$folder/"* && ${#folder} -gt ${#best} ]]; then best=$folder; fi
    done
    printf '%s' "$best"
}

# Third-party headers and the only folder (or file) that may include them.
third_party=(
    'SDL[_a-z0-9]*\.h'      engine/platform
    '(GL|epoxy)/'           engine/graphics/device
    '(lua|lualib|lauxlib)\.h|lua\.hpp' engine/script
    'ft2build\.h|freetype/|fontconfig/' engine/graphics/text/FontFace.cpp
)

failures=0
while IFS= read -r -d '' file; do
    own=$(library_of "$file")
    [[ -n $own ]] || continue
    while IFS= read -r line; do
        number=${line%%:*}
        target=$(sed -E 's/^[^"]*"([^"]+)".*/\1/' <<<"${line#*:}")
        used=$(library_of "$target")
        [[ -n $used ]] || continue
        if (( rank[$used] > rank[$own] )); then
            echo "$file:$number: includes $target, and $used sits above $own"
            failures=$((failures + 1))
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
    [[ $file == engine/* || $file == game/* ]] || continue
    for ((i = 0; i < ${#third_party[@]}; i += 2)); do
        pattern=${third_party[i]} allowed=${third_party[i + 1]}
        [[ $file == "$allowed/"* || $file == "$allowed" ]] && continue
        while IFS= read -r line; do
            echo "$file:${line%%:*}: third-party header allowed only in $allowed"
            failures=$((failures + 1))
        done < <(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($pattern)" "$file" || true)
    done
done < <(find engine game tools app -type f \( -name '*.h' -o -name '*.cpp' \) -print0 2>/dev/null | sort -z)

if (( failures > 0 )); then
    echo "$failures include(s) break the library order"
    exit 1
fi
echo "library order holds"
