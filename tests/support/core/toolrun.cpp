#include "toolrun.h"

#include <QProcess>

std::ostream &operator<<(std::ostream &os, const ToolRun &run)
{
    return os << "exit " << run.exitCode << "\n--- stdout\n"
              << run.out.toStdString() << "--- stderr\n"
              << run.err.toStdString();
}

ToolRun RunTool(const QString &program, const QStringList &arguments, const ToolStart &start)
{
    QProcess process;
    process.setProcessEnvironment(start.environment);
    if (start.mergedOutput)
        process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.write(start.input);
    process.closeWriteChannel();
    ToolRun run;
    if (!process.waitForFinished(start.timeoutMs)) {
        process.kill();
        process.waitForFinished(10000);
        run.err = QStringLiteral("did not finish\n");
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err += QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString WizardctlClient()
{
    const QString other = qEnvironmentVariable("WIZARDCTL_CLIENT");
    return other.isEmpty() ? QStringLiteral(WIZARD_BINARY_DIR "/tools/wizardctl/wizardctl-test") : other;
}

ToolStart WizardctlStart(const QString &scale)
{
    ToolStart start;
    start.environment.insert(QStringLiteral("WIZARDCTL_TIME_SCALE"), scale);
    start.environment.remove(QStringLiteral("WIZARDCTL_PASSWORD"));
    return start;
}
