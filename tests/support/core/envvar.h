#pragma once
// Sets (or, with a null value, unsets) one environment variable for the
// lifetime of the object and puts back what was there before.

#include <QByteArray>
#include <QtGlobal>

class EnvVar
{
public:
    EnvVar(const char *name, const QByteArray &value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvVar()
    {
        if (had_)
            qputenv(name_, saved_);
        else
            qunsetenv(name_);
    }
    EnvVar(const EnvVar &) = delete;
    EnvVar &operator=(const EnvVar &) = delete;

private:
    const char *name_;
    bool had_;
    QByteArray saved_;
};
