#include "WindowWatch.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace bench {

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A property of a window as raw bytes; empty when it is missing.
QByteArray Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1024), nullptr);
    QByteArray value;
    if (reply && reply->type != XCB_ATOM_NONE)
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply) * (reply->format / 8));
    std::free(reply);
    return value;
}

} // namespace

int64_t MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

struct WindowWatch::PRIVATE {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    uint8_t damageEvent = 0;   // the server's number of the damage report
    xcb_atom_t wmPid = 0, netWmName = 0, utf8 = 0;

    // The next event, or null when the deadline passed first.
    xcb_generic_event_t* Next(int64_t deadlineNs)
    {
        for (;;) {
            if (xcb_generic_event_t* event = xcb_poll_for_event(c))
                return event;
            if (xcb_connection_has_error(c))
                return nullptr;
            const int64_t leftMs = (deadlineNs - MonotonicNs()) / 1'000'000;
            if (leftMs <= 0)
                return nullptr;
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(leftMs) + 1);
        }
    }

    bool IsWanted(xcb_window_t window, int64_t pid, const QString& title)
    {
        const QByteArray pidValue = Property(c, window, wmPid, XCB_ATOM_CARDINAL);
        if (pidValue.size() < 4)
            return false;
        uint32_t windowPid = 0;
        std::memcpy(&windowPid, pidValue.constData(), 4);
        if (windowPid != static_cast<uint32_t>(pid))
            return false;
        if (title.isEmpty())
            return true;
        QByteArray name = Property(c, window, netWmName, utf8);
        if (name.isEmpty())
            name = Property(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        return QString::fromUtf8(name) == title;
    }
};

WindowWatch::WindowWatch(const QString& display) : d(std::make_unique<PRIVATE>())
{
    int nScreen = 0;
    d->c = xcb_connect(display.toLocal8Bit().constData(), &nScreen);
    if (xcb_connection_has_error(d->c))
        return;
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(d->c, &xcb_damage_id);
    if (!damage || !damage->present)
        return;
    d->damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    std::free(xcb_damage_query_version_reply(
        d->c, xcb_damage_query_version(d->c, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION), nullptr));
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(d->c));
    for (int i = 0; i < nScreen && it.rem; ++i)
        xcb_screen_next(&it);
    d->root = it.data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(d->c, d->root, XCB_CW_EVENT_MASK, &mask);
    d->wmPid = Atom(d->c, "_NET_WM_PID");
    d->netWmName = Atom(d->c, "_NET_WM_NAME");
    d->utf8 = Atom(d->c, "UTF8_STRING");
    xcb_flush(d->c);
}

WindowWatch::~WindowWatch()
{
    if (d->c)
        xcb_disconnect(d->c);
}

bool WindowWatch::IsConnected() const { return d->c && !xcb_connection_has_error(d->c) && d->root; }

void WindowWatch::Drain()
{
    std::free(xcb_get_input_focus_reply(d->c, xcb_get_input_focus(d->c), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(d->c))
        std::free(event);
}

WINDOW_TIMES WindowWatch::Wait(int64_t pid, const QString& title, int64_t startNs, int timeoutMs)
{
    WINDOW_TIMES times;
    const int64_t deadline = startNs + static_cast<int64_t>(timeoutMs) * 1'000'000;
    const auto since = [startNs] { return static_cast<double>(MonotonicNs() - startNs) / 1e9; };
    xcb_window_t window = 0;
    while (xcb_generic_event_t* event = d->Next(deadline)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // Every new top-level window is watched from its creation on, so a
            // program that draws at once is not missed; the server drops the
            // watch with the window.
            const auto* create = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (create->parent == d->root)
                xcb_damage_create(d->c, xcb_generate_id(d->c), create->window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
            xcb_flush(d->c);
        } else if (!times.bMapped && type == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (map->event == d->root && !map->override_redirect && d->IsWanted(map->window, pid, title)) {
                times.bMapped = true;
                times.dMapped = since();
                window = map->window;
            }
        } else if (times.bMapped && type == d->damageEvent) {
            if (reinterpret_cast<xcb_damage_notify_event_t*>(event)->drawable == window) {
                times.bDrawn = true;
                times.dDrawn = since();
            }
        }
        std::free(event);
        if (times.bDrawn)
            break;
    }
    return times;
}

} // namespace bench
