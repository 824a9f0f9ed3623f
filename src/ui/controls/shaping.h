#pragma once
// Window outlines of the shaped buttons. A face bitmap is cut into its
// opaque pixels: one rectangle per run of opaque pixels in each row, rows
// from the top down, then united into a region in batches of at most 1000
// rectangles so that no single step handles an unbounded block. Both steps
// are pure functions so they can be checked without a window.

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QString>
#include <vector>

// The failure texts the buttons hand to their callers (and log).
inline constexpr const char *kShapeErrDib = "Failed to create DIB section.";
inline constexpr const char *kShapeErrBatch = "!hBatchRgn";
inline constexpr const char *kShapeErrRegion = "Failed to create region.";
inline constexpr const char *kShapeErrSetRegion = "Failed to set window region.";

// Largest number of rectangles united in one batch.
inline constexpr int kShapeBatchSize = 1000;

// True when `pixel` counts as transparent: its colour distance to
// `transColor`, sqrt(dr^2 + dg^2 + db^2), is not greater than `tolerance`.
// A negative tolerance makes nothing transparent.
bool IsTransparentPixel(QRgb pixel, QRgb transColor, int tolerance);

// The opaque runs of `face`, each as a one-pixel-high rectangle
// (first x, y, run length, 1), rows from the top down, runs left to right.
// The face is read as 24-bit colour; a pixel whose alpha is 0 also counts
// as transparent. `ok` is false (and the result empty) when no 24-bit copy
// of the face can be made.
std::vector<QRect> OpaqueRuns(const QImage &face, QColor transColor, int tolerance, bool *ok = nullptr);

// A copy of `face` in which the pixels that count as transparent (as for
// OpaqueRuns) are fully transparent. A shaped button draws this copy: at a
// scale factor other than 1 the face is interpolated and the window cut
// falls between device pixels, so the colour key would otherwise bleed into
// the outline as a fringe.
QImage KeyedFace(const QImage &face, QColor transColor, int tolerance);

struct ShapeResult
{
    QRegion region;
    int rectCount = 0;
    int batchCount = 0;
    // Empty on success, else one of the failure texts above.
    QString error;
    bool Ok() const { return error.isEmpty(); }
};

// Unites `rects` in batches of at most kShapeBatchSize. No rectangle at all
// is the failure kShapeErrRegion.
ShapeResult BuildShapeRegion(const std::vector<QRect> &rects);

// Both steps in one: the outline of `face`.
ShapeResult ShapeFromFace(const QImage &face, QColor transColor, int tolerance);
