#include "skin/formres.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <memory>

#include "app/debug.h"
#include "app/threadini.h"
#include "skin/jpegimage.h"

namespace {

struct BuiltIn
{
    const char *name;
    const char *resource;
};

// Creation order of the store's pictures; the resource of each.
const BuiltIn kBuiltIns[] = {
    {"ImgBGMain", ":/skin/ImgBGMain.jpg"},
    {"ImgFrameBG", ":/skin/ImgFrameBG.jpg"},
    {"ImgBtnN", ":/skin/ImgBtnN.bmp"},
    {"ImgBtnH", ":/skin/ImgBtnH.bmp"},
    {"ImgBtnD", ":/skin/ImgBtnD.bmp"},
    {"ImgBGProgress", ":/skin/ImgBGProgress.jpg"},
    {"ImgTutorial", ":/skin/ImgTutorial.jpg"},
    {"ImgTutorial2", ":/skin/ImgTutorial2.jpg"},
    {"ImgBGAutorun", ":/skin/ImgBGAutorun.jpg"},
    {"ImgBtnSetupWizardN", ":/skin/ImgBtnSetupWizardN.bmp"},
    {"ImgBtnSetupWizardD", ":/skin/ImgBtnSetupWizardD.bmp"},
    {"ImgBtnUGN", ":/skin/ImgBtnUGN.bmp"},
    {"ImgBtnUGD", ":/skin/ImgBtnUGD.bmp"},
    {"ImgBtnProductRegN", ":/skin/ImgBtnProductRegN.bmp"},
    {"ImgBtnProductRegD", ":/skin/ImgBtnProductRegD.bmp"},
    {"ImgBtnExitN", ":/skin/ImgBtnExitN.bmp"},
    {"ImgBtnExitD", ":/skin/ImgBtnExitD.bmp"},
    {"ImgBtnUG_UGN", ":/skin/ImgBtnUG_UGN.jpg"},
    {"ImgBtnUG_UGD", ":/skin/ImgBtnUG_UGD.jpg"},
    {"ImgBtnUG_QIGN", ":/skin/ImgBtnUG_QIGN.jpg"},
    {"ImgBtnUG_QIGD", ":/skin/ImgBtnUG_QIGD.jpg"},
};

const char kIconStrip[] = ":/skin/ImgsType.png";

bool IsJpegName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
           suffix == QLatin1String("jpe");
}

TFormRes *g_installed = nullptr;

quint32 ReadLe32(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

// The bitmap reader pads a short file with black instead of failing, so an
// uncompressed bitmap is checked to hold all the rows its header declares.
bool BitmapIsWhole(const QByteArray &bytes)
{
    if (bytes.size() < 30 || bytes[0] != 'B' || bytes[1] != 'M')
        return true; // not a Windows bitmap: leave it to the reader
    const quint32 offBits = ReadLe32(bytes, 10);
    const quint32 headerSize = ReadLe32(bytes, 14);
    if (headerSize < 40 || bytes.size() < 34)
        return true;
    const qint64 width = qint32(ReadLe32(bytes, 18));
    const qint64 height = qint32(ReadLe32(bytes, 22));
    const int bpp = quint8(bytes[28]) | quint8(bytes[29]) << 8;
    const quint32 compression = ReadLe32(bytes, 30);
    if (compression != 0 && compression != 3)
        return true;
    if (width <= 0 || bpp == 0)
        return true; // not a size the reader takes
    if (offBits > quint32(bytes.size()))
        return false;
    // Rows are counted by division: a forged header's width times height
    // does not fit 64 bits.
    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    const qint64 rows = height < 0 ? -height : height;
    return rows <= (bytes.size() - qint64(offBits)) / stride;
}

} // namespace

// The pictures live in a static library; naming the resource here keeps the
// linker from dropping it. Must sit outside any namespace.
static void InitSkinResources()
{
    Q_INIT_RESOURCE(skin);
}

SkinSource::SkinSource(QString builtInResource) : m_resource(std::move(builtInResource))
{
}

SkinSource::SkinSource(QImage picture) : m_image(std::move(picture)), m_decoded(true)
{
}

const QImage &SkinSource::Image() const
{
    if (!m_decoded) {
        m_decoded = true;
        QString error;
        m_image = TFormRes::LoadPictureFile(m_resource, &error);
        if (m_image.isNull())
            DebugPrint("TFormRes: built-in picture %s FAIL: %s", qPrintable(m_resource), qPrintable(error));
    }
    return m_image;
}

const QPixmap &SkinSource::Pixmap() const
{
    if (m_pixmap.isNull() && !Image().isNull())
        m_pixmap = QPixmap::fromImage(m_image);
    return m_pixmap;
}

TFormRes::TFormRes(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("FormRes"));
    LoadBuiltIns();
}

TFormRes::TFormRes(const QString &exePath, GuardedIni &settings, QObject *parent) : TFormRes(parent)
{
    LoadReplacements(exePath, settings);
}

TFormRes::~TFormRes()
{
    if (g_installed == this)
        g_installed = nullptr;
}

const QStringList &TFormRes::PictureNames()
{
    static const QStringList names = [] {
        QStringList out;
        for (const BuiltIn &b : kBuiltIns)
            out << QString::fromLatin1(b.name);
        return out;
    }();
    return names;
}

QImage TFormRes::LoadPictureFile(const QString &path, QString *error)
{
    if (IsJpegName(path))
        return LoadJpegFile(path, error);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    return DecodePicture(file.readAll(), false, error);
}

QImage TFormRes::DecodePicture(const QByteArray &bytes, bool jpeg, QString *error)
{
    if (jpeg)
        return DecodeJpeg(bytes, error);
    // The reader recognises the content, whatever the name says; not every
    // image plugin keeps to the allocation limit, so the size in the header
    // is checked first.
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && PictureTooLarge(quint64(size.width()), quint64(size.height()))) {
        if (error)
            *error = QStringLiteral("picture too large");
        return {};
    }
    QImage image;
    if (!BitmapIsWhole(bytes) || !reader.read(&image)) {
        if (error)
            *error = QStringLiteral("not a readable picture");
        return {};
    }
    return image;
}

void TFormRes::LoadBuiltIns()
{
    InitSkinResources();
    m_entries.clear();
    for (const BuiltIn &b : kBuiltIns) {
        Entry e;
        e.name = QString::fromLatin1(b.name);
        e.source = std::make_shared<SkinSource>(QString::fromLatin1(b.resource));
        m_entries.push_back(std::move(e));
    }
    QImage strip(QString::fromLatin1(kIconStrip));
    if (strip.isNull())
        DebugPrint("TFormRes: built-in picture ImgsType FAIL");
    m_imgsType = TImageList::FromStrip(strip, 16);
}

void TFormRes::LoadReplacements(const QString &exePath, GuardedIni &settings)
{
    IniLock lock(settings);
    QString resPath =
        lock.Reader().ReadString(QStringLiteral("Product"), QStringLiteral("Res_Path"), QString());
    // Settings files written on the other platform use backslashes.
    resPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString folder = exePath + resPath;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    if (!QFileInfo(folder).isDir())
        return;
    m_skinFolder = folder;
    for (Entry &e : m_entries) {
        QString file = lock.Reader().ReadString(QStringLiteral("FormRes_TImage"), e.name, QString());
        if (file.isEmpty())
            continue;
        file.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString path = folder + file;
        if (!QFileInfo(path).isFile())
            continue;
        QString error;
        const QImage picture = LoadPictureFile(path, &error);
        if (picture.isNull()) {
            DebugPrint("TFormRes: %s FAIL: %s is not a readable picture (%s), built-in kept",
                       qPrintable(e.name), qPrintable(path), qPrintable(error));
            continue;
        }
        e.source = std::make_shared<SkinSource>(picture);
        e.builtIn = false;
    }
}

TFormRes::Entry *TFormRes::Find(const QString &name)
{
    for (Entry &e : m_entries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    }
    return nullptr;
}

const TFormRes::Entry *TFormRes::Find(const QString &name) const
{
    return const_cast<TFormRes *>(this)->Find(name);
}

QImage TFormRes::Picture(const QString &name) const
{
    const Entry *e = Find(name);
    return e ? e->source->Image() : QImage();
}

QPixmap TFormRes::Pixmap(const QString &name) const
{
    const Entry *e = Find(name);
    return e ? e->source->Pixmap() : QPixmap();
}

std::shared_ptr<const SkinSource> TFormRes::Source(const QString &name) const
{
    const Entry *e = Find(name);
    return e ? e->source : nullptr;
}

bool TFormRes::IsBuiltIn(const QString &name) const
{
    const Entry *e = Find(name);
    return e && e->builtIn;
}

TFormRes *FormRes()
{
    if (g_installed)
        return g_installed;
    static std::unique_ptr<TFormRes> builtIn;
    if (!builtIn)
        builtIn = std::make_unique<TFormRes>();
    return builtIn.get();
}

void SetFormRes(TFormRes *store)
{
    g_installed = store;
}
