#!/usr/bin/env bash
# Packages the VS Code extension as build/vscode/tessel-dlg-VERSION.vsix (or
# in the directory given): installs the locked versions of package-lock.json
# (npm ci; no install scripts, no optional packages: packaging needs neither),
# then runs the packaging tool. The extension's tests (test/run) need the
# node_modules this leaves. Usage: editors/vscode/package.sh [OUTDIR]
# Where node is missing, or older than the packaging tool's 20 (Debian 12's
# own nodejs is 18), it says so and exits 0: nothing is packaged, and
# test/run skips.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../build/vscode}

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "vscode: skipped: node and npm are not installed, so the extension is not packaged"
  exit 0
fi
major=$(node -p 'process.versions.node.split(".")[0]')
if [ "$major" -lt 20 ]; then
  echo "vscode: skipped: node $(node --version) is older than 20, which the packaging tool (@vscode/vsce 3) needs"
  exit 0
fi

cd "$here"
start=$SECONDS
npm ci --ignore-scripts --omit=optional --prefer-offline --no-audit --no-fund --loglevel=error
version=$(node -p 'require("./package.json").version')
mkdir -p "$out"
vsix=$(cd "$out" && pwd)/tessel-dlg-$version.vsix
# Standard input closed: a question the tool would ask fails the run instead
# of waiting for an answer. What it prints is shown only when it fails.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! npx --no-install vsce package --allow-missing-repository --out "$vsix" </dev/null >"$log" 2>&1; then
  cat "$log" >&2
  echo "vscode: packaging failed" >&2
  exit 1
fi
echo "vscode: packaged $vsix ($((SECONDS - start)) s)"
