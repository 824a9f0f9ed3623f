#pragma once
// A settings folder for widget tests: a temporary folder standing for the
// executable's folder of a "Setup" program, with its Setup.ini and any
// documents a test puts beside it. Load() runs the start-up read of g_Var
// on it; destruction reads the defaults back into g_Var (no settings file).

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TestSettings
{
public:
    // `ini` is the text of Setup.ini (none written when empty).
    explicit TestSettings(const QByteArray &ini = QByteArray());
    ~TestSettings();
    TestSettings(const TestSettings &) = delete;
    TestSettings &operator=(const TestSettings &) = delete;

    QString Folder() const; // ends with '/'
    QString ExecutablePath() const;
    // Writes a file relative to the folder; returns its full path.
    QString Write(const QString &relative, const QByteArray &content);
    // The start-up read of g_Var on this folder.
    void Load();

private:
    QTemporaryDir m_dir;
};
