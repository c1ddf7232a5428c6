#!/bin/sh
# rig.sh sway|gnome DIR CMD...: runs CMD inside a throw-away headless Wayland session, sway 1.7 with
# xdg-desktop-portal-wlr or GNOME Shell 43 (no XWayland) with xdg-desktop-portal-gnome, both with
# xdg-desktop-portal (DESKTOP/session.sh starts them). DIR is bound at /tmp/rig inside, where CMD
# runs; out/ there gets the logs. sway refuses to run as root, so the session runs as uid
# ${RIG_UID:-65534} (nobody), in private mount and PID namespaces: a tmpfs /tmp
# (xdg-desktop-portal-wlr writes /tmp/out.png), and every process of the session ends with it.
# sway: RIG_SCALE=2 sets the output scale, RIG_OUTPUTS=2 adds a second output at RIG_SCALE2, and
# RIG_PORTAL=none runs no portal, PipeWire or portal service on the bus. GNOME:
# RIG_MONITORS="1920x1080 1280x1024" gives one virtual monitor per size. Needs root (unshare,
# setpriv). The folders are opened before the tmpfs hides /tmp, so DIR may lie under /tmp. The
# desktop's folder is bound at /tmp/rigconf, this one (common.sh) at /tmp/rigbase.
# kde: KWin's permission checks stay on unless RIG_PERMISSION_CHECKS=0 (desktop entries in
# DIR/home/.local/share/applications grant them). kwin_wayland carries a file capability that a
# container refuses to exec: a copy without it is bound over it inside the private namespace.
base=$(cd "$(dirname "$0")" && pwd) || exit 1
here=$(cd "$base/$1" && pwd) || exit 1
shift
dir=$(cd "$1" && pwd) || exit 1
shift
exec timeout -k 5 "${RIG_TIMEOUT:-120}" unshare --mount --pid --fork --kill-child --mount-proc \
    --propagation private sh -c '
  exec 3<"$0" 4<"$1" 5<"$2" &&
  mount -t tmpfs -o mode=1777 tmpfs /tmp && mkdir -p /tmp/rig /tmp/rigconf /tmp/rigbase &&
  if [ -x /usr/bin/kwin_wayland ]; then
      cp /usr/bin/kwin_wayland /tmp/kwin_wayland && mount --bind /tmp/kwin_wayland /usr/bin/kwin_wayland
  fi &&
  mount --bind /proc/self/fd/3 /tmp/rig && mount --bind /proc/self/fd/4 /tmp/rigconf &&
  mount --bind /proc/self/fd/5 /tmp/rigbase && exec 3<&- 4<&- 5<&- &&
  mkdir -p -m 0700 /tmp/xdg-run && chown "${RIG_UID:-65534}" /tmp/xdg-run && cd /tmp/rig &&
  shift 2 &&
  bus= &&
  if [ "${RIG_PORTAL:-}" = none ]; then
      mkdir -p /tmp/rig-bus/services &&
      for f in /usr/share/dbus-1/services/*.service; do
          case ${f##*/} in *portal*) ;; *) ln -s "$f" /tmp/rig-bus/services/ ;; esac
      done &&
      bus=--config-file=/tmp/rigconf/session-noportal.conf
  fi &&
  exec setpriv --reuid="${RIG_UID:-65534}" --regid="${RIG_UID:-65534}" --clear-groups --inh-caps=-all \
       env HOME=/tmp/rig/home XDG_RUNTIME_DIR=/tmp/xdg-run dbus-run-session $bus -- sh /tmp/rigconf/session.sh "$@"' \
    "$dir" "$here" "$base" "$@"
