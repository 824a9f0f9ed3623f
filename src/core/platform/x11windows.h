#pragma once
// The titles of the top-level windows of an X display, read over an X
// connection that is already open (the toolkit's own in the program): the
// window manager's client list (_NET_CLIENT_LIST) when there is one, else
// the root window's children (an X server without a window manager). Each
// title is _NET_WM_NAME (UTF-8), else WM_NAME; a window with neither has an
// empty title. Every request goes out before the first answer is awaited, so
// one lookup costs a handful of round trips however many windows are open.

#include <QStringList>

struct xcb_connection_t;

// Empty for a null or broken connection.
QStringList X11TopLevelWindowTitles(xcb_connection_t *connection);
