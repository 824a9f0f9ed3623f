// Review gallery: renders every skin picture of the built-in store and
// every skinned control in its states offscreen, one PNG per subject, into
// the folder given on the command line, so the look can be reviewed without
// a display. Composite sheets put the controls on the backgrounds they are
// used on (wizard window, autorun menu, progress dialog).
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTreeWidget>
#include <cstdio>

#include "controls/bitmapbtn.h"
#include "controls/centeredit.h"
#include "controls/ellipsislabel.h"
#include "controls/paintpanel.h"
#include "controls/skinimage.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "skin/formres.h"

namespace {

QString g_out;
int g_written = 0;

bool Write(const QImage &img, const QString &name)
{
    const QString path = g_out + "/" + name + ".png";
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    ++g_written;
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool Write(QWidget &w, const QString &name)
{
    return Write(w.grab().toImage(), name);
}

// A background picture as a child filling its parent.
QLabel *Background(QWidget *parent, const QImage &picture, QPoint at = {})
{
    auto *label = new QLabel(parent);
    label->setPixmap(QPixmap::fromImage(picture));
    label->setGeometry(QRect(at, picture.size()));
    return label;
}

void Hover(QWidget *w)
{
    const QPoint at(w->width() / 2, w->height() / 2);
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(w, &move);
}

// Draws as if it had the keyboard focus (offscreen windows are never active).
class FocusedBtn : public TTrifaceBtn
{
public:
    using TTrifaceBtn::TTrifaceBtn;
    TButtonDrawState CurrentDrawState() const override
    {
        TButtonDrawState s = TTrifaceBtn::CurrentDrawState();
        s.focused = true;
        return s;
    }
};

TTrifaceBtn *PageButton(QWidget *parent, const QString &text, QPoint at, bool shaped = true)
{
    auto *b = new TTrifaceBtn(parent);
    b->SetFace(FormRes()->Picture("ImgBtnN"));
    b->SetFaceOver(FormRes()->Picture("ImgBtnH"));
    b->SetFaceDown(FormRes()->Picture("ImgBtnD"));
    b->SetAutoShape(shaped);
    b->setText(text);
    b->move(at);
    return b;
}

void Pictures()
{
    for (const QString &name : TFormRes::PictureNames())
        Write(FormRes()->Picture(name), "picture_" + name);
    // The icon list, enlarged four times so the 16 x 16 icons can be judged.
    const TImageList &icons = FormRes()->ImgsType();
    QImage sheet(icons.Count() * 20 * 4, 20 * 4, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.scale(4, 4);
    for (int i = 0; i < icons.Count(); ++i)
        icons.Draw(p, 2 + 20 * i, 2, i);
    p.end();
    Write(sheet, "picture_ImgsType_x4");
}

void ButtonStates()
{
    QWidget host;
    host.resize(5 * 100 + 10, 80);
    Background(&host, FormRes()->Picture("ImgFrameBG").copy(0, 0, host.width(), host.height()));
    const char *labels[] = {"Normal", "Hover", "Pressed", "Disabled", "Focused"};
    for (int i = 0; i < 5; ++i) {
        TTrifaceBtn *b;
        if (i == 4) {
            b = new FocusedBtn(&host);
            b->SetFace(FormRes()->Picture("ImgBtnN"));
            b->move(10 + 100 * i, 30);
            b->setText(labels[i]);
            // Corner marks need FocusRect, which excludes AutoShape.
            b->SetFocusRect(true);
        } else {
            b = PageButton(&host, labels[i], QPoint(10 + 100 * i, 30));
        }
        if (i == 1)
            Hover(b);
        if (i == 2)
            b->setDown(true);
        if (i == 3)
            b->setEnabled(false);
    }
    host.show();
    Write(host, "buttons_page_states");

    QWidget flat;
    flat.resize(330, 50);
    flat.setAutoFillBackground(true);
    const char *flatLabels[] = {"Flat", "Pressed", "Disabled"};
    for (int i = 0; i < 3; ++i) {
        auto *b = new TColorBtn(&flat);
        b->setText(flatLabels[i]);
        b->setGeometry(10 + 105 * i, 12, 95, 25);
        if (i == 1)
            b->setDown(true);
        if (i == 2)
            b->setEnabled(false);
    }
    flat.show();
    Write(flat, "buttons_flat_colorbtn");

    QWidget strip;
    strip.resize(3 * 95 + 20, 50);
    strip.setAutoFillBackground(true);
    QImage faces(3 * 85, 21, QImage::Format_RGB32);
    {
        QPainter p(&faces);
        p.drawImage(0, 0, FormRes()->Picture("ImgBtnN"));
        p.drawImage(85, 0, FormRes()->Picture("ImgBtnD"));
        p.drawImage(170, 0, FormRes()->Picture("ImgBtnH"));
    }
    for (int i = 0; i < 3; ++i) {
        auto *b = new TBitmapBtn(&strip);
        b->SetFaces(faces);
        b->SetNumFaces(3);
        b->SetAutoShape(true);
        b->setText(i == 0 ? "Normal" : i == 1 ? "Pressed" : "Disabled");
        b->move(10 + 95 * i, 14);
        if (i == 1)
            b->setDown(true);
        if (i == 2)
            b->setEnabled(false);
    }
    strip.show();
    Write(strip, "buttons_bitmapbtn_slices");
}

void WizardWindow()
{
    QWidget win;
    win.resize(600, 450);
    Background(&win, FormRes()->Picture("ImgBGMain"));
    QWidget *page = new QWidget(&win);
    page->setGeometry(0, 105, 600, 324);
    Background(page, FormRes()->Picture("ImgFrameBG"));
    auto *title = new QLabel("Select the device to configure", page);
    title->setGeometry(24, 12, 400, 20);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto *list = new TSortListView(page);
    list->setGeometry(24, 40, 552, 220);
    list->setHeaderLabels({"", "SSID", "MAC Address", "Signal", "Security"});
    list->setColumnWidth(0, 28);
    list->setColumnWidth(1, 170);
    list->setColumnWidth(2, 150);
    list->setColumnWidth(3, 80);
    QImage up(8, 8, QImage::Format_ARGB32), down(8, 8, QImage::Format_ARGB32);
    for (QImage *img : {&up, &down}) {
        img->fill(Qt::transparent);
        QPainter p(img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2F, 0x6D, 0xB5));
        if (img == &up)
            p.drawPolygon(QPolygonF{QPointF(0, 7), QPointF(8, 7), QPointF(4, 1)});
        else
            p.drawPolygon(QPolygonF{QPointF(0, 1), QPointF(8, 1), QPointF(4, 7)});
    }
    list->SetIncBMP(up);
    list->SetDecBMP(down);
    list->SetSkipSort1(0);
    list->SetSortColunm(3);
    list->SetIncrease(false);
    const TImageList &icons = FormRes()->ImgsType();
    struct Net
    {
        const char *ssid, *mac;
        int signal, icon;
        const char *sec;
    };
    const Net nets[] = {{"office-net", "00:0A:1B:2C:3D:4E", 92, 3, "WPA2-PSK"},
                        {"guest", "00:0A:1B:2C:3D:50", 64, 0, "None"},
                        {"lab-bridge", "00:0A:1B:2C:3D:52", 41, 2, "WEP"},
                        {"far-away", "00:0A:1B:2C:3D:54", 12, 1, "None"}};
    for (const Net &n : nets) {
        auto *item =
            new QTreeWidgetItem(list, QStringList{"", n.ssid, n.mac, QString("%1 %").arg(n.signal), n.sec});
        item->setIcon(0, QIcon(icons.Image(n.icon)));
        item->setIcon(3, QIcon(icons.Image(4 + std::min(4, n.signal / 20))));
    }
    PageButton(page, "Exit", QPoint(24, 290));
    PageButton(page, "Back", QPoint(396, 290));
    PageButton(page, "Next", QPoint(491, 290));
    win.show();
    Write(win, "window_wizard_devicelist");
    Write(*list, "control_sortlistview");

    QWidget tut;
    tut.resize(600, 324);
    Background(&tut, FormRes()->Picture("ImgFrameBG"));
    Background(&tut, FormRes()->Picture("ImgTutorial"), QPoint(42, 10));
    PageButton(&tut, "Exit", QPoint(24, 290));
    PageButton(&tut, "Back", QPoint(396, 290));
    PageButton(&tut, "Next", QPoint(491, 290));
    tut.show();
    Write(tut, "page_tutorial");
}

void AutorunWindow()
{
    QWidget win;
    win.resize(600, 450);
    Background(&win, FormRes()->Picture("ImgBGAutorun"));
    struct Entry
    {
        const char *face;
        QRect at;
    };
    const Entry entries[] = {{"ImgBtnSetupWizard", QRect(356, 94, 197, 32)},
                             {"ImgBtnUG", QRect(356, 143, 197, 31)},
                             {"ImgBtnProductReg", QRect(356, 237 + 48, 197, 30)},
                             {"ImgBtnExit", QRect(356, 284 + 48, 197, 31)}};
    TTrifaceBtn *first = nullptr;
    for (const Entry &e : entries) {
        auto *b = new TTrifaceBtn(&win);
        b->SetFace(FormRes()->Picture(QString(e.face) + "N"));
        b->SetFaceOver(FormRes()->Picture(QString(e.face) + "D"));
        b->SetFaceDown(FormRes()->Picture(QString(e.face) + "D"));
        b->SetAutoShape(true);
        b->move(e.at.topLeft());
        if (!first)
            first = b;
    }
    Hover(first);
    // The user-guide submenu open, the first entry under the mouse.
    const char *sub[] = {"ImgBtnUG_UG", "ImgBtnUG_QIG"};
    for (int i = 0; i < 2; ++i) {
        auto *img = new TSkinImage(&win);
        img->SetImageSource(gsrcImage);
        img->SetMouseOverEffect(true);
        img->SetImage(1, FormRes()->Pixmap(QString(sub[i]) + "D"));
        img->SetImage(0, FormRes()->Pixmap(QString(sub[i]) + "N"));
        img->setGeometry(356, 176 + 19 * i, 197, 21);
        if (i == 0)
            img->SetImageIndex(1);
    }
    win.show();
    Write(win, "window_autorun_menu");
}

void ProgressAndSmallControls()
{
    QWidget dlg;
    dlg.resize(190, 50);
    Background(&dlg, FormRes()->Picture("ImgBGProgress"));
    auto *label = new QLabel("Please wait...", &dlg);
    label->setGeometry(10, 16, 170, 18);
    label->setAlignment(Qt::AlignCenter);
    dlg.show();
    Write(dlg, "window_progress");

    QWidget sheet;
    sheet.resize(420, 150);
    sheet.setAutoFillBackground(true);
    const char *octets[] = {"192", "168", "0", "50"};
    for (int i = 0; i < 4; ++i) {
        auto *e = new TCenterEdit(&sheet);
        e->setText(octets[i]);
        e->setGeometry(10 + 46 * i, 10, 40, 22);
    }
    auto *ell = new TEllipsisLabel(&sheet);
    ell->setText("/media/cdrom/Documents/User Guide/English/manual.pdf");
    ell->SetEllipsisPath(true);
    ell->setGeometry(10, 44, 200, 20);
    auto *ellEnd = new TEllipsisLabel(&sheet);
    ellEnd->setText("A long description that does not fit into its label at all");
    ellEnd->SetEllipsisWord(true);
    ellEnd->setGeometry(10, 68, 200, 20);
    auto *panel = new TPaintPanel(&sheet);
    panel->SetCaption("Searching for devices...");
    panel->setGeometry(220, 10, 190, 50);
    auto *painted = new TPaintPanel(&sheet);
    painted->setGeometry(220, 70, 190, 50);
    painted->SetOnPaint([](TPaintPanel *p, QPainter &painter) {
        QLinearGradient g(0, 0, p->width(), 0);
        g.setColorAt(0, QColor(0x1F, 0x4E, 0x8C));
        g.setColorAt(1, QColor(0x4A, 0x90, 0xD9));
        painter.fillRect(p->rect(), g);
        painter.setPen(Qt::white);
        painter.drawText(p->rect(), Qt::AlignCenter, "OnPaint handler");
    });
    sheet.show();
    Write(sheet, "controls_edit_label_panel");
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(g_out)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    Pictures();
    ButtonStates();
    WizardWindow();
    AutorunWindow();
    ProgressAndSmallControls();
    std::printf("%d files\n", g_written);
    return 0;
}
