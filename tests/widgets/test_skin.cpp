// The skin store: built-in pictures at their sizes, replacements from the
// skin folder, and files that must not replace anything (missing, corrupt,
// truncated), plus the JPEG decoder's failure paths.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/debug.h"
#include "app/threadini.h"
#include "controls/timage.h"
#include "skin/formres.h"
#include "skin/jpegimage.h"

namespace {

const QString kData = QStringLiteral(WIZARD_TEST_DATA "/skin/");

// An executable folder with a settings file and a skin folder "skin".
struct SkinSetup
{
    QTemporaryDir dir;
    QString exePath;
    std::unique_ptr<GuardedIni> settings;

    explicit SkinSetup(const QByteArray &ini, const QStringList &copyToSkin = {})
    {
        exePath = dir.path() + "/";
        QDir(dir.path()).mkpath("skin");
        for (const QString &name : copyToSkin)
            QFile::copy(kData + name, exePath + "skin/" + name);
        QFile f(exePath + "setup.ini");
        if (f.open(QIODevice::WriteOnly))
            f.write(ini);
        f.close();
        settings = std::make_unique<GuardedIni>(exePath + "setup.ini");
    }
};

} // namespace

TEST(SkinStore, BuiltInPicturesHaveTheirSizes)
{
    struct Row
    {
        const char *name;
        int w, h;
    };
    const Row rows[] = {
        {"ImgBGMain", 600, 450},
        {"ImgFrameBG", 600, 323},
        {"ImgBtnN", 85, 21},
        {"ImgBtnH", 85, 21},
        {"ImgBtnD", 85, 21},
        {"ImgBGProgress", 190, 50},
        {"ImgTutorial", 516, 270},
        {"ImgTutorial2", 552, 240},
        {"ImgBGAutorun", 600, 450},
        {"ImgBtnSetupWizardN", 197, 32},
        {"ImgBtnSetupWizardD", 197, 32},
        {"ImgBtnUGN", 197, 31},
        {"ImgBtnUGD", 197, 31},
        {"ImgBtnProductRegN", 197, 30},
        {"ImgBtnProductRegD", 197, 30},
        {"ImgBtnExitN", 197, 31},
        {"ImgBtnExitD", 197, 31},
        {"ImgBtnUG_UGN", 198, 21},
        {"ImgBtnUG_UGD", 198, 21},
        {"ImgBtnUG_QIGN", 198, 21},
        {"ImgBtnUG_QIGD", 198, 21},
    };
    TFormRes res;
    ASSERT_EQ(TFormRes::PictureNames().size(), static_cast<qsizetype>(std::size(rows)));
    for (const Row &r : rows) {
        // Built-ins stay compressed until someone asks for them.
        EXPECT_FALSE(res.Source(r.name)->IsDecoded()) << r.name;
        const QImage img = res.Picture(r.name);
        EXPECT_EQ(img.size(), QSize(r.w, r.h)) << r.name;
        EXPECT_TRUE(res.IsBuiltIn(r.name)) << r.name;
    }
    // Shaped faces: fuchsia in the corner, opaque in the middle.
    for (const char *face : {"ImgBtnN", "ImgBtnH", "ImgBtnD", "ImgBtnExitN", "ImgBtnSetupWizardD"}) {
        const QImage img = res.Picture(face);
        EXPECT_EQ(img.pixelColor(0, 0), QColor(0xFF, 0x00, 0xFF)) << face;
        EXPECT_NE(img.pixelColor(img.width() / 2, img.height() / 2), QColor(0xFF, 0x00, 0xFF)) << face;
    }
    EXPECT_EQ(res.ImgsType().Count(), 9);
    EXPECT_EQ(res.ImgsType().Image(8).size(), QSize(16, 16));
    EXPECT_TRUE(res.Picture("NoSuchPicture").isNull());
}

TEST(SkinStore, PictureControlsDecodeWhenFirstDrawn)
{
    TFormRes res;
    TImage image;
    image.resize(600, 450);
    image.setPicture(res.Source("ImgBGMain"));
    EXPECT_FALSE(res.Source("ImgBGMain")->IsDecoded());
    image.grab();
    EXPECT_TRUE(res.Source("ImgBGMain")->IsDecoded());
    EXPECT_EQ(image.picture().cacheKey(), res.Pixmap("ImgBGMain").cacheKey());
}

TEST(SkinStore, Replacements)
{
    struct Case
    {
        const char *what;
        QByteArray ini;
        QStringList files;
        const char *name;
        bool replaced;
        bool logged; // one FAIL line names the picture
    };
    const Case cases[] = {
        {"JPEG named for ImgFrameBG is used",
         "[Product]\nRes_Path=skin\n[FormRes_TImage]\nImgFrameBG=frame_green_red.jpg\n",
         {"frame_green_red.jpg"},
         "ImgFrameBG",
         true,
         false},
        {"backslash folder with trailing separator",
         "[Product]\nRes_Path=skin\\\n[FormRes_TImage]\nImgBtnN=button_green.bmp\n",
         {"button_green.bmp"},
         "ImgBtnN",
         true,
         false},
        {"named file missing",
         "[Product]\nRes_Path=skin\n[FormRes_TImage]\nImgFrameBG=absent.jpg\n",
         {},
         "ImgFrameBG",
         false,
         false},
        {"truncated JPEG",
         "[Product]\nRes_Path=skin\n[FormRes_TImage]\nImgFrameBG=frame_truncated.jpg\n",
         {"frame_truncated.jpg"},
         "ImgFrameBG",
         false,
         true},
        {"text file named .jpg",
         "[Product]\nRes_Path=skin\n[FormRes_TImage]\nImgBGMain=not_a_picture.jpg\n",
         {"not_a_picture.jpg"},
         "ImgBGMain",
         false,
         true},
        {"truncated bitmap",
         "[Product]\nRes_Path=skin\n[FormRes_TImage]\nImgBtnD=button_truncated.bmp\n",
         {"button_truncated.bmp"},
         "ImgBtnD",
         false,
         true},
        {"skin folder missing",
         "[Product]\nRes_Path=nowhere\n[FormRes_TImage]\nImgFrameBG=frame_green_red.jpg\n",
         {"frame_green_red.jpg"},
         "ImgFrameBG",
         false,
         false},
        {"no settings at all", "", {"frame_green_red.jpg"}, "ImgFrameBG", false, false},
    };
    const TFormRes builtIn;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SkinSetup setup(c.ini, c.files);
        std::vector<std::string> lines;
        SetDebugTextHook([&lines](const char *text) { lines.emplace_back(text); });
        TFormRes res(setup.exePath, *setup.settings);
        SetDebugTextHook({});
        EXPECT_EQ(res.IsBuiltIn(c.name), !c.replaced);
        if (c.replaced) {
            EXPECT_NE(res.Picture(c.name), builtIn.Picture(c.name));
        } else {
            EXPECT_EQ(res.Picture(c.name), builtIn.Picture(c.name));
        }
        int failLines = 0;
        for (const std::string &l : lines)
            failLines += (l.find(c.name) != std::string::npos && l.find("FAIL") != std::string::npos);
        EXPECT_EQ(failLines, c.logged ? 1 : 0);
        // Every other picture stays built-in.
        for (const QString &other : TFormRes::PictureNames())
            if (other != c.name) {
                EXPECT_TRUE(res.IsBuiltIn(other)) << other.toStdString();
            }
    }
}

TEST(SkinStore, ReplacementPixelsAreTheFileContent)
{
    SkinSetup setup("[Product]\nRes_Path=skin\n[FormRes_TImage]\nImgFrameBG=frame_green_red.jpg\n",
                    {"frame_green_red.jpg"});
    TFormRes res(setup.exePath, *setup.settings);
    const QImage img = res.Picture("ImgFrameBG");
    ASSERT_EQ(img.size(), QSize(600, 323));
    const QColor left = img.pixelColor(100, 100), right = img.pixelColor(500, 100);
    EXPECT_GT(left.green(), 120);
    EXPECT_LT(left.red(), 90);
    EXPECT_GT(right.red(), 160);
    EXPECT_LT(right.green(), 90);
}

TEST(SkinStore, GlobalAccessor)
{
    TFormRes *fallback = FormRes();
    ASSERT_NE(fallback, nullptr);
    EXPECT_FALSE(fallback->Picture("ImgFrameBG").isNull());
    {
        TFormRes mine;
        SetFormRes(&mine);
        EXPECT_EQ(FormRes(), &mine);
    }
    // A destroyed store is never handed out.
    EXPECT_EQ(FormRes(), fallback);
}

TEST(JpegDecoder, FailuresAreResults)
{
    QFile whole(kData + "frame_green_red.jpg");
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    struct Case
    {
        const char *what;
        QByteArray data;
        bool ok;
    };
    // The same picture declaring 65000 x 65000 pixels in its frame header.
    QByteArray huge = bytes;
    const qsizetype frame = huge.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    huge.replace(frame + 5, 4, QByteArray("\xFD\xE8\xFD\xE8", 4));
    QByteArray flipped = bytes;
    for (qsizetype i = 200; i < flipped.size() - 2; i += 7)
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    const Case cases[] = {
        {"whole file", bytes, true},
        {"empty", QByteArray(), false},
        {"only the start marker", bytes.left(3), false},
        {"header only", bytes.left(300), false},
        {"truncated in the scan", bytes.left(bytes.size() / 2), false},
        {"last byte missing", bytes.left(bytes.size() - 2), false},
        {"garbled scan data", flipped, false},
        {"not a JPEG", QByteArray("BM not a jpeg at all"), false},
        {"too large to allocate", huge, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        const QImage img = DecodeJpeg(c.data, &error);
        EXPECT_EQ(!img.isNull(), c.ok);
        EXPECT_EQ(error.isEmpty(), c.ok) << error.toStdString();
    }
    QString error;
    DecodeJpeg(huge, &error);
    EXPECT_EQ(error, QStringLiteral("picture too large"));
    // The same through the bitmap path, which lets the content choose the reader.
    EXPECT_TRUE(TFormRes::DecodePicture(huge, false, &error).isNull());
    EXPECT_EQ(error, QStringLiteral("picture too large"));
    EXPECT_TRUE(LoadJpegFile(kData + "absent.jpg", &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}
