// The skinned controls driven offscreen: face choice per state, clicks,
// shaping switches, the sort list's header rules and layout, the image
// button's picture swaps.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "controls/bitmapbtn.h"
#include "controls/centeredit.h"
#include "controls/ellipsislabel.h"
#include "controls/paintpanel.h"
#include "controls/skinimage.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"

namespace {

QImage Solid(QColor c, int w = 85, int h = 21)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

QImage RoundedFace()
{
    QImage img = Solid(QColor(0xFF, 0x00, 0xFF));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const bool corner = (x < 3 || x > 81) && (y < 3 || y > 17);
            if (!corner)
                img.setPixelColor(x, y, Qt::white);
        }
    return img;
}

using Choice = TTrifaceBtn::FaceChoice;

void Send(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
                                      ? Qt::MouseButtons(button)
                                      : Qt::MouseButtons();
    QMouseEvent ev(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                   {});
    QCoreApplication::sendEvent(w, &ev);
}

} // namespace

TEST(TrifaceBtn, FaceChoiceTable)
{
    struct Row
    {
        const char *what;
        bool enabled, pressed, inside, shift;
        bool hasOver, hasDown, hasDisable;
        Choice expected;
    };
    const Row rows[] = {
        {"normal", true, false, false, false, true, true, true, Choice::Face},
        {"hover", true, false, true, false, true, true, true, Choice::FaceOver},
        {"hover without FaceOver shows Face", true, false, true, false, false, true, true, Choice::Face},
        {"pressed", true, true, false, false, true, true, true, Choice::FaceDown},
        {"pressed wins over hover", true, true, true, false, true, true, true, Choice::FaceDown},
        {"pressed without FaceDown", true, true, false, false, true, false, true, Choice::Face},
        {"disabled", false, false, false, false, true, true, true, Choice::FaceDisable},
        {"disabled wins over hover", false, false, true, false, true, true, true, Choice::FaceDisable},
        {"disabled without FaceDisable", false, false, false, false, true, true, false, Choice::Face},
        {"shifted hover", true, false, true, true, true, true, true, Choice::ShiftedOver},
        {"shifted hover without FaceOver", true, false, true, true, false, true, true, Choice::ShiftedFace},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        TTrifaceBtn b;
        b.SetFace(Solid(Qt::white));
        if (r.hasOver)
            b.SetFaceOver(Solid(Qt::blue));
        if (r.hasDown)
            b.SetFaceDown(Solid(Qt::darkBlue));
        if (r.hasDisable)
            b.SetFaceDisable(Solid(Qt::gray));
        b.SetShiftOnOver(r.shift);
        b.resize(85, 21);
        // The pointer arrives first; a disabled button gets no mouse moves.
        if (r.inside)
            Send(&b, QEvent::MouseMove, QPoint(10, 10));
        b.setEnabled(r.enabled);
        EXPECT_EQ(b.MouseInside(), r.inside);
        TButtonDrawState s;
        s.selected = r.pressed;
        s.disabled = !r.enabled;
        EXPECT_EQ(b.ChooseFace(s), r.expected);
    }
}

TEST(TrifaceBtn, NoFaceFallsBackToFlatLook)
{
    TTrifaceBtn b;
    b.SetFaceOver(Solid(Qt::blue));
    TButtonDrawState s;
    EXPECT_EQ(b.ChooseFace(s), Choice::Base);
    s.disabled = true;
    EXPECT_EQ(b.ChooseFace(s), Choice::Base);
}

TEST(TrifaceBtn, HoverTrackingFollowsTheMouse)
{
    QWidget parent;
    parent.resize(200, 100);
    TTrifaceBtn b(&parent);
    b.SetFace(Solid(Qt::white));
    b.setGeometry(10, 10, 85, 21);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    Send(&b, QEvent::MouseMove, QPoint(5, 5));
    EXPECT_TRUE(b.MouseInside());
    Send(&b, QEvent::MouseMove, QPoint(90, 5)); // moved off while captured
    EXPECT_FALSE(b.MouseInside());
    Send(&b, QEvent::MouseMove, QPoint(5, 5));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&b, &leave);
    EXPECT_FALSE(b.MouseInside());
}

TEST(TrifaceBtn, DoubleClickCountsAsTwoClicks)
{
    TTrifaceBtn b;
    b.setText("Next");
    b.resize(85, 21);
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    QSignalSpy presses(&b, &QAbstractButton::pressed);
    // A window system that delivers the second press of a quick double click
    // only as a double-click event: it must end in a click of its own.
    const QPoint at(10, 10);
    Send(&b, QEvent::MouseButtonPress, at);
    Send(&b, QEvent::MouseButtonRelease, at);
    Send(&b, QEvent::MouseButtonDblClick, at);
    Send(&b, QEvent::MouseButtonRelease, at);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(presses.count(), 2);
    // Qt's own order, the second press first and then the double-click
    // event: still one press and one click per press of the button.
    Send(&b, QEvent::MouseButtonPress, at);
    Send(&b, QEvent::MouseButtonRelease, at);
    Send(&b, QEvent::MouseButtonPress, at);
    Send(&b, QEvent::MouseButtonDblClick, at);
    Send(&b, QEvent::MouseButtonRelease, at);
    EXPECT_EQ(clicks.count(), 4);
    EXPECT_EQ(presses.count(), 4);
}

TEST(TrifaceBtn, AutoShapeSwitches)
{
    {
        SCOPED_TRACE("empty face keeps AutoShape off and the button rectangular");
        TTrifaceBtn b;
        b.SetAutoShape(true);
        EXPECT_FALSE(b.AutoShape());
        EXPECT_TRUE(b.FocusRect());
        EXPECT_TRUE(b.mask().isEmpty());
    }
    {
        SCOPED_TRACE("AutoShape on turns FocusRect off, sizes and cuts the button");
        TTrifaceBtn b;
        b.SetFace(RoundedFace());
        b.SetAutoShape(true);
        EXPECT_TRUE(b.AutoShape());
        EXPECT_FALSE(b.FocusRect());
        EXPECT_EQ(b.size(), QSize(85, 21));
        EXPECT_FALSE(b.mask().contains(QPoint(0, 0)));
        EXPECT_TRUE(b.mask().contains(QPoint(42, 10)));
        b.resize(200, 50); // the face dictates the size while shaped
        EXPECT_EQ(b.size(), QSize(85, 21));
    }
    {
        SCOPED_TRACE("FocusRect on turns AutoShape off and the mask goes");
        TTrifaceBtn b;
        b.SetFace(RoundedFace());
        b.SetAutoShape(true);
        b.SetFocusRect(true);
        EXPECT_FALSE(b.AutoShape());
        EXPECT_TRUE(b.mask().isEmpty());
    }
    {
        SCOPED_TRACE("an all-fuchsia face fails with the region text and stays rectangular");
        TTrifaceBtn b;
        b.SetFace(Solid(QColor(0xFF, 0x00, 0xFF)));
        b.SetAutoShape(true);
        EXPECT_EQ(b.DoShapeButton().toStdString(), "Failed to create region.");
        EXPECT_TRUE(b.mask().isEmpty());
    }
}

TEST(TrifaceBtn, FaceIsCopiedOnAssignment)
{
    QImage face = Solid(Qt::white);
    TTrifaceBtn b;
    b.SetFace(face);
    face.fill(Qt::black);
    EXPECT_EQ(b.Face().pixelColor(0, 0), QColor(Qt::white));
}

TEST(BitmapBtn, SliceTable)
{
    struct Row
    {
        int numFaces;
        bool pressed, disabled;
        int slice;
    };
    const Row rows[] = {
        {1, false, false, 0}, {1, true, false, 0},   {1, false, true, 0},  {2, false, false, 0},
        {2, true, false, 1},  {2, false, true, 0},   {3, false, false, 0}, {3, true, false, 1},
        {3, false, true, 2},  {0, false, false, -1},
    };
    for (const Row &r : rows) {
        TBitmapBtn b;
        b.SetFaces(Solid(Qt::white, 90, 20));
        b.SetNumFaces(r.numFaces);
        TButtonDrawState s;
        s.selected = r.pressed;
        s.disabled = r.disabled;
        EXPECT_EQ(b.SliceIndex(s), r.slice) << r.numFaces << r.pressed << r.disabled;
    }
    TBitmapBtn b;
    b.SetFaces(Solid(Qt::white, 90, 20));
    b.SetNumFaces(3);
    b.SetAutoShape(true);
    EXPECT_EQ(b.size(), QSize(30, 20));
}

TEST(SortListView, HeaderClickRules)
{
    struct Row
    {
        const char *what;
        int sortColumn, skip;
        bool increase;
        std::vector<int> clicks;
        int expectedColumn;
        bool expectedIncrease;
    };
    const Row rows[] = {
        {"SkipSort1 column changes nothing", 3, 0, false, {0}, 3, false},
        {"sort column flips the direction", 3, 0, false, {3}, 3, true},
        {"sort column twice restores Increase", 3, 0, false, {3, 3}, 3, false},
        {"new column keeps the direction (descending)", 3, 0, false, {1}, 1, false},
        {"new column keeps the direction (ascending)", 0, -1, true, {2}, 2, true},
        {"new column then same column", 0, -1, true, {2, 2}, 2, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        TSortListView v;
        v.setColumnCount(5);
        v.SetSkipSort1(r.skip);
        v.SetSortColunm(r.sortColumn);
        v.SetIncrease(r.increase);
        QSignalSpy spy(&v, &TSortListView::ColumnClick);
        for (int c : r.clicks)
            emit v.header()->sectionClicked(c);
        EXPECT_EQ(v.SortColunm(), r.expectedColumn);
        EXPECT_EQ(v.Increase(), r.expectedIncrease);
        EXPECT_EQ(spy.count(), static_cast<int>(r.clicks.size()));
    }
}

TEST(SortListView, SkipOnTheSortColumnMovesTheSort)
{
    TSortListView v;
    v.setColumnCount(4);
    v.SetSkipSort1(0);
    EXPECT_EQ(v.SortColunm(), 1);
}

TEST(SortListView, RealHeaderClickAndCompareCallback)
{
    TSortListView v;
    v.setColumnCount(2);
    v.setHeaderLabels({"Name", "Signal"});
    for (const char *n : {"b", "c", "a"})
        v.addTopLevelItem(new QTreeWidgetItem(QStringList{n, "1"}));
    v.resize(300, 200);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    v.SetCompare([&v](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        const int c = a->text(v.SortColunm()).compare(b->text(v.SortColunm()));
        return v.Increase() ? c : -c;
    });
    // The list never sorts by itself.
    EXPECT_EQ(v.topLevelItem(0)->text(0), "b");
    QObject::connect(&v, &TSortListView::ColumnClick, &v, [&v](int) { v.SortItems(); });
    const QPoint onSecond(v.header()->sectionViewportPosition(1) + 20, 5);
    QTest::mouseClick(v.header()->viewport(), Qt::LeftButton, {}, onSecond);
    EXPECT_EQ(v.SortColunm(), 1);
    QTest::mouseClick(v.header()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(v.SortColunm(), 0);
    EXPECT_TRUE(v.Increase());
    EXPECT_EQ(v.topLevelItem(0)->text(0), "a");
    EXPECT_EQ(v.topLevelItem(2)->text(0), "c");
}

TEST(SortListView, HeaderItemLayout)
{
    struct Row
    {
        const char *what;
        QRect item;
        QSize arrow, caption;
        Qt::Alignment align;
        bool caption_drawn;
        QRect arrowRect;
        int textRight; // exclusive right edge of the text rectangle
    };
    const Row rows[] = {
        {"no arrow: zero-width arrow at the right edge", QRect(0, 0, 100, 20), QSize(), QSize(30, 14),
         Qt::AlignLeft, true, QRect(100, 0, 0, 20), 95},
        {"left: short caption keeps its rectangle", QRect(0, 0, 100, 20), QSize(8, 8), QSize(30, 14),
         Qt::AlignLeft, true, QRect(87, 6, 8, 8), 95},
        {"left: long caption pulled before the arrow", QRect(0, 0, 100, 20), QSize(8, 8), QSize(90, 14),
         Qt::AlignLeft, true, QRect(87, 6, 8, 8), 85},
        {"right alignment always pulled", QRect(0, 0, 100, 20), QSize(8, 8), QSize(10, 14), Qt::AlignRight,
         true, QRect(87, 6, 8, 8), 85},
        {"narrow item draws no caption", QRect(50, 0, 9, 20), QSize(8, 8), QSize(30, 14), Qt::AlignLeft,
         false, QRect(50, 6, 8, 8), 0},
        {"arrow wider than the item is clipped", QRect(0, 0, 6, 20), QSize(8, 30), QSize(30, 14),
         Qt::AlignLeft, false, QRect(0, 0, 6, 20), 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        const THeaderItemLayout l = LayoutHeaderItem(r.item, r.arrow, r.caption, r.align);
        EXPECT_EQ(l.drawCaption, r.caption_drawn);
        EXPECT_EQ(l.arrowRect, r.arrowRect);
        if (r.caption_drawn) {
            EXPECT_EQ(l.textRect.x() + l.textRect.width(), r.textRight);
            EXPECT_EQ(l.textRect.y(), (r.item.height() - r.caption.height()) / 2);
        }
    }
}

TEST(SkinImage, PictureSwaps)
{
    QPixmap p0(10, 10), p1(10, 10), p3(10, 10);
    p0.fill(Qt::white);
    p1.fill(Qt::blue);
    p3.fill(Qt::gray);
    {
        SCOPED_TRACE("hover effect and disable without Image3");
        TSkinImage img;
        img.SetImageSource(gsrcImage);
        img.SetMouseOverEffect(true);
        img.SetImage(1, p1);
        img.SetImage(0, p0);
        EXPECT_EQ(img.ImageIndex(), 0);
        QSignalSpy enter(&img, &TSkinImage::MouseEnter);
        QEnterEvent ev(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(&img, &ev);
        EXPECT_EQ(img.ImageIndex(), 1);
        EXPECT_EQ(enter.count(), 1);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&img, &leave);
        EXPECT_EQ(img.ImageIndex(), 0);
        img.setEnabled(false);
        EXPECT_EQ(img.ImageIndex(), 0); // no Image3: the picture stays
        img.SetImage(3, p3);
        img.setEnabled(true);
        img.setEnabled(false);
        EXPECT_EQ(img.ImageIndex(), 3);
    }
    {
        SCOPED_TRACE("tab buttons of one group");
        QWidget group;
        QWidget holder(&group);
        TSkinImage a(&holder), b(&holder);
        for (TSkinImage *t : {&a, &b}) {
            t->SetImageSource(gsrcImage);
            t->SetImageStyle(gsTabButton);
            t->SetImage(0, p0);
            t->SetImage(1, p1);
            t->resize(10, 10);
        }
        QTest::mousePress(&a, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(a.ImageIndex(), 1);
        QTest::mouseRelease(&a, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(b.ImageIndex(), 1);
        EXPECT_EQ(a.ImageIndex(), 0);
    }
}

TEST(OtherControls, EditLabelPanel)
{
    TCenterEdit edit;
    EXPECT_EQ(edit.alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

    TEllipsisLabel label;
    label.setText("alpha beta gamma delta epsilon");
    const int narrow = label.fontMetrics().horizontalAdvance("alpha beta ...") + 2;
    EXPECT_EQ(label.ShownText(narrow), label.text()); // no flag: unchanged
    label.SetEllipsisWord(true);
    EXPECT_EQ(label.ShownText(narrow), "alpha beta...");
    label.SetEllipsisWord(false);
    label.SetEllipsisEnd(true);
    EXPECT_TRUE(label.ShownText(narrow).endsWith(QChar(0x2026)));

    TPaintPanel panel;
    int painted = 0;
    panel.SetOnPaint([&painted](TPaintPanel *, QPainter &) { ++painted; });
    panel.resize(50, 20);
    panel.grab();
    EXPECT_EQ(painted, 1);
}

TEST(TrifaceBtn, PaintShowsTheChosenFace)
{
    struct Row
    {
        const char *what;
        bool hover, down, disabled, shift;
        QColor expected;
    };
    const Row rows[] = {
        {"normal", false, false, false, false, Qt::white},
        {"hover", true, false, false, false, Qt::blue},
        {"pressed", false, true, false, false, Qt::darkBlue},
        {"disabled", false, false, true, false, Qt::gray},
        {"shifted hover draws FaceOver", true, false, false, true, Qt::blue},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        TTrifaceBtn b;
        b.SetFace(Solid(Qt::white));
        b.SetFaceOver(Solid(Qt::blue));
        b.SetFaceDown(Solid(Qt::darkBlue));
        b.SetFaceDisable(Solid(Qt::gray));
        b.SetShiftOnOver(r.shift);
        b.resize(85, 21);
        if (r.hover)
            Send(&b, QEvent::MouseMove, QPoint(40, 10));
        b.setDown(r.down);
        b.setEnabled(!r.disabled);
        const QImage shot = b.grab().toImage();
        EXPECT_EQ(shot.pixelColor(40, 3), r.expected);
    }
}

// A shaped button marks a focus the keyboard moved onto it by its corner
// marks inside the face; a focus from a click draws nothing; Return on the
// focused button presses it.
TEST(TrifaceBtn, FocusMarksAfterTabNotAfterClick)
{
    QWidget window;
    auto *before = new QPushButton(QStringLiteral("before"), &window);
    auto *button = new TTrifaceBtn(&window);
    button->SetFace(RoundedFace());
    button->SetAutoShape(true);
    button->move(0, 40);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    before->setFocus();
    const QImage unfocused = button->grab().toImage();
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    ASSERT_TRUE(button->hasFocus());
    EXPECT_EQ(button->grab().toImage(), unfocused);

    QTest::keyClick(button, Qt::Key_Tab);
    ASSERT_TRUE(before->hasFocus());
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(button->hasFocus());
    const QImage tabbed = button->grab().toImage();
    EXPECT_NE(tabbed, unfocused);
    // The face's corners are cut away up to 3 pixels in: the marks start there.
    EXPECT_EQ(tabbed.pixelColor(3, 3), QColor(Qt::black));
    EXPECT_EQ(tabbed.pixelColor(0, 0), unfocused.pixelColor(0, 0));

    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1);
}
