// Window outlines of shaped buttons: opaque runs per row, batching, the
// colour-distance rule and the failure texts.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPainterPath>

#include "controls/shaping.h"

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
