#pragma once
// The benchmarks that open real sockets run only inside the network lab:
// started outside it, such a benchmark builds a lab (root) with the given
// options of scripts/lab and re-runs itself in the "pc" namespace.

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <cstdio>

namespace BenchLab {

inline const char *const kInside = "WIZARD_LAB_INSIDE";

inline bool Inside()
{
    return qEnvironmentVariable(kInside) == QLatin1String("1");
}

// Builds the lab and runs this binary with its arguments inside; returns
// its exit code.
inline int RunInLab(int argc, char **argv, const QStringList &labOptions)
{
    const QString source = QStringLiteral(WIZARD_SOURCE_DIR);
    const QString binary = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath() + QStringLiteral("/..");
    QStringList arguments{QStringLiteral("--unique"), QStringLiteral("--devicesim"),
                          binary + QStringLiteral("/tools/devicesim/devicesim")};
    arguments << labOptions << QStringLiteral("--") << QCoreApplication::applicationFilePath();
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QProcess lab;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kInside), QStringLiteral("1"));
    lab.setProcessEnvironment(env);
    lab.setProcessChannelMode(QProcess::ForwardedChannels);
    lab.start(source + QStringLiteral("/scripts/lab"), arguments);
    if (!lab.waitForStarted(5000) || !lab.waitForFinished(-1)) {
        std::fprintf(stderr, "%s: scripts/lab could not be run\n", argv[0]);
        return 1;
    }
    return lab.exitCode();
}

} // namespace BenchLab
