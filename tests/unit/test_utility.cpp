// Text and address helpers: MAC and IPv4 texts, hexadecimal input, the
// caption and integer-list rules of the settings file, executable-relative
// names and the pause that keeps the event loop running.
#include "app/macaddress.h"
#include "app/startarguments.h"
#include "app/timing.h"
#include "app/utility.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

TEST(Utility, FormatMac)
{
    const MacAddress a = {0, 1, 171, 205, 239, 255};
    EXPECT_EQ(FormatMac(a), "00:01:AB:CD:EF:FF");
    const MacAddress b = {0x0a, 0xb0, 0, 0, 0, 0x10};
    EXPECT_EQ(FormatMac(b), "0A:B0:00:00:00:10");
}

TEST(Utility, IsHexText)
{
    const struct
    {
        const char *text;
        bool hex;
    } rows[] = {
        {"12ab", true},   {"12gb", false}, {"", true},       {"0123456789ABCDEFabcdef", true},
        {"12 ab", false}, {"0x12", false}, {"FFFFG", false},
    };
    for (const auto &r : rows)
        EXPECT_EQ(IsHexText(QString::fromUtf8(r.text)), r.hex) << r.text;
    EXPECT_FALSE(IsHexText(QString::fromUtf8("１２"))); // full-width digits are no hex digits
}

TEST(Utility, PadCaption)
{
    const struct
    {
        const char *in, *out;
    } rows[] = {
        {"Options", " Options "},
        {" Options ", " Options "},
        {"", ""},
        {" Left", " Left "},
        {"Right ", " Right "},
        {" ", " "},
        {"a", " a "},
    };
    for (const auto &r : rows) {
        QString text = QString::fromUtf8(r.in);
        QString &result = PadCaption(text);
        EXPECT_EQ(&result, &text);
        EXPECT_EQ(text, QString::fromUtf8(r.out)) << '"' << r.in << '"';
    }
}

TEST(Utility, ParseIntList)
{
    const struct
    {
        const char *text;
        int count;
        std::vector<int> stored;
    } rows[] = {
        {"1,2,a,3", 3, {1, 2, 3}},
        {"10,20", 2, {10, 20}},
        {"x,5,6", 2, {5, 6}},
        {"", 0, {}},
        {"   ", 0, {}},
        {" 10 , 20 ,30,40", 4, {10, 20, 30, 40}},
        {"1 2 3", 3, {1, 2, 3}},
        {"\"7\",\"8 9\",-4", 2, {7, -4}},
        {"0x10,,+3", 2, {16, 3}},
        {"1,2,3,4,5", 5, {1, 2, 3}}, // more integers than room: all counted, three stored
        {"99999999999,1", 1, {1}},
        {",,,", 0, {}},
    };
    for (const auto &r : rows) {
        int values[3] = {-100, -100, -100};
        EXPECT_EQ(ParseIntList(QString::fromUtf8(r.text), values, 3), r.count) << r.text;
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(values[i], i < r.stored.size() ? r.stored[i] : -100) << r.text << " #" << i;
    }
}

TEST(Utility, Ipv4Texts)
{
    EXPECT_EQ(IpToText(0xC0A80A64), "192.168.10.100");
    EXPECT_EQ(IpToText(0), "0.0.0.0");
    EXPECT_EQ(IpToText(0xFFFFFFFF), "255.255.255.255");

    const struct
    {
        const char *text;
        bool ok;
        uint32_t value;
    } rows[] = {
        {"192.168.10.100", true, 0xC0A80A64},
        {" 10.77.0.1 ", true, 0x0A4D0001},
        {"255.255.255.255", true, 0xFFFFFFFF},
        {"0.0.0.0", true, 0},
        {"010.001.000.009", true, 0x0A010009},
        {"256.1.1.1", false, 0},
        {"1.2.3", false, 0},
        {"1.2.3.4.5", false, 0},
        {"1..3.4", false, 0},
        {"1.2.3.4x", false, 0},
        {"1.2.3.0004", false, 0},
        {"-1.2.3.4", false, 0},
        {"", false, 0},
    };
    for (const auto &r : rows) {
        uint32_t value = 0x12345678;
        EXPECT_EQ(ParseIpv4(QString::fromUtf8(r.text), value), r.ok) << r.text;
        EXPECT_EQ(value, r.ok ? r.value : 0x12345678u) << r.text;
        EXPECT_EQ(IpFromText(QString::fromUtf8(r.text)), r.value) << r.text;
    }
}

TEST(Utility, ExecutableRelativeNames)
{
    const struct
    {
        const char *path, *log, *base, *folder;
    } rows[] = {
        {"/media/cd/Setup.exe", "/media/cd/Setup.Log", "Setup", "/media/cd/"},
        {"/opt/setup-wizard", "/opt/setup-wizard.Log", "setup-wizard", "/opt/"},
        {"/a.b/c", "/a.b/c.Log", "c", "/a.b/"},
        {"/m/a.b.c", "/m/a.b.Log", "a.b", "/m/"},
        {"/x/.rc", "/x/.rc.Log", ".rc", "/x/"},
        {"Setup.exe", "Setup.Log", "Setup", ""},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(ReplaceExtension(r.path, ".Log"), QString::fromUtf8(r.log)) << r.path;
        EXPECT_EQ(FileBaseName(r.path), QString::fromUtf8(r.base)) << r.path;
        EXPECT_EQ(FolderOf(r.path), QString::fromUtf8(r.folder)) << r.path;
    }
}

TEST(Utility, ProcessDelayZeroDispatchesNothing)
{
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    EXPECT_TRUE(ProcessDelay(0));
    EXPECT_FALSE(fired);
    QCoreApplication::processEvents(); // let the timer go before the next test
    EXPECT_TRUE(fired);
}

TEST(Utility, ProcessDelayWaitsAndKeepsDispatching)
{
    const double oldScale = Timing::Scale();
    Timing::SetScale(0.1);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(ProcessDelay(1000)); // 100 ms real under the scale
    const qint64 elapsed = clock.elapsed();
    ticker.stop();
    Timing::SetScale(oldScale);
    EXPECT_GE(elapsed, 95);
    EXPECT_LT(elapsed, 900);
    EXPECT_GE(ticks, 5);
}

TEST(Utility, StartDecisionBeforeAnyWindow)
{
    struct Row
    {
        QStringList args;
        std::map<std::string, QString> env;
        bool run;
        int code;
        const char *outStart;
        const char *err;
    };
#ifdef Q_OS_WIN
    // A Windows session always has its desktop: nothing is refused.
    const bool refused = false;
    const char *noDisplay = "";
#else
    const bool refused = true;
    const char *noDisplay = "setup-wizard: no graphical display: DISPLAY or WAYLAND_DISPLAY is not set\n";
#endif
    const std::vector<Row> rows = {
        // --help and --version need no display.
        {{"w", "--help"}, {}, false, 0, "Usage: setup-wizard", ""},
        {{"w", "-platform", "xcb", "--version"}, {}, false, 0, "setup-wizard ", ""},
        {{"w"}, {}, !refused, refused ? 1 : 0, "", noDisplay},
        {{"w"}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, !refused, refused ? 1 : 0, "", noDisplay},
        {{"w"}, {{"DISPLAY", ":0"}}, true, 0, "", ""},
        {{"w"}, {{"WAYLAND_DISPLAY", "wayland-0"}}, true, 0, "", ""},
        // A platform named to the toolkit (the tests' offscreen runs) is a display.
        {{"w"}, {{"QT_QPA_PLATFORM", "offscreen"}}, true, 0, "", ""},
        {{"w", "-platform", "offscreen"}, {}, true, 0, "", ""},
        {{"w", "--platform=offscreen"}, {}, true, 0, "", ""},
        // The toolkit's other options are passed on, not refused.
        {{"w", "-style", "fusion", "-h"}, {}, false, 0, "Usage: setup-wizard", ""},
    };
    for (const Row &r : rows) {
        const StartDecision d = DecideStart(r.args, [&](const char *name) {
            const auto it = r.env.find(name);
            return it == r.env.end() ? QString() : it->second;
        });
        const QString what = r.args.join(u' ');
        EXPECT_EQ(d.run, r.run) << qPrintable(what);
        EXPECT_EQ(d.exitCode, r.code) << qPrintable(what);
        EXPECT_EQ(d.out.left(qstrlen(r.outStart)), QString::fromUtf8(r.outStart)) << qPrintable(what);
        EXPECT_EQ(d.err, QString::fromUtf8(r.err)) << qPrintable(what);
    }
    EXPECT_TRUE(DecideStart({"w", "--version"}, [](const char *) {
                    return QString();
                }).out.endsWith(ProgramVersion() + u'\n'));
}

} // namespace
