#!/usr/bin/env bash
# Copies the source folders and scripts/check-layers, which must pass on the copy; then
# plants one forbidden include at a time, in a source file of its own, and expects
# check-layers to fail with a line that names that file and that include.
# Usage: planted.sh SOURCE_DIR SCRATCH_DIR
set -euo pipefail
src=$1 scratch=$2
plants=(
  'data/Planted.cpp|#include "ui/Dialog.h"'
  'host/Planted.h|#include "data/GameTables.h"'
  'views/Planted.cpp|#include "strings/LanguageModules.h"'
  'ui/Planted.h|#include "ui/qt/Widgets.h"'
  'ui/qt/Planted.cpp|#include "ui/win32/DialogWindow.h"'
  'resources/Planted.cpp|#include "app/MainDialog.h"'
  'editor/Planted.cpp|#include "app/MainDialog.h"'
  'app/Planted.cpp|#include "export/DumpFormats.h"'
  'tools/dump/Planted.cpp|#include "tools/datafile/DataFileWriter.h"'
  'tools/datafile/Planted.cpp|#include "ui/Dialog.h"'
  'app/Planted.h|#include <QWidget>'
  'strings/Planted.cpp|#include "LanguageModules.h"'
  'export/Planted.cpp|#include "tools/dump/InstallationList.h"'
  'export/Planted.h|#include "app/MainDialog.h"'
  'web/Planted.cpp|#include "tools/dump/InstallationList.h"'
  'web/Planted.cpp|#include "ui/Dialog.h"'
  'web/Planted.h|#include "resources/Templates.h"'
)
rm -rf "$scratch"
mkdir -p "$scratch/scripts"
cp "$src/scripts/check-layers" "$scratch/scripts/"
for folder in host data strings views ui resources app editor export tools web; do
  [ -d "$src/$folder" ] || { mkdir -p "$scratch/$folder"; continue; }
  cp -r "$src/$folder" "$scratch/"
done
"$scratch/scripts/check-layers" >/dev/null
for plant in "${plants[@]}"; do
  file=${plant%%|*} include=${plant#*|}
  printf '%s\n' "$include" >"$scratch/$file"
  if out=$("$scratch/scripts/check-layers" 2>&1); then
    echo "not caught: $include in $file"
    exit 1
  fi
  if ! grep -F "$file:1: includes ${include#\#include }" <<<"$out" >/dev/null; then
    echo "no line names $file and $include:"
    echo "$out"
    exit 1
  fi
  rm "$scratch/$file"
done
echo "check-layers caught ${#plants[@]} planted includes"
