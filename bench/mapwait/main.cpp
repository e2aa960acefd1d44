#include <xcb/xcb.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

// korvu_mapwait <title> <timeout-ms>
// Prints "ready" once it listens, then, when a top-level window with exactly
// that title is mapped, the wall-clock time the server's MapNotify reached it
// (seconds, as bash's EPOCHREALTIME) and the window id. Listening instead of
// polling gives the start-up figure no poll interval to round up to.

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection,
                                  xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name),
                                  nullptr),
            &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::string property(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                     xcb_atom_t type)
{
    Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 0, window, name, type, 0, 1024),
                                   nullptr),
            &std::free);
    if (!reply || reply->format != 8)
        return {};
    return std::string(static_cast<const char *>(xcb_get_property_value(reply.get())),
                       std::size_t(xcb_get_property_value_length(reply.get())));
}

double wallClockSeconds()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvu_mapwait <title> <timeout-ms>\n");
        return 2;
    }
    const std::string title = argv[1];
    const auto deadline = std::chrono::steady_clock::now()
            + std::chrono::milliseconds(std::atoi(argv[2]));

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "korvu_mapwait: cannot connect to the display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    Reply<xcb_generic_error_t> error(
            xcb_request_check(connection, xcb_change_window_attributes_checked(
                                                  connection, screen->root, XCB_CW_EVENT_MASK,
                                                  &mask)),
            &std::free);
    if (error) {
        std::fprintf(stderr, "korvu_mapwait: cannot listen on the root window\n");
        return 1;
    }
    const xcb_atom_t netWmName = atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    std::printf("ready\n");
    std::fflush(stdout);

    for (;;) {
        while (xcb_generic_event_t *raw = xcb_poll_for_event(connection)) {
            Reply<xcb_generic_event_t> event(raw, &std::free);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const double at = wallClockSeconds();
            const xcb_window_t window =
                    reinterpret_cast<xcb_map_notify_event_t *>(event.get())->window;
            std::string name = property(connection, window, netWmName, utf8);
            if (name.empty())
                name = property(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
            if (name == title) {
                std::printf("%.6f %u\n", at, window);
                xcb_disconnect(connection);
                return 0;
            }
        }
        if (xcb_connection_has_error(connection))
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&descriptor, 1, int(left.count()));
    }
    std::fprintf(stderr, "korvu_mapwait: no window titled \"%s\" was mapped\n", title.c_str());
    xcb_disconnect(connection);
    return 1;
}
