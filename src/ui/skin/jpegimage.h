#pragma once
// JPEG decoding for the skin pictures through libjpeg's C API. libjpeg's
// stock error handler ends the process, and skin files come from the
// distribution medium, so a private error manager jumps back out of the
// decoder instead: a corrupt or truncated picture is a failed load with a
// readable reason, never an exit.

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes a whole JPEG held in memory into an RGB32 image. Grey-scale and
// colour pictures are accepted; CMYK and others are converted by libjpeg to
// RGB where it can. A picture PictureTooLarge refuses is not decoded at
// all. On failure returns a null image and, when `error` is given, stores
// libjpeg's message (or a short reason of ours).
QImage DecodeJpeg(const QByteArray &data, QString *error = nullptr);

// Reads the file and decodes it. A missing or unreadable file is a failure
// like a corrupt one.
QImage LoadJpegFile(const QString &path, QString *error = nullptr);

// True when a picture of that size would take more than
// QImageReader::allocationLimit() as 32-bit pixels (never with no limit).
bool PictureTooLarge(quint64 width, quint64 height);

// True when the bytes begin with the JPEG start-of-image marker.
bool LooksLikeJpeg(const QByteArray &data);
