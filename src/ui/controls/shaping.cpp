#include "controls/shaping.h"

bool IsTransparentPixel(QRgb pixel, QRgb transColor, int tolerance)
{
    if (tolerance < 0)
        return false;
    const int dr = qRed(pixel) - qRed(transColor);
    const int dg = qGreen(pixel) - qGreen(transColor);
    const int db = qBlue(pixel) - qBlue(transColor);
    // Squared comparison: the same rule as the square root, without rounding.
    return dr * dr + dg * dg + db * db <= tolerance * tolerance;
}

std::vector<QRect> OpaqueRuns(const QImage &face, QColor transColor, int tolerance, bool *ok)
{
    std::vector<QRect> rects;
    if (ok)
        *ok = false;
    if (face.isNull())
        return rects;
    const bool hasAlpha = face.hasAlphaChannel();
    const QImage argb = face.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull())
        return rects;
    if (ok)
        *ok = true;
    const QRgb trans = transColor.rgb();
    const int w = argb.width();
    auto opaque = [&](const QRgb *line, int x) {
        const QRgb px = line[x];
        if (hasAlpha && qAlpha(px) == 0)
            return false;
        return !IsTransparentPixel(px, trans, tolerance);
    };

    // First pass counts the runs so the rectangle array is allocated once.
    size_t count = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        bool inRun = false;
        for (int x = 0; x < w; ++x) {
            const bool o = opaque(line, x);
            if (o && !inRun)
                ++count;
            inRun = o;
        }
    }
    rects.reserve(count);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        int x = 0;
        while (x < w) {
            while (x < w && !opaque(line, x))
                ++x;
            if (x >= w)
                break;
            const int first = x;
            while (x < w && opaque(line, x))
                ++x;
            rects.emplace_back(first, y, x - first, 1);
        }
    }
    return rects;
}

QImage KeyedFace(const QImage &face, QColor transColor, int tolerance)
{
    if (face.isNull() || tolerance < 0)
        return face;
    QImage keyed = face.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb trans = transColor.rgb();
    for (int y = 0; y < keyed.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            const QRgb pixel = qUnpremultiply(line[x]);
            if (qAlpha(pixel) == 0 || IsTransparentPixel(pixel, trans, tolerance))
                line[x] = 0;
        }
    }
    return keyed;
}

ShapeResult BuildShapeRegion(const std::vector<QRect> &rects)
{
    ShapeResult result;
    for (size_t start = 0; start < rects.size(); start += kShapeBatchSize) {
        const size_t end = std::min(rects.size(), start + kShapeBatchSize);
        QRegion batch;
        batch.setRects(rects.data() + start, static_cast<int>(end - start));
        if (batch.isEmpty()) {
            result.error = QString::fromLatin1(kShapeErrBatch);
            result.region = QRegion();
            return result;
        }
        result.region = result.region.united(batch);
        result.rectCount += static_cast<int>(end - start);
        ++result.batchCount;
    }
    if (result.region.isEmpty())
        result.error = QString::fromLatin1(kShapeErrRegion);
    return result;
}

ShapeResult ShapeFromFace(const QImage &face, QColor transColor, int tolerance)
{
    bool ok = false;
    const std::vector<QRect> rects = OpaqueRuns(face, transColor, tolerance, &ok);
    if (!ok) {
        ShapeResult failed;
        failed.error = QString::fromLatin1(kShapeErrDib);
        return failed;
    }
    return BuildShapeRegion(rects);
}
