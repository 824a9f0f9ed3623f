#include "ui/lab.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const char *const kInsideVariable = "WIZARD_LAB_INSIDE";

QString Script()
{
    return QStringLiteral(WIZARD_SOURCE_DIR "/scripts/lab");
}

QString Simulator()
{
    return QStringLiteral(WIZARD_BINARY_DIR "/tools/devicesim/devicesim");
}

} // namespace

namespace Lab {

QString Unavailable()
{
    static const QString reason = [] {
        if (!QFileInfo(Simulator()).isExecutable())
            return QStringLiteral("the simulator %1 is not built (build the target devicesim)")
                .arg(Simulator());
        QProcess check;
        check.start(Script(), {QStringLiteral("--check")});
        if (!check.waitForFinished(30000))
            return QStringLiteral("scripts/lab --check did not finish");
        if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0) {
            const QString why = QString::fromLocal8Bit(check.readAllStandardError()).trimmed();
            return why.isEmpty() ? QStringLiteral("scripts/lab --check failed") : why;
        }
        return QString();
    }();
    return reason;
}

bool Inside()
{
    return qEnvironmentVariable(kInsideVariable) == QLatin1String("1");
}

Run RunCurrentTestInLab(const QStringList &labOptions, int timeoutMs)
{
    Run run;
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name());
    QStringList arguments;
    arguments << QStringLiteral("--unique") << QStringLiteral("--devicesim") << Simulator() << labOptions
              << QStringLiteral("--") << QCoreApplication::applicationFilePath() << filter;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kInsideVariable), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(Script(), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.terminate(); // the lab's trap tears the namespaces down
        if (!process.waitForFinished(10000))
            process.kill();
        run.output = QStringLiteral("timed out\n") + QString::fromLocal8Bit(process.readAll());
        return run;
    }
    run.output = QString::fromLocal8Bit(process.readAll());
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

QString WriteConfig(const char *name, const QByteArray &json)
{
    const QString path = QStringLiteral(WIZARD_BINARY_DIR "/lab-%1.json").arg(QString::fromLatin1(name));
    if (!Inside()) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(json);
    }
    return path;
}

QString Dir()
{
    return qEnvironmentVariable("LAB_DIR");
}

QString StateFile()
{
    return Dir() + QStringLiteral("/state.json");
}

QJsonObject ReadState()
{
    QFile file(StateFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonObject Device(int index)
{
    return ReadState()[QStringLiteral("devices")].toArray().at(index).toObject();
}

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString SimulatorLog()
{
    QFile file(qEnvironmentVariable("LAB_SIM_LOG"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll());
}

} // namespace Lab
