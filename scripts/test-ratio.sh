#!/usr/bin/env bash
# Non-blank, non-comment lines of tests/ against the product code (C++ outside tests/, fuzz/
# and bench/). Prints the two counts and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { find "$@" \( -name '*.h' -o -name '*.cpp' \) -print0 | xargs -0 cat |
    grep -vE '^\s*$|^\s*//' | wc -l; }
tests=$(count tests)
product=$(count src programs)
echo "tests $tests, product $product, ratio $(awk "BEGIN{printf \"%.2f\", $tests/$product}")"
