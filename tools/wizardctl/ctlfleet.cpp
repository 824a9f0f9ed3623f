#include "ctlfleet.h"

#include "ctlsockethub.h"

#include "app/debug.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif
#else
#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

constexpr int kRedrawMs = 100;

// Set by the first Ctrl-C of a run; read by every job's thread.
std::atomic<bool> g_stop{false};

// The engine of a new session picks its local MAC from the adapter list,
// or from rand() without one: both are done one session at a time.
std::mutex g_sessionMaking;

// Catches the first Ctrl-C of a run; the second one gets the default
// handling again, which ends the program.
class StopSignal
{
public:
    StopSignal()
    {
        g_stop = false;
#ifdef _WIN32
        SetConsoleCtrlHandler(&StopSignal::OnConsole, TRUE);
#else
        struct sigaction action = {};
        action.sa_handler = &StopSignal::OnSignal;
        sigemptyset(&action.sa_mask);
        // The first one resets the handling to the default; a system call
        // it interrupts (a send) goes on.
        action.sa_flags = SA_RESETHAND | SA_RESTART;
        sigaction(SIGINT, &action, &m_previous);
#endif
    }
    ~StopSignal()
    {
#ifdef _WIN32
        SetConsoleCtrlHandler(&StopSignal::OnConsole, FALSE);
#else
        sigaction(SIGINT, &m_previous, nullptr);
#endif
    }
    StopSignal(const StopSignal &) = delete;
    StopSignal &operator=(const StopSignal &) = delete;

private:
#ifdef _WIN32
    static BOOL WINAPI OnConsole(DWORD type)
    {
        if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
            return FALSE;
        // FALSE hands the second one to the next handler: the default ends the process.
        return g_stop.exchange(true) ? FALSE : TRUE;
    }
#else
    static void OnSignal(int)
    {
        g_stop = true;
    }
    struct sigaction m_previous = {};
#endif
};

class JobStatus : public FleetStatus
{
public:
    void Say(const QString &text) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (text == m_last)
            return;
        m_last = text;
        m_changes.push_back(text);
    }
    bool StopRequested() const override { return g_stop; }

    std::vector<QString> TakeChanges()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return std::exchange(m_changes, {});
    }

private:
    std::mutex m_lock;
    QString m_last;
    std::vector<QString> m_changes;
};

// The progress stream: a terminal's lines redrawn in place, or plain
// lines. Everything here runs in the main thread.
class ProgressBoard
{
public:
    ProgressBoard(QTextStream &out, const std::vector<FleetJob> &jobs) : m_out(out), m_slots(jobs.size())
    {
        for (size_t i = 0; i < jobs.size(); ++i)
            m_slots[i].label = jobs[i].label;
        OpenTerminal();
    }
    ~ProgressBoard()
    {
#ifdef _WIN32
        if (m_console)
            SetConsoleMode(m_console, m_consoleMode);
#endif
    }
    ProgressBoard(const ProgressBoard &) = delete;
    ProgressBoard &operator=(const ProgressBoard &) = delete;

    FleetStatus &Status(size_t i)
    {
        return m_slots[i].status;
    }
    void Started(size_t i)
    {
        m_slots[i].state = State::Running;
    }
    void Finished(size_t i)
    {
        m_slots[i].state = State::Done;
    }

    // Shows what changed since the last call; `waiting` jobs are not started yet.
    void Show(bool stopping, size_t waiting)
    {
        bool changed = false;
        for (Slot &s : m_slots) {
            for (QString &text : s.status.TakeChanges()) {
                if (!m_terminal)
                    m_out << s.label << ": " << text << '\n';
                s.text = std::move(text);
                changed = true;
            }
        }
        QString notice;
        if (stopping && !m_stopShown) {
            m_stopShown = true;
            notice = QStringLiteral("stopping: the writes in flight finish; %1 not started").arg(waiting);
            changed = true;
        }
        if (!m_terminal) {
            if (!notice.isEmpty())
                m_out << notice << '\n';
            m_out.flush();
            return;
        }
        changed |= std::any_of(m_slots.begin(), m_slots.end(),
                               [](const Slot &s) { return s.state == State::Done && !s.settled; });
        if (!changed && waiting == m_waitingShown)
            return;
        Redraw(notice, stopping ? 0 : waiting);
    }

private:
    enum class State { Waiting, Running, Done };
    struct Slot
    {
        QString label;
        JobStatus status;
        State state = State::Waiting;
        QString text;
        bool settled = false; // its last line is drawn above the live lines
    };

    QString Line(const Slot &s) const
    {
        QString line = s.label + QStringLiteral(": ") + (s.text.isEmpty() ? QStringLiteral("...") : s.text);
        // A wrapped line would throw the cursor movements off.
        if (m_width > 1 && line.size() >= m_width)
            line.truncate(m_width - 1);
        return line;
    }

    void Redraw(const QString &notice, size_t waiting)
    {
        static const QString kClear = QStringLiteral("\x1b[2K");
        if (m_liveLines > 0)
            m_out << "\r\x1b[" << m_liveLines << 'A';
        for (Slot &s : m_slots) {
            if (s.state == State::Done && !s.settled) {
                s.settled = true;
                m_out << kClear << Line(s) << '\n';
            }
        }
        if (!notice.isEmpty())
            m_out << kClear << notice << '\n';
        m_liveLines = 0;
        const int room = m_height > 2 ? m_height - 2 : 1 << 20;
        int hidden = 0;
        for (const Slot &s : m_slots) {
            if (s.state != State::Running)
                continue;
            if (m_liveLines >= room) {
                ++hidden;
                continue;
            }
            m_out << kClear << Line(s) << '\n';
            ++m_liveLines;
        }
        if (hidden > 0 || waiting > 0) {
            m_out << kClear;
            if (hidden > 0)
                m_out << "(" << hidden << " more running) ";
            if (waiting > 0)
                m_out << "(" << waiting << " waiting)";
            m_out << '\n';
            ++m_liveLines;
        }
        m_waitingShown = waiting;
        m_out << "\x1b[J";
        m_out.flush();
    }

    void OpenTerminal()
    {
        const auto *file = qobject_cast<QFile *>(m_out.device());
        const int fd = file ? file->handle() : -1;
        if (fd < 0)
            return;
#ifdef _WIN32
        if (!_isatty(fd))
            return;
        const HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
        DWORD mode = 0;
        if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode))
            return;
        // Older consoles know no cursor movements: plain lines there.
        if (!SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
            return;
        m_console = console;
        m_consoleMode = mode;
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (GetConsoleScreenBufferInfo(console, &info)) {
            m_width = info.srWindow.Right - info.srWindow.Left + 1;
            m_height = info.srWindow.Bottom - info.srWindow.Top + 1;
        }
#else
        if (!isatty(fd))
            return;
        winsize size = {};
        if (ioctl(fd, TIOCGWINSZ, &size) == 0) {
            m_width = size.ws_col;
            m_height = size.ws_row;
        }
#endif
        m_terminal = true;
    }

    QTextStream &m_out;
    std::vector<Slot> m_slots;
    bool m_terminal = false;
    int m_width = 0;  // 0: unknown
    int m_height = 0; // 0: unknown
    int m_liveLines = 0;
    size_t m_waitingShown = 0;
    bool m_stopShown = false;
#ifdef _WIN32
    HANDLE m_console = nullptr;
    DWORD m_consoleMode = 0;
#endif
};

} // namespace

FleetRun RunFleet(std::vector<FleetJob> &jobs, int parallel, QTextStream &progress)
{
    FleetRun run;
    run.started.assign(jobs.size(), false);
    parallel = std::max(parallel, 1);
    const StopSignal stopSignal;
    SocketHub hub;
    ProgressBoard board(progress, jobs);
    std::vector<std::unique_ptr<QThread>> threads(jobs.size());
    QEventLoop loop;
    size_t next = 0;
    int running = 0;

    std::function<void()> startMore;
    const auto start = [&](size_t i) {
        auto link = std::make_shared<SessionLink>(hub, jobs[i].mac);
        FleetJob &job = jobs[i];
        FleetStatus &status = board.Status(i);
        threads[i].reset(QThread::create([link, &job, &status] {
            // The log's lines carry the thread: this one names its device.
            DebugPrint("RunFleet: %s", qPrintable(job.label));
            std::unique_ptr<CtlSession> session;
            {
                const std::lock_guard<std::mutex> lock(g_sessionMaking);
                session = std::make_unique<CtlSession>(link.get());
            }
            if (job.run)
                job.run(*session, status);
            // Logs out and gives the turn back, still in this thread.
            session.reset();
        }));
        QObject::connect(threads[i].get(), &QThread::finished, &loop, [&, i] {
            threads[i]->wait();
            --running;
            board.Finished(i);
            startMore();
        });
        run.started[i] = true;
        ++running;
        board.Started(i);
        threads[i]->start();
    };
    startMore = [&] {
        while (running < parallel && next < jobs.size() && !g_stop)
            start(next++);
        if (running == 0)
            loop.quit();
    };

    QTimer tick;
    tick.setInterval(kRedrawMs);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] { board.Show(g_stop, jobs.size() - next); });
    tick.start();
    startMore();
    // A quit before exec would be lost: with nothing started there is nothing to wait for.
    if (running > 0)
        loop.exec();
    tick.stop();
    run.interrupted = g_stop;
    board.Show(g_stop, jobs.size() - next);
    // The last logouts the sessions queued go out before the sockets close.
    QCoreApplication::sendPostedEvents(&hub);
    if (run.interrupted)
        DebugPrint("RunFleet: stopped by Ctrl-C, %d of %d jobs started", int(next), int(jobs.size()));
    return run;
}
