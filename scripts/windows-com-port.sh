# Serves a simulated device to Windows programs under Wine: the simulator (a Linux program) on a
# pseudo-terminal, Wine's COM5 mapped to it, and a simulated-port file naming COM5 in a folder that
# CORVANE_DEVICE_DIR points to. Sourced by scripts/windows-device-test and scripts/windows-run.
# shellcheck shell=bash

# start_com5_device NATIVE_BUILD WORK_DIR USB_SERIAL NAME STATE_DIR [SIMULATOR OPTIONS...]
# Sets simulator_pid and exports CORVANE_DEVICE_DIR (a Windows path).
start_com5_device() {
    local native=$1 work=$2 serial=$3 name=$4 state=$5
    shift 5
    mkdir -p "$work/linux-devices" "$work/devices"
    "$native/simulator/corvane-device-simulator" --exit-with-parent --device-dir "$work/linux-devices" \
        --state-dir "$state" --usb-serial "$serial" --name "$name" "$@" >"$work/simulator.log" 2>&1 &
    simulator_pid=$!
    for _ in $(seq 200); do
        grep -q '^ready port=' "$work/simulator.log" 2>/dev/null && break
        if ! kill -0 "$simulator_pid" 2>/dev/null; then
            echo "the simulator did not start: $(cat "$work/simulator.log")" >&2
            return 1
        fi
        sleep 0.1
    done
    local pty
    pty=$(sed -n 's/^ready port=//p' "$work/simulator.log")
    [ -n "$pty" ] || return 1
    # Wine reads its port mapping when its server starts.
    wine reg add 'HKLM\Software\Wine\Ports' /v COM5 /t REG_SZ /d "$pty" /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    printf 'port=COM5\nusb_serial=%s\n' "$serial" >"$work/devices/wine.device"
    CORVANE_DEVICE_DIR="Z:${work//\//\\}\\devices"
    export CORVANE_DEVICE_DIR
}

stop_com5_device() {
    [ -z "${simulator_pid:-}" ] || kill -TERM "$simulator_pid" 2>/dev/null || true
    wine reg delete 'HKLM\Software\Wine\Ports' /v COM5 /f >/dev/null 2>&1 || true
}

# The Windows form of a Linux path, as Wine's Z: drive shows it.
windows_path() {
    local path=$1
    echo "Z:${path//\//\\}"
}
