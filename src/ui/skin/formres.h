#pragma once
// TFormRes: the skin store. It holds every named skin picture (window and
// page backgrounds, button faces, tutorial pictures, the autorun menu's
// pictures) and the 16 x 16 icon list ImgsType. Each picture starts as the
// built-in artwork embedded in the program; at creation a distributor's
// replacement is loaded for every picture named in section
// "FormRes_TImage" whose file exists in the skin folder (ExePath + the
// "Res_Path" value of section "Product"). A named file that exists but is
// not a readable picture keeps the built-in one and writes one log line.
//
// Windows and pages fetch pictures by name through the global accessor
// FormRes() and copy them (QImage and QPixmap are copied on write). Every
// page shows the same background, so the store converts each picture to a
// pixmap once and hands out that one.
//
// Every window is made at start-up but only the autorun menu is shown, so
// the built-in pictures (known good data inside the program) are decoded on
// their first use, not at the store's creation: a picture control given a
// SkinSource decodes it when it is first drawn. Replacements are read and
// checked at creation as before.

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "controls/imagelist.h"

class GuardedIni;

// One picture of the store, decoded on first use. Shared by the store and
// the controls that show it, so it outlives the store.
class SkinSource
{
public:
    explicit SkinSource(QString builtInResource);
    explicit SkinSource(QImage picture);

    const QImage &Image() const;
    // Made from Image() on the first call (after the application object
    // exists); the same pixmap for every call.
    const QPixmap &Pixmap() const;
    // True once the picture has been decoded (or was given decoded).
    bool IsDecoded() const { return m_decoded; }

private:
    QString m_resource;
    mutable QImage m_image;
    mutable QPixmap m_pixmap;
    mutable bool m_decoded = false;
};

class TFormRes : public QObject
{
    Q_OBJECT
public:
    // A store with the built-in pictures only.
    explicit TFormRes(QObject *parent = nullptr);
    // A store whose pictures are replaced from the skin folder under
    // `exePath` as `settings` names them (the settings lock is held for the
    // reads and released also when a load fails).
    TFormRes(const QString &exePath, GuardedIni &settings, QObject *parent = nullptr);
    ~TFormRes() override;

    // Every picture name in creation order.
    static const QStringList &PictureNames();

    // The picture of that name, decoded now; a null image for an unknown
    // name.
    QImage Picture(const QString &name) const;
    // The same picture as a pixmap (made on the first request, after the
    // application object exists; the same pixmap for every request).
    QPixmap Pixmap(const QString &name) const;
    // The picture of that name, not decoded until used; null for an unknown
    // name.
    std::shared_ptr<const SkinSource> Source(const QString &name) const;
    // True when the picture is still the built-in one.
    bool IsBuiltIn(const QString &name) const;
    // The icon list: 0/1 open network (1 = associated), 2/3 secured,
    // 4 to 8 signal from none to full.
    const TImageList &ImgsType() const { return m_imgsType; }

    // The skin folder used at creation (empty for a built-in-only store).
    QString SkinFolder() const { return m_skinFolder; }

    // Loads one picture file by its extension: JPEG through libjpeg, other
    // kinds (bitmaps) through QImage. Null on failure with the reason.
    static QImage LoadPictureFile(const QString &path, QString *error);
    // The same for the bytes of a file already read: `jpeg` chooses libjpeg,
    // otherwise QImage reads them after the whole-bitmap check.
    static QImage DecodePicture(const QByteArray &bytes, bool jpeg, QString *error);

private:
    struct Entry
    {
        QString name;
        std::shared_ptr<SkinSource> source;
        bool builtIn = true;
    };

    void LoadBuiltIns();
    void LoadReplacements(const QString &exePath, GuardedIni &settings);
    Entry *Find(const QString &name);
    const Entry *Find(const QString &name) const;

    std::vector<Entry> m_entries;
    TImageList m_imgsType;
    QString m_skinFolder;
};

// The store the program created at start-up (SetFormRes); before that, a
// store with the built-in pictures, created on first use. Never null.
TFormRes *FormRes();
// Installs the program's store (not owned; nullptr goes back to the
// built-in store). Start-up calls it right after creating the store.
void SetFormRes(TFormRes *store);
