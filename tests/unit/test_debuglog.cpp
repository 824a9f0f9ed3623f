// The diagnostic log: switched on only by an existing ".Log" file, the
// exact line format, numbered files for a second running copy, whole
// lines under concurrent writers.
#include "app/debug.h"
#include "core/envvar.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

LogStamp Fixed()
{
    LogStamp s;
    s.Hour = 9;
    s.Minute = 5;
    s.Second = 7;
    s.Millisecond = 42;
    s.ThreadId = 0x5F4;
    return s;
}

class DebugLogTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Exe() const { return dir.filePath("Setup.exe"); }
    QString File(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
    QTemporaryDir dir;
};

TEST(DebugLogFormat, LineLayout)
{
    const struct
    {
        LogStamp stamp;
        const char *text, *expected;
    } rows[] = {
        {Fixed(), "TFormUDP::SendLogin()", "(09:05:07:042 0x5F4) TFormUDP::SendLogin()\r\n"},
        {{0, 0, 0, 0, 0}, "", "(00:00:00:000 0x0) \r\n"},
        {{23, 59, 59, 999, 0xabcdef}, "x", "(23:59:59:999 0xABCDEF) x\r\n"},
        {{12, 1, 2, 3, 0x7FFFFFFF}, "  indented", "(12:01:02:003 0x7FFFFFFF)   indented\r\n"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(CDebugLog::FormatLine(r.stamp, r.text), r.expected);
}

TEST(DebugLogFormat, RealStampUsesThisThread)
{
    const LogStamp s = CDebugLog::Now();
#ifdef Q_OS_WIN
    EXPECT_EQ(s.ThreadId, static_cast<unsigned long>(::GetCurrentThreadId()));
#else
    EXPECT_EQ(s.ThreadId, static_cast<unsigned long>(::syscall(SYS_gettid)));
#endif
    EXPECT_GE(s.Hour, 0);
    EXPECT_LT(s.Hour, 24);
    EXPECT_LT(s.Millisecond, 1000);
}

TEST_F(DebugLogTest, NoLogFileMeansOffAndNothingCreated)
{
    CDebugLog log(Exe(), Fixed);
    EXPECT_FALSE(log.IsOn());
    log.WriteLine("never written");
    log.WriteRaw("raw", 3);
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(DebugLogTest, AppendsStartMarkerAndLines)
{
    WriteFile(File("Setup.Log"), "earlier run\r\n");
    {
        CDebugLog log(Exe(), Fixed);
        ASSERT_TRUE(log.IsOn());
        EXPECT_EQ(log.LogFileName(), File("Setup.Log"));
        EXPECT_EQ(log.Prefix(), "<Setup> ");
        log.WriteLine("FAIL CreateMutex()");
    }
    EXPECT_EQ(ReadAll(File("Setup.Log")), "earlier run\r\n"
                                          "\r\n"
                                          "(09:05:07:042 0x5F4) == START LOG ==\r\n"
                                          "(09:05:07:042 0x5F4) FAIL CreateMutex()\r\n");
}

TEST_F(DebugLogTest, ExecutableWithoutExtension)
{
    WriteFile(File("setup-wizard.Log"), "");
    CDebugLog log(dir.filePath("setup-wizard"), Fixed);
    EXPECT_TRUE(log.IsOn());
    EXPECT_EQ(log.LogFileName(), File("setup-wizard.Log"));
}

TEST_F(DebugLogTest, RunningCopiesGetNumberedFiles)
{
    WriteFile(File("Setup.Log"), "");
    // A number left over from an earlier run is skipped, not reused.
    WriteFile(File("Setup_001.Log"), "old");

    auto first = std::make_unique<CDebugLog>(Exe(), Fixed);
    auto second = std::make_unique<CDebugLog>(Exe(), Fixed);
    auto third = std::make_unique<CDebugLog>(Exe(), Fixed);
    EXPECT_EQ(first->LogFileName(), File("Setup.Log"));
    EXPECT_EQ(second->LogFileName(), File("Setup_000.Log"));
    EXPECT_EQ(third->LogFileName(), File("Setup_002.Log"));
    second->WriteLine("second copy");
    second.reset();
    EXPECT_EQ(ReadAll(File("Setup_000.Log")), "\r\n(09:05:07:042 0x5F4) == START LOG ==\r\n"
                                              "(09:05:07:042 0x5F4) second copy\r\n");
    EXPECT_EQ(ReadAll(File("Setup_001.Log")), "old");

    // Once the first copy has ended, the next start takes the main file again.
    first.reset();
    CDebugLog fourth(Exe(), Fixed);
    EXPECT_EQ(fourth.LogFileName(), File("Setup.Log"));
}

TEST_F(DebugLogTest, ALogInTheUsersStateFolderComesFirst)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the user's state folder is a Linux place";
#endif
    const EnvVar state("XDG_STATE_HOME", File("state").toUtf8());
    WriteFile(File("Setup.Log"), "");
    EXPECT_EQ(CDebugLog(Exe(), Fixed).LogFileName(), File("Setup.Log"));

    ASSERT_TRUE(QDir().mkpath(File("state/setup-wizard")));
    WriteFile(File("state/setup-wizard/Setup.Log"), "");
    CDebugLog first(Exe(), Fixed);
    CDebugLog second(Exe(), Fixed);
    EXPECT_EQ(first.LogFileName(), File("state/setup-wizard/Setup.Log"));
    EXPECT_EQ(second.LogFileName(), File("state/setup-wizard/Setup_000.Log"));
    QFile::remove(File("Setup.Log"));
    EXPECT_TRUE(CDebugLog(Exe(), Fixed).IsOn()) << "the user's log alone switches logging on";
}

TEST_F(DebugLogTest, LogFileThatCannotBeOpenedFallsBack)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("Setup.Log")); // exists, but is no file
    CDebugLog log(Exe(), Fixed);
    EXPECT_TRUE(log.IsOn());
    EXPECT_EQ(log.LogFileName(), File("Setup_000.Log"));
#ifndef Q_OS_WIN // Windows keeps a new file to the folder's access rules
    // It holds keys in clear text: for the owner only.
    const QFileDevice::Permissions ownerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    EXPECT_EQ(QFile::permissions(log.LogFileName()), ownerOnly);
#endif
}

TEST_F(DebugLogTest, ConcurrentWritersKeepLinesWhole)
{
    WriteFile(File("Setup.Log"), "");
    {
        CDebugLog log(Exe()); // real clock and thread ids
        std::vector<std::thread> writers;
        const std::string text(300, 'w');
        for (int t = 0; t < 4; ++t)
            writers.emplace_back([&] {
                for (int i = 0; i < 200; ++i)
                    log.WriteLine(text.c_str());
            });
        for (auto &w : writers)
            w.join();
    }
    const QList<QByteArray> lines = ReadAll(File("Setup.Log")).split('\n');
    int body = 0;
    for (const QByteArray &line : lines) {
        if (line.isEmpty() || line == "\r" || line.endsWith("== START LOG ==\r"))
            continue;
        ++body;
        EXPECT_TRUE(line.endsWith(QByteArray(300, 'w') + "\r")) << line.left(40).constData();
        EXPECT_TRUE(line.startsWith('(')) << line.left(40).constData();
    }
    EXPECT_EQ(body, 800);
}

TEST(DebugPrint, HookSeesFormattedTextWithoutStamp)
{
    std::vector<std::string> seen;
    SetDebugTextHook([&](const char *text) { seen.emplace_back(text); });
    EXPECT_TRUE(DebugLogIsOn());
    DebugPrint("TFormUDP::%s() FAIL %d", "SendLogin", 7);
    DebugPrint("%s", std::string(2000, 'l').c_str()); // longer than the fast buffer
    SetDebugTextHook({});
    DebugPrint("not seen");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "TFormUDP::SendLogin() FAIL 7");
    EXPECT_EQ(seen[1], std::string(2000, 'l'));
}

} // namespace
