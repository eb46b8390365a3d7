#!/usr/bin/env bash
# Installs jsp-raknet 2.2.0, the outside peer of the raknet tests, into
# FOLDER/node_modules with npm (install scripts off). Usage: install_jsp.sh FOLDER
set -euo pipefail
folder=$1
if [ -f "$folder/node_modules/jsp-raknet/package.json" ] &&
    grep -q '"version": "2.2.0"' "$folder/node_modules/jsp-raknet/package.json"; then
    exit 0
fi
mkdir -p "$folder"
npm install --ignore-scripts --no-audit --no-fund --prefix "$folder" jsp-raknet@2.2.0 >/dev/null
test -f "$folder/node_modules/jsp-raknet/js/index.js"
