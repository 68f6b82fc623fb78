#!/bin/sh
# Runs a Windows program under the Wine loader this machine can run.
exec "${WINELOADER:-wine}" "$@"
