#pragma once
// End-to-end tests on real sockets run inside the network lab (scripts/lab:
// namespaces "pc" and "dev" joined by two veth pairs, the simulated device
// in "dev"). A lab test runs twice: started normally, it builds a fresh lab
// and re-runs itself (the same binary, only this test) inside the "pc"
// namespace, then reports that run's result; inside the lab it does the
// actual work. Without root or namespace support the test is skipped with
// the reason. Use it as
//
//     TEST(Lab, Something) {
//         LAB_RUN_INSIDE({"--dev-args", "--device name=A1"});
//         ... code that runs inside the "pc" namespace ...
//     }
//
// Each run uses namespaces of its own (pc-<pid>, dev-<pid>), so lab tests
// may run in parallel.

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace Lab {

// Empty when a lab can be built here; otherwise why not.
QString Unavailable();

// Whether this process is the run inside the lab.
bool Inside();

struct Run
{
    int exitCode = -1;
    QString output;
};

// Builds a lab with `labOptions` (options of scripts/lab; the simulator
// binary of this build is added) and runs the current test inside it.
Run RunCurrentTestInLab(const QStringList &labOptions, int timeoutMs = 120000);

// A configuration file for the simulator (devicesim --config PATH), written
// by the outer run: the lab's simulator starts before the inner run does.
// Returns its path, the same in both runs.
QString WriteConfig(const char *name, const QByteArray &json);

// Inside the lab: the scratch folder ($LAB_DIR) and the simulator's state
// file when the simulator was started with --state-file $LAB_DIR/state.json.
QString Dir();
QString StateFile();
// The state file's JSON ("devices": [...]); empty when unreadable.
QJsonObject ReadState();
// One device of the state file.
QJsonObject Device(int index = 0);
// A file's text (UTF-8); empty when it cannot be read.
QString ReadText(const QString &path);
// The simulator's output so far.
QString SimulatorLog();

} // namespace Lab

// The first statement of a lab test (see the file comment).
#define LAB_RUN_INSIDE(...)                                                                                  \
    do {                                                                                                     \
        if (!Lab::Inside()) {                                                                                \
            const QString why = Lab::Unavailable();                                                          \
            if (!why.isEmpty())                                                                              \
                GTEST_SKIP() << "network lab not available: " << why.toStdString();                          \
            const Lab::Run run = Lab::RunCurrentTestInLab(QStringList __VA_ARGS__);                          \
            EXPECT_EQ(run.exitCode, 0) << "inside the lab:\n" << run.output.toStdString();                   \
            return;                                                                                          \
        }                                                                                                    \
    } while (false)
