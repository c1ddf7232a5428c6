# Sourced by each DESKTOP/session.sh (rig.sh binds this folder at /tmp/rigbase): the waits every
# session makes while it starts its compositor and services.
t0=$(date +%s%N)

wait_for() { # WHAT TEST...: polls TEST for 30 s, time enough for a session started beside others
    what=$1; shift
    deadline=$(( $(date +%s) + 30 ))
    until "$@"; do
        [ "$(date +%s)" -ge $deadline ] && { echo "$what did not start"; return 1; }
        sleep 0.05
    done
}

# NameHasOwner, not introspection: introspecting a name nobody owns yet starts a second portal.
# BUS=system asks the system bus.
has() { gdbus call --"${BUS:-session}" --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
            --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true; }

offers_screenshot() {
    gdbus introspect --session --dest org.freedesktop.portal.Desktop \
        --object-path /org/freedesktop/portal/desktop 2>/dev/null | grep -q org.freedesktop.portal.Screenshot
}

# xdg-desktop-portal itself, once the desktop's backend is on the bus
start_portal() {
    /usr/libexec/xdg-desktop-portal -v >"$O/xdp.log" 2>&1 &
    wait_for xdg-desktop-portal has org.freedesktop.portal.Desktop &&
        wait_for "the portal's Screenshot" offers_screenshot
}

ready() { echo "rig ready in $(( ($(date +%s%N) - t0) / 1000000 )) ms (WAYLAND_DISPLAY=$WAYLAND_DISPLAY)"; }
