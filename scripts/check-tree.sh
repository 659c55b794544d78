#!/usr/bin/env bash
# The tree's own rules, checked before the build: the layout of .clang-format, one name per
# header, includes that name their folder, and no Qt Widgets below src/ui/.
# Usage: scripts/check-tree.sh   (from anywhere; exits 1 with the offending files listed)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
status=0

mapfile -t sources < <(find src programs tests bench fuzz -name '*.h' -o -name '*.cpp' | sort)

if ! clang-format --dry-run --Werror "${sources[@]}" 2>/tmp/flr-format.$$; then
    grep -oE '^[^: ]+\.(h|cpp):' /tmp/flr-format.$$ | sort -u | sed 's/:$//; s/^/not formatted: /'
    echo "Run: clang-format -i FILE (the project's .clang-format)"
    status=1
fi
rm -f /tmp/flr-format.$$

shared="$(printf '%s\n' "${sources[@]}" | grep '\.h$' | xargs -n1 basename | sort | uniq -d)"
if [ -n "$shared" ]; then
    echo "headers sharing a name: $shared"
    status=1
fi

if grep -n '#include "[^/"]*"' "${sources[@]}"; then
    echo "includes above do not name their folder (\"model/ignition.h\")"
    status=1
fi

qtwidgets="$(find /usr/include -maxdepth 3 -type d -name QtWidgets | head -1)"
if [ -n "$qtwidgets" ]; then
    pattern="#include <(QtWidgets/)?($(ls "$qtwidgets" | grep -v '\.h$' | paste -sd'|'))>"
    if grep -nE "$pattern" $(find src -path src/ui -prune -o \( -name '*.h' -o -name '*.cpp' \) -print); then
        echo "a logic library above includes Qt Widgets; widgets belong under src/ui/"
        status=1
    fi
fi
exit $status
