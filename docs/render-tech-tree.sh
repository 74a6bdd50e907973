#!/usr/bin/env bash
# Renders the demo installation's tech tree with Graphviz into docs/demo-tech-tree.svg.
# Needs a build folder with the dump tool and the demo (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
"$build/tools/velmora-dump" --install "$build/demo-prefix/drive_c/Games/Brannoch" --format dot | dot -Tsvg > docs/demo-tech-tree.svg
echo "wrote docs/demo-tech-tree.svg"
