#pragma once
// Command line and JSON configuration of the simulated device host: which
// devices it plays and how they answer. The same keys are accepted in a
// --device "key=value,..." list and in a device object of the JSON file.

#include "simdevice.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

struct SimHostOptions
{
    std::vector<SimDeviceConfig> devices;
    bool unicastReplies = false;
    QStringList interfaces; // empty: every usable interface
    QString stateFile;
    QString readyFile;
    bool verbose = false;
};

// Applies one device key; false with `error` set for an unknown key or a
// value that cannot be read.
bool ApplyDeviceKey(SimDeviceConfig &device, const QString &key, const QJsonValue &value, QString &error);

// Parses "key=value,key,key=value" into a JSON object of strings (a bare key
// means "1").
QJsonObject ParseDeviceSpec(const QString &text);

// Builds a device from a JSON object of keys, numbered `index` for its
// default MAC and name.
bool DeviceFromJson(const QJsonObject &object, int index, SimDeviceConfig &device, QString &error);

// Reads the JSON file into `options` ("reply", "interfaces", "devices").
bool LoadConfigFile(const QString &path, SimHostOptions &options, QString &error);

// Parses the whole command line; false with `error` (or with `error` empty
// after printing --help).
bool ParseCommandLine(const QStringList &arguments, SimHostOptions &options, QString &error);

// The --help text.
QString UsageText();
