# Sourced by the HID scenarios: machine-sim serving the machine's HID
# interface on a local socket, and a copy of a program beside the test
# stand-in of hid.dll (which also answers the program's setupapi
# enumeration), so the program's real HID code (the device-interface
# enumeration, the usage-page and report-length rule, the write handle and
# the overlapped read handle) runs under Wine.
#   hid_machine_start WORK HOST_TOOLS   -> MACHINE_PID, QUILLON_HID_BRIDGE_PORT,
#                                          control FIFO WORK/control
#   hid_program_folder BIN PROGRAM DEST -> DEST/PROGRAM.exe with its Data and the stand-ins
# After hid_machine_start the programs look for the machine as on a real PC
# (QUILLON_MACHINE unset) and load the stand-ins (WINEDLLOVERRIDES).

# The GUI session has already left no COM port leading to a terminal
# (gui_forget_serial_terminals), so the programs find the machine over HID.
hid_machine_start() {
    mkfifo "$1/control"
    "$2/machine-sim" --no-stdin --hid-port 0 --hid-port-file "$1/hid-port" --control "$1/control" --log-actions \
        > "$1/machine.out" 2> "$1/actions.log" &
    MACHINE_PID=$!
    hm_i=0
    until [ -s "$1/hid-port" ]; do
        hm_i=$((hm_i + 1))
        [ $hm_i -lt 100 ] || fail "machine-sim did not start: $(cat "$1/actions.log")"
        sleep 0.1
    done
    QUILLON_HID_BRIDGE_PORT=$(cat "$1/hid-port")
    export QUILLON_HID_BRIDGE_PORT
    unset QUILLON_MACHINE
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hid=n,b"
}

hid_program_folder() {
    mkdir -p "$3/Data"
    cp "$1/$2.exe" "$3/"
    cp "$1/Data/"* "$3/Data/"
    cp "$1/../hid_link/hid.dll" "$3/"
}
