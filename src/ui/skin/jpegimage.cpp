#include "skin/jpegimage.h"

#include <QFile>
#include <QImageReader>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

// libjpeg calls error_exit on every fatal error; ours records the message
// and longjmps back to the decode call instead of calling exit().
struct JumpingErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo)
{
    auto *manager = reinterpret_cast<JumpingErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->escape, 1);
}

// Warnings (a truncated stream among them) would otherwise go to stderr
// and let the decoder pad the picture with grey; a skin picture that is
// not whole is treated as unreadable.
void EmitMessage(j_common_ptr cinfo, int msgLevel)
{
    if (msgLevel < 0)
        ErrorExit(cinfo);
}

void SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Separate function so that no C++ object with a destructor lives in the
// frame that setjmp returns into twice.
bool DecodeInto(const QByteArray &data, QImage &out, char *message)
{
    jpeg_decompress_struct cinfo;
    JumpingErrorManager manager;
    cinfo.err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = ErrorExit;
    manager.pub.emit_message = EmitMessage;
    manager.message[0] = '\0';

    if (setjmp(manager.escape)) {
        jpeg_destroy_decompress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", manager.message);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    // A few hundred bytes can declare 65535 x 65535 pixels: the picture is
    // refused before anything is allocated for it.
    if (PictureTooLarge(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "picture too large");
        return false;
    }
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);

    // QImage's RGB32 is 0xffRRGGBB in native (little-endian) order, which is
    // exactly libjpeg-turbo's BGRX byte layout.
    out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                 QImage::Format_RGB32);
    if (out.isNull()) {
        jpeg_destroy_decompress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "picture too large");
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    // Every pixel's X byte must read as opaque.
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] |= 0xff000000u;
    }
    return true;
}

} // namespace

bool PictureTooLarge(quint64 width, quint64 height)
{
    const int limitMb = QImageReader::allocationLimit();
    return limitMb > 0 && width * height * 4 > quint64(limitMb) * 1024 * 1024;
}

bool LooksLikeJpeg(const QByteArray &data)
{
    return data.size() >= 3 && static_cast<unsigned char>(data[0]) == 0xFF &&
           static_cast<unsigned char>(data[1]) == 0xD8 && static_cast<unsigned char>(data[2]) == 0xFF;
}

QImage DecodeJpeg(const QByteArray &data, QString *error)
{
    if (!LooksLikeJpeg(data)) {
        SetError(error, QStringLiteral("not a JPEG stream"));
        return {};
    }
    QImage out;
    char message[JMSG_LENGTH_MAX] = {};
    if (!DecodeInto(data, out, message)) {
        SetError(error, QString::fromLocal8Bit(message));
        return {};
    }
    return out;
}

QImage LoadJpegFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, file.errorString());
        return {};
    }
    return DecodeJpeg(file.readAll(), error);
}
