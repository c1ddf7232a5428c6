#!/usr/bin/env bash
# Installs the Debian packages Huebrook needs to build and test, and only those that are missing.
set -euo pipefail

# The fonts are those the window designs fall back to; without them no text would show.
# libwayland-dev and wayland-protocols give the wlroots capture its protocol code; libzip-dev
# reads and writes Krita's palettes; libglib2.0-dev gives GIO's header for GNOME's keybindings.
build_pkgs=(cmake ninja-build g++ make pkg-config qt6-base-dev libxcb1-dev libgl-dev
            libwayland-dev wayland-protocols libzip-dev libglib2.0-dev fonts-dejavu-core fonts-liberation)
test_pkgs=(python3 xvfb xauth x11-utils x11-xserver-utils xdotool xclip imagemagick openbox
           clang libclang-rt-14-dev desktop-file-utils appstream dpkg-dev file
           # the package's own checks: Debian's lintian, and man to render the manual page
           lintian man-db
           dbus-daemon
           # the Wayland rigs: headless sway and GNOME Shell with their screenshot portals
           sway pipewire xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gnome
           gnome-shell grim qt6-wayland python3-dbusmock
           # the KDE Plasma rig: KWin headless with KDE's portal, and KWin's fake-input protocol
           kwin-wayland xdg-desktop-portal-kde qtwayland5 qml-module-qtquick-controls2
           qml-module-qtquick-layouts qml-module-org-kde-kirigami2 plasma-workspace
           plasma-wayland-protocols
           python3-gi dbus util-linux
           # GIMP's own palettes, for the round trip of palette exchange; Krita (with the PyQt5
           # its scripting needs) and LibreOffice with its Python bridge, which read our files
           gimp-data krita python3-pyqt5 libreoffice-core libreoffice-draw python3-uno
           # two screens on X11 (Xorg with the dummy driver), keys typed on Wayland
           xserver-xorg-core xserver-xorg-video-dummy wtype
           # the shortcuts from anywhere: the clipboard read on Wayland, GNOME's keybindings kept
           # by dconf and run by the settings daemon's media keys
           wl-clipboard dconf-service dconf-gsettings-backend gnome-settings-daemon)

# The benchmarks run in the tests' displays and rigs, and add Google Benchmark.
bench_pkgs=(libbenchmark-dev)

wanted=("${build_pkgs[@]}")
case "${1:-}" in
    "") ;;
    --with-tests) wanted+=("${test_pkgs[@]}") ;;
    --with-bench) wanted+=("${test_pkgs[@]}" "${bench_pkgs[@]}") ;;
    *) echo "usage: $0 [--with-tests | --with-bench]" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
