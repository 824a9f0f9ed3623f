// One tick of the installer watch (the autorun menu's and the welcome page's
// TimerInstAcrobat) with 50 top-level windows open, on the X display named
// by DISPLAY (run-bench starts a private Xvfb). The tick asks the X server
// for every top-level title over the toolkit's own connection; it must stay
// well under 5 ms, as it runs on the GUI thread. Measured twice: as on a
// bare X server (the root window's children) and as under a window manager
// (its client list on the root window, set here). Prints
// "installer_tick_<case>_us median p90 max" lines in microseconds.
#include "app/globalvar.h"
#include "framework/uiservices.h"
#include "pages/front/userguide.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr int kWindows = 50;
constexpr int kTicks = 1000;

void Report(const char *name, std::vector<qint64> &ns)
{
    std::sort(ns.begin(), ns.end());
    const auto at = [&ns](double q) { return double(ns[size_t(q * double(ns.size() - 1))]) / 1000.0; };
    std::printf("installer_tick_%s_us %.1f %.1f %.1f\n", name, at(0.5), at(0.9), double(ns.back()) / 1000.0);
}

std::vector<qint64> Measure(UserGuideLauncher &watch)
{
    std::vector<qint64> ns;
    ns.reserve(kTicks);
    for (int i = 0; i < kTicks; ++i) {
        QElapsedTimer clock;
        clock.start();
        watch.Tick();
        ns.push_back(clock.nsecsElapsed());
    }
    return ns;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) {
        std::fprintf(stderr, "bench_installerwatch: needs an X display\n");
        return 1;
    }
    QTemporaryDir medium;
    g_Var.ReadSettings(medium.path() + QStringLiteral("/Setup")); // every default
    SetUiServices(nullptr);

    // 49 other windows and the installer's, last, so the whole list is read.
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < kWindows; ++i) {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(i + 1 == kWindows ? g_Var.AcrobatReaderTitle
                                                 : QStringLiteral("Some window %1").arg(i));
        window->resize(120, 80);
        window->show();
        windows.push_back(std::move(window));
    }
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    QTimer timer;
    UserGuideLauncher watch(&timer);
    watch.Tick();
    if (watch.AcrobatWaitCount != 0) {
        std::fprintf(stderr, "bench_installerwatch: the installer window was not found\n");
        return 1;
    }
    std::vector<qint64> bare = Measure(watch);
    Report("bare", bare);

    xcb_connection_t *c = x11->connection();
    const char name[] = "_NET_CLIENT_LIST";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    std::vector<xcb_window_t> ids;
    for (const auto &window : windows)
        ids.push_back(xcb_window_t(window->winId()));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root,
                        atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE), XCB_ATOM_WINDOW, 32,
                        uint32_t(ids.size()), ids.data());
    std::free(atom);
    xcb_flush(c);
    std::vector<qint64> managed = Measure(watch);
    Report("clientlist", managed);
    return 0;
}
