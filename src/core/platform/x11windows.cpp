#include "platform/x11windows.h"

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

// Longest title read, in 32-bit units of the property protocol.
constexpr uint32_t kTitleUnits = 1024;
// Most windows read from the client list.
constexpr uint32_t kListUnits = 65536;

enum Atom { NetClientList, NetWmName, Utf8String, AtomCount };

std::array<xcb_atom_t, AtomCount> InternAtoms(xcb_connection_t *c)
{
    static const char *const names[AtomCount] = {"_NET_CLIENT_LIST", "_NET_WM_NAME", "UTF8_STRING"};
    std::array<xcb_intern_atom_cookie_t, AtomCount> cookies{};
    // Only existing atoms: a lookup must not create names on the server.
    for (int i = 0; i < AtomCount; ++i)
        cookies[i] = xcb_intern_atom(c, 1, uint16_t(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, AtomCount> atoms{};
    for (int i = 0; i < AtomCount; ++i) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    return atoms;
}

// A property reply taken with its error, so that a window gone in the
// meantime does not end up as an error event in the toolkit's queue.
Reply<xcb_get_property_reply_t> TakeProperty(xcb_connection_t *c, xcb_get_property_cookie_t cookie)
{
    xcb_generic_error_t *error = nullptr;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, &error));
    std::free(error);
    return reply;
}

std::vector<xcb_window_t> TopLevelWindows(xcb_connection_t *c, xcb_atom_t clientList)
{
    std::vector<xcb_window_t> windows;
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(c)); screen.rem; xcb_screen_next(&screen)) {
        const xcb_window_t root = screen.data->root;
        if (clientList != XCB_ATOM_NONE) {
            const auto list =
                TakeProperty(c, xcb_get_property(c, 0, root, clientList, XCB_ATOM_WINDOW, 0, kListUnits));
            if (list && list->type == XCB_ATOM_WINDOW && list->format == 32) {
                const auto *ids = static_cast<const xcb_window_t *>(xcb_get_property_value(list.get()));
                windows.insert(windows.end(), ids, ids + xcb_get_property_value_length(list.get()) / 4);
                continue;
            }
        }
        xcb_generic_error_t *error = nullptr;
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, root), &error));
        std::free(error);
        if (!tree)
            continue;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree.get()));
    }
    return windows;
}

// A property of another type than the one asked for comes back with its
// type but no value; `wanted` NONE takes any type.
bool TextOf(const xcb_get_property_reply_t *reply, xcb_atom_t wanted, xcb_atom_t utf8, QString &text)
{
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return false;
    if (wanted != XCB_ATOM_NONE && reply->type != wanted)
        return false;
    const auto *data = static_cast<const char *>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply);
    text = reply->type == utf8 ? QString::fromUtf8(data, length) : QString::fromLatin1(data, length);
    return true;
}

} // namespace

QStringList X11TopLevelWindowTitles(xcb_connection_t *c)
{
    QStringList titles;
    if (!c || xcb_connection_has_error(c))
        return titles;
    const auto atoms = InternAtoms(c);
    const std::vector<xcb_window_t> windows = TopLevelWindows(c, atoms[NetClientList]);

    struct Pending
    {
        xcb_get_property_cookie_t netName;
        xcb_get_property_cookie_t wmName;
    };
    std::vector<Pending> pending;
    pending.reserve(windows.size());
    const bool netNames = atoms[NetWmName] != XCB_ATOM_NONE && atoms[Utf8String] != XCB_ATOM_NONE;
    for (const xcb_window_t window : windows) {
        Pending p{};
        if (netNames)
            p.netName = xcb_get_property(c, 0, window, atoms[NetWmName], atoms[Utf8String], 0, kTitleUnits);
        p.wmName =
            xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, kTitleUnits);
        pending.push_back(p);
    }
    // Every answer is taken, also when the first one already gave the title:
    // an answer left unread would stay queued in the connection.
    for (const Pending &p : pending) {
        const auto netName = netNames ? TakeProperty(c, p.netName) : Reply<xcb_get_property_reply_t>();
        const auto wmName = TakeProperty(c, p.wmName);
        if (!wmName)
            continue; // the window went away meanwhile
        QString title;
        if (!TextOf(netName.get(), atoms[Utf8String], atoms[Utf8String], title))
            TextOf(wmName.get(), XCB_ATOM_NONE, atoms[Utf8String], title);
        titles << title;
    }
    return titles;
}
