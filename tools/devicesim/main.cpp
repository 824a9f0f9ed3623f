// devicesim: the simulated device of the network lab. See --help.
#include "simhost.h"
#include "simoptions.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SimHostOptions options;
    QString error;
    if (!ParseCommandLine(app.arguments(), options, error)) {
        if (error.isEmpty())
            return 0; // --help
        QTextStream(stderr) << "devicesim: " << error << '\n';
        return 64;
    }
    SimHost host(std::move(options));
    if (!host.Start(error)) {
        QTextStream(stderr) << "devicesim: " << error << '\n';
        return 1;
    }
    return app.exec();
}
