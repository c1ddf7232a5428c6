#!/bin/sh
# Runs under dbus-run-session inside rig.sh: kwin_wayland (virtual backend), xdg-desktop-portal-kde,
# xdg-desktop-portal, in that order, then "$@". Prints "rig ready" with the start-up time.
# RIG_NO_PICTURES=1 leaves out $HOME/Pictures (the KDE portal then answers 1: it cannot save there).
# KWin keeps its permission checks (fake input and ScreenShot2 only for programs whose desktop
# entry lists them) unless RIG_PERMISSION_CHECKS=0.
# RIG_ANIMATIONS=1 turns on KWin's animations (window open/close effects), which KWin 5.27 leaves
# off when it renders with llvmpipe, as here.
C=/tmp/rigconf O=/tmp/rig/out
[ -w /tmp/rig ] || { echo "rig: DIR must be writable by uid $(id -u) (chmod a+rwX DIR, or chown)"; exit 1; }
mkdir -p "$O" "$HOME"
# xdg-desktop-portal-kde 5.27 saves every screenshot as Pictures/Screenshot_yyyyMMdd_hhmmss.png
# (QStandardPaths::PicturesLocation) and answers 1 when that folder is missing
[ -n "$RIG_NO_PICTURES" ] || mkdir -p "$HOME/Pictures"
export XDG_CONFIG_HOME=$HOME/.config XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland
export KDE_FULL_SESSION=true KDE_SESSION_VERSION=5
# only kde.portal: otherwise xdg-desktop-portal also starts the gnome and gtk backends for Settings
export XDG_DESKTOP_PORTAL_DIR=${XDG_DESKTOP_PORTAL_DIR-$C/portals}
unset DISPLAY WAYLAND_DISPLAY
. /tmp/rigbase/common.sh
size=${RIG_SIZE:-1920x1080}
# RIG_SIZE is in logical pixels: with --scale 2, 960x540 gives a 1920x1080 device output.
# RIG_OUTPUTS=2 puts a second output of that size right of the first.
# Without the permission checks KWin lets any client use org_kde_kwin_fake_input (kptr) and any
# caller use org.kde.KWin.ScreenShot2; the portal itself passes them (its desktop file lists them).
if [ "${RIG_PERMISSION_CHECKS:-1}" = 0 ]; then
    export KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1
fi
[ -z "$RIG_ANIMATIONS" ] || export KWIN_EFFECTS_FORCE_ANIMATIONS=1
# RIG_GLOBAL_SHORTCUTS=1 keeps KDE's global shortcuts service, which runs inside KWin.
shortcuts=--no-global-shortcuts
[ -z "$RIG_GLOBAL_SHORTCUTS" ] || shortcuts=
kwin_wayland --virtual --output-count "${RIG_OUTPUTS:-1}" --width "${size%x*}" --height "${size#*x}" \
    --scale "${RIG_SCALE:-1}" \
    --socket wayland-0 --no-lockscreen $shortcuts --no-kactivities >"$O/kwin.log" 2>&1 &
wait_for kwin_wayland has org.kde.KWin || { tail -n 30 "$O/kwin.log"; exit 2; }
unset KWIN_WAYLAND_NO_PERMISSION_CHECKS KWIN_SCREENSHOT_NO_PERMISSION_CHECKS KWIN_EFFECTS_FORCE_ANIMATIONS
export WAYLAND_DISPLAY=wayland-0
wait_for "kwin_wayland's socket" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || exit 2
# services the bus starts on demand (the permission store) must see the same environment
dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE \
    XDG_RUNTIME_DIR HOME XDG_CONFIG_HOME KDE_FULL_SESSION KDE_SESSION_VERSION XDG_DESKTOP_PORTAL_DIR
# Nobody else tells the KDE backend the display; it is a Qt 5 program (qtwayland5).
QT_QPA_PLATFORM=wayland /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde >"$O/xdpk.log" 2>&1 &
wait_for xdg-desktop-portal-kde has org.freedesktop.impl.portal.desktop.kde || { cat "$O/xdpk.log"; exit 3; }
start_portal || exit 3
ready
"$@"
