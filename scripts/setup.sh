#!/usr/bin/env bash
# Installs the Debian packages the editor needs to build and test, if any are missing.
# Sourced by run.sh, test.sh and bench.sh. Uses apt-get as root, sudo otherwise.
set -euo pipefail

# fonts-liberation: the windows' font (Liberation Sans Narrow). qt6-tools-dev and qt6-l10n-tools:
# Qt's translation tools, which compile the translations in. qt6-base-private-dev: Qt's platform
# interface, through which the tests close a window as a window manager does.
PASSAGES_PACKAGES=(cmake make g++ qt6-base-dev qt6-tools-dev qt6-l10n-tools libgtest-dev
                   qt6-base-private-dev libbenchmark-dev fonts-liberation)
# The end-to-end tests need an X server, a window manager and XTest input; on Wayland a
# compositor (sway), a pointer and keyboard on its seat (wayvnc), keys from outside (wtype),
# screenshots (grim) and Qt's wayland platform; Pillow reads the screen and the saved bitmaps;
# every test that starts the program runs in a session bus of its own (dbus-daemon's
# dbus-run-session); for what a screen reader says, the accessibility bus and its Python client,
# and Orca itself with speech-dispatcher (its silent dummy output). dbus-x11 is there because
# desktops have it: with it, a program given no bus launches one, which the tests must never let
# happen. The validators check the desktop entry and the AppStream metainfo; the windows' texts
# are also checked in DejaVu, a wider font than the chosen one. gnome-shell: the flows on GNOME,
# driven from inside the shell over the bus (dbus-send, with dbus-daemon).
PASSAGES_TEST_PACKAGES=(xvfb openbox xdotool x11-utils python3 python3-pil desktop-file-utils
                        appstream sway wayvnc wtype grim qt6-wayland dbus-daemon dbus-x11
                        at-spi2-core python3-pyatspi orca speech-dispatcher fonts-dejavu-core
                        gnome-shell)

ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

ensure_packages "${PASSAGES_PACKAGES[@]}"
