#!/usr/bin/env bash
# Installs what is missing, installs or updates Clinora in its folder
# (default ~/Clinora, or the folder given) and starts it from there: the
# practice's data lives in that folder, never in a build folder.
#   scripts/run.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
folder="${1:-$HOME/Clinora}"
scripts/install.sh "$folder"
exec "$folder/clinora"
