// SPDX-License-Identifier: MIT
// A virtual pointer for the Wayland tests: a headless compositor has no input devices, so its
// seat has no pointer and no client sees clicks. Reads commands from standard input, one a line,
// and answers "ok" once the compositor has them:
//   move X Y    (layout pixels)    down / up    (left button)    right (a right click)    quit
// Usage: wl-pointer WIDTH HEIGHT (the layout's size, for absolute moves).
#include "virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static struct zwlr_virtual_pointer_manager_v1* s_manager;
static struct wl_seat* s_seat;

static void OnGlobal(void* data, struct wl_registry* registry, uint32_t name, const char* iface,
                     uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(iface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        s_manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    else if (strcmp(iface, wl_seat_interface.name) == 0 && s_seat == NULL)
        s_seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
}

static void OnGlobalRemove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

static uint32_t NowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: wl-pointer WIDTH HEIGHT\n");
        return 2;
    }
    const uint32_t cx = (uint32_t)atoi(argv[1]);
    const uint32_t cy = (uint32_t)atoi(argv[2]);
    struct wl_display* display = wl_display_connect(NULL);
    if (display == NULL) {
        fprintf(stderr, "wl-pointer: no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, NULL);
    wl_display_roundtrip(display);
    if (s_manager == NULL) {
        fprintf(stderr, "wl-pointer: the compositor has no virtual pointers\n");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(s_manager, s_seat);
    wl_display_roundtrip(display);
    printf("ready\n");
    fflush(stdout);
    char line[128];
    while (fgets(line, sizeof line, stdin) != NULL) {
        unsigned x = 0, y = 0;
        if (sscanf(line, "move %u %u", &x, &y) == 2)
            zwlr_virtual_pointer_v1_motion_absolute(pointer, NowMs(), x, y, cx, cy);
        else if (strncmp(line, "down", 4) == 0)
            zwlr_virtual_pointer_v1_button(pointer, NowMs(), 0x110 /* BTN_LEFT */, 1);
        else if (strncmp(line, "up", 2) == 0)
            zwlr_virtual_pointer_v1_button(pointer, NowMs(), 0x110, 0);
        else if (strncmp(line, "right", 5) == 0) {
            zwlr_virtual_pointer_v1_button(pointer, NowMs(), 0x111 /* BTN_RIGHT */, 1);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, NowMs(), 0x111, 0);
        } else if (strncmp(line, "quit", 4) == 0)
            break;
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        printf("ok\n");
        fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
