#!/usr/bin/env bash
# Installs what is missing, builds, and starts Clinora from build/app, the
# folder that holds its data (its AppFolder).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/app/clinora
