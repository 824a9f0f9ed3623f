// Window outlines of shaped buttons: opaque runs per row, batching, the
// colour-distance rule and the failure texts. On scaled screens: the shaped
// buttons of the menu and the pages drawn at twice their size, and the
// lists' frames at one and a half.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>

#include "controls/shaping.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "pages/device/framedevlist.h"
#include "pages/front/formautorun.h"
#include "pages/front/frametutorial.h"
#include "pages/wireless/framesitesurvey.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"

namespace {

const QColor kFuchsia(0xFF, 0x00, 0xFF);

QImage Filled(int w, int h, QColor colour)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(colour);
    return img;
}

// A rounded face as the artwork draws them: fuchsia outside, opaque inside.
QImage RoundedFace(int w, int h, int radius)
{
    QImage img = Filled(w, h, kFuchsia);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x60, 0xB0));
    p.drawRoundedRect(QRect(0, 0, w, h), radius, radius);
    return img;
}

int CountRunsByHand(const QImage &img, QColor trans)
{
    int runs = 0;
    for (int y = 0; y < img.height(); ++y) {
        bool in = false;
        for (int x = 0; x < img.width(); ++x) {
            const bool opaque = img.pixelColor(x, y) != trans;
            if (opaque && !in)
                ++runs;
            in = opaque;
        }
    }
    return runs;
}

} // namespace

TEST(Shaping, ColourDistanceRule)
{
    struct Row
    {
        QRgb pixel;
        int tolerance;
        bool transparent;
    };
    const Row rows[] = {
        {qRgb(255, 0, 255), 0, true},   // exact match
        {qRgb(254, 0, 255), 0, false},  // one step off, no tolerance
        {qRgb(252, 4, 255), 5, true},   // distance exactly 5
        {qRgb(252, 4, 254), 5, false},  // distance sqrt(26) > 5
        {qRgb(255, 0, 255), -1, false}, // negative tolerance: nothing is transparent
        {qRgb(0, 0, 0), 32767, true},   // huge tolerance swallows everything
    };
    for (const Row &r : rows)
        EXPECT_EQ(IsTransparentPixel(r.pixel, kFuchsia.rgb(), r.tolerance), r.transparent)
            << std::hex << r.pixel << " tol " << std::dec << r.tolerance;
}

TEST(Shaping, RunsAndRegions)
{
    struct Case
    {
        const char *what;
        QImage face;
        int tolerance;
        int expectedRects; // -1: count by hand
        bool ok;
        const char *error;
    };
    QImage stripes = Filled(9, 3, Qt::white);
    for (int y = 0; y < 3; ++y)
        for (int x = 1; x < 9; x += 2)
            stripes.setPixelColor(x, y, kFuchsia);
    const Case cases[] = {
        {"no transparent pixel: one rectangle per row", Filled(85, 21, Qt::white), 0, 21, true, ""},
        {"all fuchsia", Filled(85, 21, kFuchsia), 0, 0, false, kShapeErrRegion},
        {"stripes: five runs per row", stripes, 0, 15, true, ""},
        {"rounded 85x21 face", RoundedFace(85, 21, 5), 0, -1, true, ""},
        {"null face", QImage(), 0, 0, false, kShapeErrDib},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ShapeResult r = ShapeFromFace(c.face, kFuchsia, c.tolerance);
        const int expected = c.expectedRects >= 0 ? c.expectedRects : CountRunsByHand(c.face, kFuchsia);
        EXPECT_EQ(r.Ok(), c.ok);
        EXPECT_EQ(r.error.toStdString(), std::string(c.error));
        if (c.ok) {
            EXPECT_EQ(r.rectCount, expected);
        }
    }
}

TEST(Shaping, RoundedFaceHasCutCornersAndSolidMiddle)
{
    const QImage face = RoundedFace(85, 21, 5);
    const std::vector<QRect> runs = OpaqueRuns(face, kFuchsia, 0);
    // A convex rounded rectangle has exactly one run per row.
    ASSERT_EQ(runs.size(), 21u);
    const ShapeResult r = BuildShapeRegion(runs);
    ASSERT_TRUE(r.Ok());
    EXPECT_FALSE(r.region.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.region.contains(QPoint(84, 20)));
    EXPECT_TRUE(r.region.contains(QPoint(42, 10)));
    EXPECT_TRUE(r.region.contains(QPoint(0, 10)));
    // Rows near the top are shorter than the middle row.
    EXPECT_LT(runs.front().width(), runs[10].width());
    EXPECT_EQ(runs[10], QRect(0, 10, 85, 1));
}

TEST(Shaping, ManyRunsAreBatchedByAThousand)
{
    // A checkerboard of 100 x 50 pixels: 50 runs per row, 2500 runs.
    QImage board = Filled(100, 50, kFuchsia);
    for (int y = 0; y < 50; ++y)
        for (int x = (y % 2); x < 100; x += 2)
            board.setPixelColor(x, y, Qt::black);
    const std::vector<QRect> runs = OpaqueRuns(board, kFuchsia, 0);
    ASSERT_EQ(runs.size(), 2500u);
    const ShapeResult r = BuildShapeRegion(runs);
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.batchCount, 3);
    EXPECT_EQ(r.rectCount, 2500);
    // Every opaque pixel is in, every transparent one out, across batch seams.
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(r.region.contains(QPoint(x, y)), (x % 2) == (y % 2)) << x << "," << y;
}

TEST(Shaping, ToleranceWidensTransparency)
{
    QImage face = Filled(10, 1, Qt::white);
    face.setPixelColor(0, 0, QColor(250, 3, 250)); // near fuchsia
    face.setPixelColor(9, 0, kFuchsia);
    EXPECT_EQ(OpaqueRuns(face, kFuchsia, 0), (std::vector<QRect>{QRect(0, 0, 9, 1)}));
    EXPECT_EQ(OpaqueRuns(face, kFuchsia, 10), (std::vector<QRect>{QRect(1, 0, 8, 1)}));
}

TEST(Shaping, FullyTransparentAlphaPixelsAreCutToo)
{
    QImage face(4, 1, QImage::Format_ARGB32);
    face.fill(Qt::white);
    face.setPixel(0, 0, qRgba(0, 0, 0, 0));
    EXPECT_EQ(OpaqueRuns(face, kFuchsia, 0), (std::vector<QRect>{QRect(1, 0, 3, 1)}));
}

// Runs the current test again in a copy of this program whose windows are
// scaled by `factor` (QT_SCALE_FACTOR): the toolkit draws them at that size
// only when it starts so. False in the copy itself, which goes on with the
// test.
bool RanScaledCopy(double factor)
{
    if (qFuzzyCompare(qApp->devicePixelRatio(), factor))
        return false;
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess copy;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(factor));
    copy.setProcessEnvironment(env);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    copy.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--gtest_filter=%1.%2")
                    .arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()))});
    EXPECT_TRUE(copy.waitForFinished(60000));
    const QByteArray output = copy.readAll();
    EXPECT_EQ(copy.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    return true;
}

// How many pixels of `image` show the colour key, alone or blended half
// and half into a face; the first of them.
int KeyedPixels(const QImage &image, QPoint *first)
{
    int keyed = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() + 64 < std::min(c.red(), c.blue()) && c.red() >= 128 && c.blue() >= 128 &&
                keyed++ == 0)
                *first = QPoint(x, y);
        }
    }
    return keyed;
}

// At a scale factor of 2 the faces are drawn at twice their size: the
// shaped menu entries (with the submenu open) and a page's bottom buttons
// show nothing of the colour key along their rounded edges.
TEST(Shaping, NoColourKeyAtTwiceTheSize)
{
    if (RanScaledCopy(2.0))
        return;
    TestSettings settings;
    settings.Load();
    RecordingUi ui;
    TFormAutorun menu;
    menu.BtnUGClick();
    TFrameTutorial page;
    page.LoadPageTexts();
    for (QWidget *window : {static_cast<QWidget *>(&menu), static_cast<QWidget *>(&page)}) {
        window->show();
        const QImage image = window->grab().toImage();
        ASSERT_EQ(image.size(), window->size() * 2);
        QPoint first;
        EXPECT_EQ(KeyedPixels(image, &first), 0)
            << window->metaObject()->className() << ", first at " << first.x() << "," << first.y();
    }
}

// At a scale factor of 1.5 the lists keep the outer line of their frame on
// all four sides: the device list and the site survey's list.
TEST(Shaping, ListFramesKeepEverySideAtOneAndAHalf)
{
    if (RanScaledCopy(1.5))
        return;
    TestSettings settings;
    settings.Load();
    RecordingUi ui;
    TFrameDevList devices;
    TFrameSiteSurvey survey;
    for (TFrameBase *page : {static_cast<TFrameBase *>(&devices), static_cast<TFrameBase *>(&survey)}) {
        page->LoadPageTexts();
        page->show();
        auto *list = page->findChild<TSortListView *>();
        const QImage image = list->grab().toImage();
        const int w = image.width(), h = image.height();
        const std::pair<const char *, QPoint> sides[] = {
            {"top", {w / 3, 0}}, {"bottom", {w / 3, h - 1}}, {"left", {0, h / 2}}, {"right", {w - 1, h / 2}}};
        for (const auto &[side, at] : sides) {
            // The frame's line, darker than the list's white and the light inner line.
            EXPECT_LT(image.pixelColor(at).lightness(), 0xD0)
                << list->objectName().toStdString() << " " << side;
        }
    }
}
