#!/usr/bin/env bash
# Refreshes the README's pictures: docs/main-window.png and docs/tray-menu.png, taken by the end-to-end
# scenarios that show the main window (first start, 96 dpi) and the tray icon's pop-up menu, from the
# product where this machine runs 32-bit code (the twin otherwise, as the end-to-end run says).
#
#   bash scripts/screenshots.sh      (after scripts/build.sh win32 win32-e2e, or win64 for the twin)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
WORK=build/e2e-screenshots
E2E_WORK="$ROOT/$WORK" bash tests/e2e/run_e2e.sh screenshot_of_main_window tray_icon_restores_and_the_menu_exits
mkdir -p docs
# Without ImageMagick's time stamps, so that an unchanged window gives unchanged files.
store() { convert "$WORK/screens/$1" -strip -define png:exclude-chunks=date,time "docs/$2"; }
store main.png main-window.png
store tray-menu.png tray-menu.png
ls -l docs/main-window.png docs/tray-menu.png
