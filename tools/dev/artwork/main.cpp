// Generator of the built-in skin pictures: every background, tutorial
// picture, button face and the small icon strip, drawn with QPainter in one
// calm blue-and-white look, written under the folder given on the command
// line together with the resource file that embeds them. The output is
// deterministic (no clock, no randomness), so rerunning it reproduces the
// committed files.
//
// Button faces are 24-bit bitmaps whose outside is pure fuchsia (#FF00FF):
// the shaped buttons cut their window to the opaque pixels. Anti-aliased
// edges are resolved against the colour the button sits on, never against
// fuchsia, so no pinkish fringe survives shaping.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cmath>
#include <cstdio>

namespace {

// The palette.
const QColor Navy(0x1F, 0x4E, 0x8C);
const QColor Blue(0x2F, 0x6D, 0xB5);
const QColor Sky(0x4A, 0x90, 0xD9);
const QColor Mist(0xDC, 0xE8, 0xF5);
const QColor Snow(0xF3, 0xF7, 0xFC);
const QColor Ink(0x1C, 0x2B, 0x3A);
const QColor Green(0x3C, 0xA5, 0x5C);
const QColor Fuchsia(0xFF, 0x00, 0xFF);
const QColor AutorunPanel(0xEE, 0xF4, 0xFB);

QString g_outDir;
QStringList g_written;

bool Save(const QImage &img, const QString &name, const char *format, int quality = -1)
{
    const QString path = g_outDir + "/" + name;
    if (!img.save(path, format, quality)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    g_written << name;
    return true;
}

QImage Canvas(int w, int h, const QColor &fill = Qt::white)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

// Concentric arcs radiating from a point: the product's "wireless" motif.
void Waves(QPainter &p, QPointF centre, int count, qreal first, qreal step, const QColor &colour, qreal width,
           int startDeg = 30, int spanDeg = 120)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        QColor c = colour;
        c.setAlphaF(colour.alphaF() * (1.0 - 0.18 * i));
        p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
        const qreal r = first + step * i;
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), startDeg * 16, spanDeg * 16);
    }
    p.restore();
}

void SoftCircle(QPainter &p, QPointF c, qreal r, QColor colour)
{
    QRadialGradient g(c, r);
    g.setColorAt(0, colour);
    QColor edge = colour;
    edge.setAlpha(0);
    g.setColorAt(1, edge);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

// Resolves an ARGB drawing into a shaped face: pixels at least half covered
// are blended over `under`, the rest become fuchsia.
QImage ResolveFace(const QImage &argb, const QColor &under)
{
    QImage out(argb.size(), QImage::Format_RGB888);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QColor c = QColor::fromRgba(argb.pixel(x, y));
            if (c.alpha() < 128) {
                out.setPixelColor(x, y, Fuchsia);
                continue;
            }
            const qreal a = c.alphaF();
            QColor mixed = QColor::fromRgbF(c.redF() * a + under.redF() * (1 - a),
                                            c.greenF() * a + under.greenF() * (1 - a),
                                            c.blueF() * a + under.blueF() * (1 - a));
            // A blended pixel that lands exactly on fuchsia would vanish.
            if (mixed == Fuchsia)
                mixed = QColor(0xFE, 0x00, 0xFE);
            out.setPixelColor(x, y, mixed);
        }
    }
    return out;
}

struct FaceLook
{
    QColor top, bottom, border, text;
};

QImage PillFace(int w, int h, qreal radius, const FaceLook &look, const QString &caption, const QColor &under,
                bool chevron)
{
    QImage argb(w, h, QImage::Format_ARGB32_Premultiplied);
    argb.fill(Qt::transparent);
    QPainter p(&argb);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), radius, radius);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, look.top);
    g.setColorAt(1, look.bottom);
    p.setBrush(g);
    p.setPen(QPen(look.border, 1));
    p.drawPath(path);
    // A faint gloss line under the top edge.
    QColor gloss(255, 255, 255, 90);
    p.setPen(QPen(gloss, 1));
    p.drawLine(QPointF(radius, 1.5), QPointF(w - radius, 1.5));
    if (chevron) {
        p.setPen(QPen(look.text, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const qreal cy = h / 2.0;
        p.drawPolyline(QPolygonF{QPointF(16, cy - 4), QPointF(20, cy), QPointF(16, cy + 4)});
    }
    if (!caption.isEmpty()) {
        QFont f("DejaVu Sans");
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.setPen(look.text);
        p.drawText(QRectF(32, 0, w - 40, h), Qt::AlignVCenter | Qt::AlignLeft, caption);
    }
    p.end();
    return ResolveFace(argb, under);
}

void WizardButtonFaces()
{
    const FaceLook normal{QColor(0xFF, 0xFF, 0xFF), Mist, Blue, Ink};
    const FaceLook hover{QColor(0xEA, 0xF3, 0xFD), QColor(0xC4, 0xDB, 0xF3), Navy, Ink};
    const FaceLook down{QColor(0xB6, 0xCF, 0xEC), QColor(0xD6, 0xE5, 0xF5), Navy, Ink};
    Save(PillFace(85, 21, 5, normal, {}, Snow, false), "ImgBtnN.bmp", "BMP");
    Save(PillFace(85, 21, 5, hover, {}, Snow, false), "ImgBtnH.bmp", "BMP");
    Save(PillFace(85, 21, 5, down, {}, Snow, false), "ImgBtnD.bmp", "BMP");
}

void AutorunFaces()
{
    const FaceLook normal{QColor(0xFF, 0xFF, 0xFF), QColor(0xE8, 0xF0, 0xFA), QColor(0xA9, 0xC4, 0xE4), Navy};
    const FaceLook active{Sky, Blue, Navy, QColor(0xFF, 0xFF, 0xFF)};
    struct Entry
    {
        const char *name;
        int height;
        const char *caption;
    };
    const Entry entries[] = {{"ImgBtnSetupWizard", 32, "Setup Wizard"},
                             {"ImgBtnUG", 31, "User Guide"},
                             {"ImgBtnProductReg", 30, "Product Registration"},
                             {"ImgBtnExit", 31, "Exit"}};
    for (const Entry &e : entries) {
        Save(PillFace(197, e.height, e.height / 2.0 - 1, normal, e.caption, AutorunPanel, true),
             QString(e.name) + "N.bmp", "BMP");
        Save(PillFace(197, e.height, e.height / 2.0 - 1, active, e.caption, AutorunPanel, true),
             QString(e.name) + "D.bmp", "BMP");
    }
}

// The two submenu entries under the user-guide button: plain rectangles on
// the menu panel, a small bullet and the caption indented below the button.
void SubmenuEntries()
{
    struct Entry
    {
        const char *name;
        const char *caption;
    };
    const Entry entries[] = {{"ImgBtnUG_UG", "User Guide"}, {"ImgBtnUG_QIG", "Quick Installation Guide"}};
    for (const Entry &e : entries) {
        for (int active = 0; active < 2; ++active) {
            QImage img = Canvas(198, 21, AutorunPanel);
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            if (active) {
                p.setPen(Qt::NoPen);
                p.setBrush(Mist);
                p.drawRoundedRect(QRectF(14, 1, 184, 19), 4, 4);
            }
            p.setPen(Qt::NoPen);
            p.setBrush(active ? Navy : Sky);
            p.drawEllipse(QPointF(28, 10.5), 2.5, 2.5);
            QFont f("DejaVu Sans");
            f.setPixelSize(12);
            p.setFont(f);
            p.setPen(active ? Navy : Ink);
            p.drawText(QRectF(38, 0, 158, 21), Qt::AlignVCenter | Qt::AlignLeft, e.caption);
            p.end();
            Save(img, QString(e.name) + (active ? "D.jpg" : "N.jpg"), "JPEG", 95);
        }
    }
}

void HeaderBand(QPainter &p, int w, int h)
{
    QLinearGradient g(0, 0, w, 0);
    g.setColorAt(0, Navy);
    g.setColorAt(1, Blue);
    p.fillRect(0, 0, w, h, g);
    p.setRenderHint(QPainter::Antialiasing);
    SoftCircle(p, QPointF(w - 60, h / 2.0), 140, QColor(255, 255, 255, 28));
    Waves(p, QPointF(w - 70, h + 10), 5, 30, 22, QColor(255, 255, 255, 70), 3);
    // A light rule under the band separates it from the page.
    p.fillRect(0, h - 3, w, 3, Sky);
}

void Backgrounds()
{
    {
        QImage img = Canvas(600, 450, Snow);
        QPainter p(&img);
        HeaderBand(p, 600, 105);
        p.fillRect(0, 429, 600, 21, Mist);
        p.end();
        Save(img, "ImgBGMain.jpg", "JPEG", 92);
    }
    {
        QImage img = Canvas(600, 323);
        QPainter p(&img);
        QLinearGradient g(0, 0, 0, 323);
        g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        g.setColorAt(1, Snow);
        p.fillRect(img.rect(), g);
        p.setRenderHint(QPainter::Antialiasing);
        SoftCircle(p, QPointF(600, 323), 260, QColor(0xDC, 0xE8, 0xF5, 150));
        Waves(p, QPointF(610, 333), 4, 70, 34, QColor(0x4A, 0x90, 0xD9, 40), 6, 95, 80);
        p.end();
        Save(img, "ImgFrameBG.jpg", "JPEG", 92);
    }
    {
        QImage img = Canvas(190, 50);
        QPainter p(&img);
        QLinearGradient g(0, 0, 0, 50);
        g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        g.setColorAt(1, Mist);
        p.fillRect(img.rect(), g);
        p.setPen(Blue);
        p.drawRect(0, 0, 189, 49);
        p.end();
        Save(img, "ImgBGProgress.jpg", "JPEG", 92);
    }
    {
        QImage img = Canvas(600, 450, AutorunPanel);
        QPainter p(&img);
        QLinearGradient g(0, 0, 330, 450);
        g.setColorAt(0, Blue);
        g.setColorAt(1, Navy);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath left;
        left.moveTo(0, 0);
        left.lineTo(300, 0);
        left.cubicTo(350, 150, 290, 300, 335, 450);
        left.lineTo(0, 450);
        left.closeSubpath();
        p.fillPath(left, g);
        SoftCircle(p, QPointF(110, 300), 200, QColor(255, 255, 255, 30));
        Waves(p, QPointF(150, 330), 6, 40, 28, QColor(255, 255, 255, 110), 4, 35, 110);
        // The device the waves come from: a small rounded box with two antennas.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawRoundedRect(QRectF(110, 330, 80, 26), 6, 6);
        p.setPen(QPen(QColor(255, 255, 255, 230), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(122, 330), QPointF(118, 304));
        p.drawLine(QPointF(178, 330), QPointF(182, 304));
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(130 + 10 * i, 343), 2.5, 2.5);
        // Frame the borderless window with a hairline so it reads on any desktop.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        p.setPen(QColor(0xA9, 0xC4, 0xE4));
        p.drawRect(0, 0, 599, 449);
        p.end();
        Save(img, "ImgBGAutorun.jpg", "JPEG", 92);
    }
}

void DrawMonitor(QPainter &p, QRectF screen)
{
    p.setPen(QPen(Ink, 2));
    p.setBrush(QColor(0x3A, 0x4A, 0x5C));
    p.drawRoundedRect(screen, 6, 6);
    p.setPen(Qt::NoPen);
    QLinearGradient g(screen.topLeft(), screen.bottomRight());
    g.setColorAt(0, Sky);
    g.setColorAt(1, Blue);
    p.setBrush(g);
    p.drawRect(screen.adjusted(7, 7, -7, -7));
    const qreal cx = screen.center().x();
    p.setBrush(QColor(0x3A, 0x4A, 0x5C));
    p.drawRect(QRectF(cx - 8, screen.bottom(), 16, 18));
    p.drawRoundedRect(QRectF(cx - 34, screen.bottom() + 16, 68, 8), 3, 3);
}

void DrawLaptop(QPainter &p, QRectF screen)
{
    p.setPen(QPen(Ink, 2));
    p.setBrush(QColor(0x3A, 0x4A, 0x5C));
    p.drawRoundedRect(screen, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Sky);
    p.drawRect(screen.adjusted(6, 6, -6, -6));
    p.setBrush(QColor(0x8A, 0x9A, 0xAC));
    QPainterPath base;
    base.moveTo(screen.left() - 14, screen.bottom() + 12);
    base.lineTo(screen.right() + 14, screen.bottom() + 12);
    base.lineTo(screen.right(), screen.bottom());
    base.lineTo(screen.left(), screen.bottom());
    base.closeSubpath();
    p.drawPath(base);
}

void DrawDevice(QPainter &p, QRectF body)
{
    p.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(body.left() + 14, body.top()), QPointF(body.left() + 8, body.top() - 42));
    p.drawLine(QPointF(body.right() - 14, body.top()), QPointF(body.right() - 8, body.top() - 42));
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    g.setColorAt(1, Mist);
    p.setBrush(g);
    p.drawRoundedRect(body, 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(body.left() + 18 + 12 * i, body.center().y()), 3, 3);
}

void Tutorials()
{
    {
        QImage img = Canvas(516, 270);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(img.rect(), Snow);
        p.setPen(QPen(Mist, 2));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(6, 6, 504, 258), 14, 14);
        DrawMonitor(p, QRectF(60, 70, 130, 95));
        DrawDevice(p, QRectF(330, 130, 120, 40));
        // The Ethernet cable between the computer and the device.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Blue, 4, Qt::SolidLine, Qt::RoundCap));
        QPainterPath cable;
        cable.moveTo(125, 190);
        cable.cubicTo(150, 240, 300, 230, 330, 160);
        p.drawPath(cable);
        p.setPen(Qt::NoPen);
        p.setBrush(Navy);
        p.drawRoundedRect(QRectF(318, 150, 14, 14), 2, 2);
        p.drawRoundedRect(QRectF(118, 184, 14, 14), 2, 2);
        p.end();
        Save(img, "ImgTutorial.jpg", "JPEG", 92);
    }
    {
        QImage img = Canvas(552, 240);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(img.rect(), Snow);
        p.setPen(QPen(Mist, 2));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(6, 6, 540, 228), 14, 14);
        DrawMonitor(p, QRectF(40, 60, 120, 88));
        DrawDevice(p, QRectF(216, 120, 120, 40));
        DrawLaptop(p, QRectF(410, 80, 100, 66));
        Waves(p, QPointF(276, 95), 3, 22, 18, QColor(0x4A, 0x90, 0xD9, 220), 4, 20, 40);
        Waves(p, QPointF(276, 95), 3, 22, 18, QColor(0x4A, 0x90, 0xD9, 220), 4, 120, 40);
        p.setPen(QPen(Blue, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath cable;
        cable.moveTo(100, 175);
        cable.cubicTo(130, 215, 200, 200, 222, 150);
        p.drawPath(cable);
        p.end();
        Save(img, "ImgTutorial2.jpg", "JPEG", 92);
    }
}

// Nine 16 x 16 icons side by side: 0/1 an open network (1 = the device is
// associated with it), 2/3 a secured one, 4 to 8 signal bars from none to full.
void IconStrip()
{
    QImage img(16 * 9, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 4; ++i) {
        const qreal ox = 16 * i;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Blue, 1.6, Qt::SolidLine, Qt::RoundCap));
        for (int r = 0; r < 3; ++r) {
            const qreal rad = 3 + 3.2 * r;
            p.drawArc(QRectF(ox + 7 - rad, 13 - rad, 2 * rad, 2 * rad), 50 * 16, 80 * 16);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawEllipse(QPointF(ox + 7, 13), 1.6, 1.6);
        if (i >= 2) {
            // Padlock in the lower right corner.
            p.setBrush(QColor(0xC8, 0x8A, 0x1E));
            p.drawRoundedRect(QRectF(ox + 9.5, 9, 6, 6.5), 1, 1);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(0xC8, 0x8A, 0x1E), 1.3));
            p.drawArc(QRectF(ox + 10.5, 5.5, 4, 6), 0, 180 * 16);
        }
        if (i % 2 == 1) {
            p.setPen(QPen(Qt::white, 1));
            p.setBrush(Green);
            p.drawEllipse(QPointF(ox + 3.5, 3.5), 3, 3);
        }
    }
    for (int level = 0; level <= 4; ++level) {
        const qreal ox = 16 * (4 + level);
        p.setPen(Qt::NoPen);
        for (int bar = 0; bar < 4; ++bar) {
            const qreal h = 4 + 3 * bar;
            p.setBrush(bar < level ? Blue : QColor(0xC9, 0xD3, 0xDE));
            p.drawRect(QRectF(ox + 1 + 3.6 * bar, 15 - h, 2.8, h));
        }
    }
    p.end();
    Save(img, "ImgsType.png", "PNG");
}

bool WriteQrc()
{
    QFile f(g_outDir + "/skin.qrc");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&f);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/skin\">\n";
    for (const QString &name : g_written)
        out << "    <file>" << name << "</file>\n";
    out << "  </qresource>\n</RCC>\n";
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(g_outDir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    WizardButtonFaces();
    AutorunFaces();
    SubmenuEntries();
    Backgrounds();
    Tutorials();
    IconStrip();
    if (g_written.size() != 22 || !WriteQrc()) {
        std::fprintf(stderr, "incomplete output (%d files)\n", int(g_written.size()));
        return 1;
    }
    std::printf("%d pictures written to %s\n", int(g_written.size()), argv[1]);
    return 0;
}
