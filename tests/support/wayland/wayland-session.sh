#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A headless Wayland desktop for the tests: a private D-Bus session bus, sway with a virtual
# 1920x1080 output (and XWayland), PipeWire, and the desktop portal with the wlroots backend,
# activated on first use. Writes DIR/env (WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS, SWAYSOCK,
# DISPLAY) once everything is up, then lives as long as sway does. The caller starts it in a
# process group of its own and ends the whole group.
#   wayland-session.sh DIR [--no-portal-backend]
# With QUORVI_WAYLAND_OWNER set to a process id, the session also ends when that process does
# (a test killed outright).
# sway refuses to run as root: as root, only sway runs as the system user quorvi-wayland. The
# bus and the portal run as the caller, because the portal serves only processes it may inspect,
# that is those of its own user.
set -euo pipefail

dir=$1
mode=${2:-}
user=quorvi-wayland

if [ "${QUORVI_WAYLAND_INNER:-}" != 1 ]; then
    mkdir -p "$dir/run" "$dir/home" "$dir/empty-portals"
    chmod 0700 "$dir/run"
    chmod 0755 "$dir"
    if [ "$(id -u)" -eq 0 ]; then
        id "$user" > /dev/null 2>&1 ||
            useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
        chown "$user" "$dir/run" "$dir/home"
    fi
    export QUORVI_WAYLAND_INNER=1
    exec dbus-run-session -- "$0" "$dir" "$mode"
fi

if [ -n "${QUORVI_WAYLAND_OWNER:-}" ]; then
    (
        while kill -0 "$QUORVI_WAYLAND_OWNER" 2> /dev/null; do sleep 1; done
        kill -TERM 0
    ) &
fi
export XDG_RUNTIME_DIR=$dir/run
export XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland
unset DISPLAY WAYLAND_DISPLAY
if [ "$mode" = --no-portal-backend ]; then
    # The portal runs but finds no backend: it offers no screenshots.
    export XDG_DESKTOP_PORTAL_DIR=$dir/empty-portals
fi
cat > "$dir/sway.conf" <<CONF
output HEADLESS-1 resolution 1920x1080 position 0 0 bg #336699 solid_color
default_border none
focus_follows_mouse no
exec sh -c 'xhost +si:localuser:$(id -un) > /dev/null; echo "\$DISPLAY" > $dir/run/x-display'
CONF
run_sway=(sway -c "$dir/sway.conf")
if [ "$(id -u)" -eq 0 ]; then
    run_sway=(setpriv --reuid="$user" --regid="$user" --init-groups env HOME="$dir/home" "${run_sway[@]}")
fi
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${run_sway[@]}" > "$dir/sway.log" 2>&1 &
sway_pid=$!
# sway makes its sockets and starts its first command within a second or two; a generous bound.
for _ in $(seq 400); do
    [ -S "$XDG_RUNTIME_DIR/wayland-1" ] && [ -s "$XDG_RUNTIME_DIR/x-display" ] && break
    kill -0 "$sway_pid" 2> /dev/null || { echo "sway ended: $(tail -n 5 "$dir/sway.log")" >&2; exit 1; }
    sleep 0.05
done
[ -s "$XDG_RUNTIME_DIR/x-display" ] || { echo "sway did not start: $(tail -n 5 "$dir/sway.log")" >&2; exit 1; }
export WAYLAND_DISPLAY=$XDG_RUNTIME_DIR/wayland-1
export SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n 1)
pipewire > "$dir/pipewire.log" 2>&1 &
dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE \
    XDG_RUNTIME_DIR SWAYSOCK ${XDG_DESKTOP_PORTAL_DIR:+XDG_DESKTOP_PORTAL_DIR}
# The portal starts on first use, with its backends. Started here, so that the tests time
# captures only; the backends first: the portal waits long for a backend it starts itself.
for name in org.freedesktop.impl.portal.desktop.wlr org.freedesktop.impl.portal.desktop.gtk \
    org.freedesktop.portal.Desktop; do
    [ "$mode" = --no-portal-backend ] && [ "$name" != org.freedesktop.portal.Desktop ] && continue
    gdbus introspect --session --dest "$name" --object-path /org/freedesktop/portal/desktop \
        > /dev/null 2>&1 || true
done
{
    echo "WAYLAND_DISPLAY=$WAYLAND_DISPLAY"
    echo "DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS"
    echo "SWAYSOCK=$SWAYSOCK"
    echo "DISPLAY=$(cat "$XDG_RUNTIME_DIR/x-display")"
} > "$dir/env.part"
mv "$dir/env.part" "$dir/env"
wait "$sway_pid"
