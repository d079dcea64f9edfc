// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wayland.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <poll.h>

namespace velumbra {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(3);

struct Output
{
    wl_output *proxy = nullptr;
    WaylandOutput info;
    bool turned = false; // a quarter turn: the mode's width is the monitor's height
};

struct Registry
{
    std::vector<std::string> globals;
    std::vector<std::unique_ptr<Output>> outputs;
};

void onGeometry(void *data, wl_output *, int32_t, int32_t, int32_t, int32_t, int32_t, const char *,
                const char *, int32_t transform)
{
    // The odd transforms (90, 270 and their flips) turn the monitor a quarter.
    static_cast<Output *>(data)->turned = (transform % 2) == 1;
}

void onMode(void *data, wl_output *, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        auto *output = static_cast<Output *>(data);
        output->info.width = width;
        output->info.height = height;
    }
}

void onDone(void *, wl_output *) {}
void onScale(void *, wl_output *, int32_t) {}

void onName(void *data, wl_output *, const char *name)
{
    static_cast<Output *>(data)->info.name = name;
}

void onDescription(void *, wl_output *, const char *) {}

const wl_output_listener kOutputListener{onGeometry, onMode, onDone,
                                         onScale,    onName, onDescription};

void onGlobal(void *data, wl_registry *registry, uint32_t id, const char *interface,
              uint32_t version)
{
    auto *state = static_cast<Registry *>(data);
    state->globals.emplace_back(interface);
    if (std::strcmp(interface, wl_output_interface.name) != 0)
        return;
    auto output = std::make_unique<Output>();
    output->proxy = static_cast<wl_output *>(
        wl_registry_bind(registry, id, &wl_output_interface, std::min(version, 4u)));
    wl_output_add_listener(output->proxy, &kOutputListener, output.get());
    state->outputs.push_back(std::move(output));
}

void onGlobalRemove(void *, wl_registry *, uint32_t) {}

const wl_registry_listener kRegistryListener{onGlobal, onGlobalRemove};

void onSyncDone(void *data, wl_callback *callback, uint32_t)
{
    *static_cast<bool *>(data) = true;
    wl_callback_destroy(callback);
}

const wl_callback_listener kSyncListener{onSyncDone};

// wl_display_roundtrip() with a deadline: a compositor that hangs must not
// hang the program with it.
bool roundtrip(wl_display *display, Clock::time_point deadline)
{
    bool done = false;
    wl_callback *callback = wl_display_sync(display);
    wl_callback_add_listener(callback, &kSyncListener, &done);
    bool alive = true;
    while (!done && alive) {
        if (wl_display_prepare_read(display) != 0) {
            alive = wl_display_dispatch_pending(display) >= 0;
            continue;
        }
        wl_display_flush(display);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd fd{wl_display_get_fd(display), POLLIN, 0};
        const int ready = left > 0 ? ::poll(&fd, 1, int(left)) : 0;
        if (ready <= 0) {
            wl_display_cancel_read(display);
            alive = ready < 0 && errno == EINTR;
            continue;
        }
        alive = wl_display_read_events(display) == 0 && wl_display_dispatch_pending(display) >= 0;
    }
    if (!done)
        wl_callback_destroy(callback);
    return done;
}

} // namespace

bool WaylandCompositor::offers(const std::string &interfaceName) const
{
    return std::find(globals.begin(), globals.end(), interfaceName) != globals.end();
}

Result<WaylandCompositor> askWaylandCompositor(const std::string &display)
{
    wl_display *connection = wl_display_connect(display.empty() ? nullptr : display.c_str());
    if (!connection)
        return Failure{"Le compositeur Wayland « " + display + " » est injoignable."};
    Registry state;
    wl_registry *registry = wl_display_get_registry(connection);
    wl_registry_add_listener(registry, &kRegistryListener, &state);
    // The first round trip lists the globals; the second brings the events
    // of the outputs bound during the first.
    const auto deadline = Clock::now() + kPatience;
    const bool answered = roundtrip(connection, deadline) && roundtrip(connection, deadline);
    for (const auto &output : state.outputs)
        wl_output_destroy(output->proxy);
    wl_registry_destroy(registry);
    wl_display_disconnect(connection);
    if (!answered)
        return Failure{"Le compositeur Wayland « " + display + " » ne répond pas."};

    WaylandCompositor compositor{std::move(state.globals), {}};
    for (const auto &output : state.outputs) {
        WaylandOutput info = output->info;
        if (output->turned)
            std::swap(info.width, info.height);
        compositor.outputs.push_back(std::move(info));
    }
    return compositor;
}

} // namespace velumbra
