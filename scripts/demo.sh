#!/usr/bin/env bash
# The main job: the monitor installed into a Wine prefix of its own, two ports seeded in the
# registry, and the ports listed through the print host (EnumPorts level 2). Builds and installs
# what it needs through setup.sh; safe to run again.
set -euo pipefail
source "$(dirname "$0")/common.sh"

export WINEPREFIX=${DEMO_PREFIX:-$BUILD_DIR/demo-prefix}
bash "$ROOT/scripts/setup.sh"

seed=$BUILD_DIR/demo-ports.reg
cat >"$seed" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Norvale\Velloprint\NMX1]
"ServAddr"="office-printer@example.com"
"SMTPAddr"="127.0.0.1"
"UserAddr"="me@example.com"
"ShowSw"=dword:00000000
"CheckMailSw"=dword:00000001

[HKEY_LOCAL_MACHINE\SOFTWARE\Norvale\Velloprint\NMX2]
"ServAddr"="plotter@example.com;archive@example.com"
"SMTPAddr"="127.0.0.1"
"UserAddr"="me@example.com"
"ShowSw"=dword:00000000
"PartSw"=dword:00000001
"PartLimit"=dword:00000400
REG

start_wine_session
log "seeding the ports NMX1 and NMX2"
wine regedit /S "Z:${seed//\//\\}" </dev/null
log "the ports NMX_MON.dll reports (printhost enumports 2)"
status=0
wine "$BIN_DIR/printhost.exe" enumports 2 </dev/null || status=$?
stop_wine_session
exit "$status"
