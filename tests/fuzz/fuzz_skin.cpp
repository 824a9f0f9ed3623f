// Skin pictures come from the distribution medium: any bytes through the
// store's loading path, once as a JPEG (libjpeg behind the jumping error
// manager) and once as a bitmap (the whole-file check, then QImage).
#include "skin/formres.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>

namespace {

void Check(const QImage &image, const QString &error)
{
    if (image.isNull() ? error.isEmpty() : (image.width() <= 0 || image.height() <= 0))
        __builtin_trap();
}

} // namespace

// The image readers warn about every corrupt picture; a fuzzer gives them
// nothing else.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const bool jpeg : {true, false}) {
        QString error;
        const QImage image = TFormRes::DecodePicture(bytes, jpeg, &error);
        Check(image, error);
        if (jpeg && !image.isNull() && image.format() != QImage::Format_RGB32)
            __builtin_trap();
    }
    return 0;
}
