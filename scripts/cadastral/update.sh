#!/usr/bin/env bash
# Regenerates src/checks/data/CodiciCatastali.txt, the cadastral codes of the
# Italian municipalities and of the foreign states, from the npm package
# @marketto/belfiore-connector-embedded (MIT code; data CC BY 4.0 Agenzia
# delle Entrate and Ministero dell'Interno, CC BY 3.0 ISTAT) and our own
# corrections (scripts/cadastral/corrections.txt, a reason on each line).
# Only the data is kept. Needs node and npm; neither is part of the build.
#   scripts/cadastral/update.sh [VERSION]   (default 1.2.1)
set -euo pipefail
cd "$(dirname "$0")/../.."
version="${1:-1.2.1}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The package reads its data through two small dependencies: install it
# with them into the temporary folder only.
(cd "$work" && npm install --no-save --no-audit --no-fund --ignore-scripts \
    "@marketto/belfiore-connector-embedded@$version" >/dev/null)
node scripts/cadastral/convert.js "$work/node_modules/@marketto/belfiore-connector-embedded" \
    scripts/cadastral/corrections.txt src/checks/data/CodiciCatastali.txt
