// Texts, positions and visibility from the settings file: which controls a
// window or page owns, what each kind takes, the "_CtrlPos" number rules,
// nested page sections, and the settings lock around a whole run. Also the
// small widget helpers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <future>
#include <vector>

#include "app/inifile.h"
#include "app/threadini.h"
#include "controls/paintpanel.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "skin/applytexts.h"
#include "skin/widgethelpers.h"

namespace {

template <typename T> T *Make(QWidget *parent, const char *name, const QString &text = {})
{
    auto *w = new T(parent); // owned by parent
    w->setObjectName(name);
    if constexpr (std::is_base_of_v<QAbstractButton, T> || std::is_same_v<T, QLabel>)
        w->setText(text);
    return w;
}

// A window like the wizard's: own controls, a group box as visual parent,
// and a nested page with controls of its own.
struct TestWindow
{
    QWidget window;
    QLabel *lbTitle;
    QGroupBox *gbox;
    QCheckBox *chk;
    QRadioButton *rbtn;
    TTrifaceBtn *btnNext;
    QLineEdit *edt;
    TPaintPanel *plSearch;
    QTreeWidget *lvPlain;
    TSortListView *lvSort;
    QAction *menuItem;
    QWidget *page;
    QLabel *pageLabel;
    QPushButton *pageBtn;

    TestWindow()
    {
        window.setObjectName("FormMain");
        window.setWindowTitle("Designed title");
        window.resize(600, 450);
        lbTitle = Make<QLabel>(&window, "LbTitle", "Designed label");
        gbox = Make<QGroupBox>(&window, "GBoxOptions");
        gbox->setTitle("Options");
        chk = Make<QCheckBox>(gbox, "ChkAgree", "agree");
        rbtn = Make<QRadioButton>(gbox, "RBtnAuto", "auto");
        btnNext = Make<TTrifaceBtn>(&window, "BtnNext", "Next");
        btnNext->setGeometry(400, 300, 85, 21);
        edt = Make<QLineEdit>(&window, "EdtName");
        edt->setText("typed");
        plSearch = Make<TPaintPanel>(&window, "PlSearch");
        plSearch->SetCaption("Searching");
        lvPlain = Make<QTreeWidget>(&window, "LvPlain");
        lvPlain->setHeaderLabels({"Name", "MAC"});
        lvSort = Make<TSortListView>(&window, "LvSort");
        lvSort->setHeaderLabels({"SSID", "Signal"});
        menuItem = new QAction("Designed item", &window);
        menuItem->setObjectName("MnuHelp");
        page = Make<QWidget>(&window, "FrameDevList1");
        MarkAsFrame(page);
        page->setGeometry(0, 105, 600, 324);
        pageLabel = Make<QLabel>(page, "LbInfo", "Page label");
        pageBtn = Make<QPushButton>(page, "BtnRefresh", "Refresh");
        pageBtn->setGeometry(10, 10, 85, 21);
    }
};

IniFile Ini(const char *text)
{
    return IniFile::FromBytes(QByteArray(text));
}

} // namespace

TEST(Ownership, CreationOrderStopsAtNestedPages)
{
    TestWindow w;
    std::vector<std::string> names;
    for (QObject *o : OwnedComponents(&w.window))
        names.push_back(o->objectName().toStdString());
    const std::vector<std::string> expected = {"LbTitle", "GBoxOptions", "ChkAgree",     "RBtnAuto",
                                               "BtnNext", "EdtName",     "PlSearch",     "LvPlain",
                                               "LvSort",  "MnuHelp",     "FrameDevList1"};
    EXPECT_EQ(names, expected);
    std::vector<std::string> pageNames;
    for (QObject *o : OwnedComponents(w.page))
        pageNames.push_back(o->objectName().toStdString());
    EXPECT_EQ(pageNames, (std::vector<std::string>{"LbInfo", "BtnRefresh"}));

    EXPECT_TRUE(IsFrameBoundary(w.page));
    MarkAsFrame(w.page, false);
    EXPECT_FALSE(IsFrameBoundary(w.page));
}

TEST(ApplyTexts, EachKindTakesItsText)
{
    TestWindow w;
    const IniFile ini = Ini("[FormMain]\n"
                            "FormMain=Window from file\n"
                            "LbTitle=Label from file\n"
                            "GBoxOptions=Options\n"
                            "ChkAgree=I agree\n"
                            "RBtnAuto=Automatic\n"
                            "BtnNext=Forward\n"
                            "EdtName=edits are left alone\n"
                            "PlSearch=Looking...\n"
                            "LvPlain_Col0=Device\n"
                            "LvPlain_Col1=Address\n"
                            "LvSort_Col0=not for the sortable list\n"
                            "MnuHelp=Help item\n"
                            "LbInfo=page controls are not the window's\n");
    ApplyTexts(&w.window, "FormMain", ini);
    EXPECT_EQ(w.window.windowTitle(), "Window from file");
    EXPECT_EQ(w.lbTitle->text(), "Label from file");
    EXPECT_EQ(w.gbox->title(), " Options ");
    EXPECT_EQ(w.chk->text(), "I agree");
    EXPECT_EQ(w.rbtn->text(), "Automatic");
    EXPECT_EQ(w.btnNext->text(), "Forward");
    EXPECT_EQ(w.edt->text(), "typed");
    EXPECT_EQ(w.plSearch->Caption(), "Looking...");
    EXPECT_EQ(w.lvPlain->headerItem()->text(0), "Device");
    EXPECT_EQ(w.lvPlain->headerItem()->text(1), "Address");
    EXPECT_EQ(w.lvSort->headerItem()->text(0), "SSID");
    EXPECT_EQ(w.menuItem->text(), "Help item");
    EXPECT_EQ(w.pageLabel->text(), "Page label");
}

TEST(ApplyTexts, GroupBoxPaddingAndMissingSection)
{
    struct Row
    {
        const char *ini;
        const char *title;
    };
    const Row rows[] = {
        {"[FormMain]\nGBoxOptions=Options\n", " Options "},
        {"[FormMain]\nGBoxOptions=\" Options \"\n", " Options "},
        {"[FormMain]\nGBoxOptions=\" Options\"\n", " Options "},
        {"[FormMain]\nGBoxOptions=\n", ""},
        {"[Other]\nGBoxOptions=X\n", " Options "}, // the designed text, padded
    };
    for (const Row &r : rows) {
        TestWindow w;
        ApplyTexts(&w.window, "FormMain", Ini(r.ini));
        EXPECT_EQ(w.gbox->title().toStdString(), r.title) << r.ini;
    }
    TestWindow w;
    ApplyTexts(&w.window, "FormMain", Ini(""));
    EXPECT_EQ(w.window.windowTitle(), "Designed title");
    EXPECT_EQ(w.lbTitle->text(), "Designed label");
    EXPECT_EQ(w.btnNext->text(), "Next");
}

TEST(ApplyTexts, PageSectionLeavesWindowTitleAlone)
{
    TestWindow w;
    w.page->setWindowTitle("page title");
    ApplyTexts(w.page, "TFrameDevList",
               Ini("[TFrameDevList]\nFrameDevList1=not a window\nLbInfo=Found devices\nBtnRefresh=Search\n"));
    EXPECT_EQ(w.page->windowTitle(), "page title");
    EXPECT_EQ(w.pageLabel->text(), "Found devices");
    EXPECT_EQ(w.pageBtn->text(), "Search");
}

TEST(ApplyLayout, PositionRules)
{
    struct Row
    {
        const char *what;
        const char *value;
        QRect expected;
    };
    const QRect designed(400, 300, 85, 21);
    const Row rows[] = {
        {"two numbers move and keep the size", "10, 20", QRect(10, 20, 85, 21)},
        {"a leading non-number is skipped", "x, 5, 6", QRect(5, 6, 85, 21)},
        {"blank changes nothing", "   ", designed},
        {"no number changes nothing", "a, b", designed},
        {"one number sets left only", "7", QRect(7, 300, 85, 21)},
        {"three numbers set the width", "1,2,50", QRect(1, 2, 50, 21)},
        {"four numbers set everything", "1,2,50,30", QRect(1, 2, 50, 30)},
        {"more than four: only four used", "1,2,50,30,99,99", QRect(1, 2, 50, 30)},
        {"blank-separated", "3 4", QRect(3, 4, 85, 21)},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        QWidget form;
        form.setObjectName("FormMain");
        // A plain button: the shaped one would insist on its face's size.
        auto *btn = Make<QPushButton>(&form, "BtnNext", "Next");
        btn->setGeometry(designed);
        ApplyLayout(&form, "FormMain",
                    Ini(qPrintable(QString("[FormMain_CtrlPos]\nBtnNext=%1\n").arg(r.value))));
        EXPECT_EQ(btn->geometry(), r.expected);
    }
}

TEST(ApplyLayout, NestedPagesAndVisibility)
{
    TestWindow w;
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    const IniFile ini = Ini("[FormMain_CtrlPos]\n"
                            "FrameDevList1=0,100\n"
                            "BtnRefresh=1,1\n" // the page's control is not the window's
                            "[FormMain_FrameDevList1_CtrlPos]\n"
                            "BtnRefresh=30,40\n"
                            "[FormMain_FrameDevList1_Visible]\n"
                            "LbInfo=0\n"
                            "[FormMain_Visible]\n"
                            "LbTitle=0x0\n"
                            "BtnNext=yes\n" // not an integer: keeps the current value
                            "MnuHelp=0\n");
    ApplyLayout(&w.window, "FormMain", ini);
    EXPECT_EQ(w.page->pos(), QPoint(0, 100));
    EXPECT_EQ(w.pageBtn->geometry(), QRect(30, 40, 85, 21));
    EXPECT_TRUE(w.pageLabel->isHidden());
    EXPECT_TRUE(w.lbTitle->isHidden());
    EXPECT_FALSE(w.btnNext->isHidden());
    EXPECT_FALSE(w.menuItem->isVisible());
    // Hiding and showing the page later keeps its hidden control hidden.
    w.page->hide();
    w.page->show();
    EXPECT_FALSE(w.pageLabel->isVisible());
    EXPECT_TRUE(w.pageBtn->isVisible());

    // A hidden control is shown again by a true value.
    ApplyLayout(&w.window, "FormMain", Ini("[FormMain_Visible]\nLbTitle=1\n"));
    EXPECT_FALSE(w.lbTitle->isHidden());
}

TEST(ApplyLayout, LockIsHeldForTheWholeRunAndReleased)
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/setup.ini";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[FormMain]\nLbTitle=From the guarded file\nMnuHelp=Renamed\n"
            "[FormMain_CtrlPos]\nBtnNext=5,6\n[FormMain_Visible]\nMnuHelp=0\n");
    f.close();
    GuardedIni store(file);
    TestWindow w;

    // The menu entry changes in the middle of each run (its text, then its
    // visibility): another thread must wait for the lock there, and gets it
    // once the run is over.
    std::vector<std::future<void>> probes;
    int keptOut = 0;
    QObject::connect(w.menuItem, &QAction::changed, [&] {
        probes.push_back(std::async(std::launch::async, [&store] { IniLock inner(store); }));
        if (probes.back().wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout)
            ++keptOut;
    });
    ApplyTexts(&w.window, "FormMain", store);
    ApplyLayout(&w.window, "FormMain", store);
    ASSERT_EQ(probes.size(), 2u);
    EXPECT_EQ(keptOut, 2);
    for (std::future<void> &probe : probes)
        EXPECT_EQ(probe.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(w.lbTitle->text(), "From the guarded file");
    EXPECT_EQ(w.btnNext->pos(), QPoint(5, 6));
}

TEST(WidgetHelpers, ComboListAndFocus)
{
    QComboBox combo;
    combo.addItem("none", 0);
    combo.addItem("wep", 1);
    combo.addItem("wep again", 1);
    combo.addItem("text code", "x");
    combo.setCurrentIndex(0);
    EXPECT_TRUE(SelectComboByValue(&combo, 1));
    EXPECT_EQ(combo.currentIndex(), 1); // the first of two
    EXPECT_EQ(SelectedComboValue(&combo), 1);
    EXPECT_FALSE(SelectComboByValue(&combo, 7));
    EXPECT_EQ(combo.currentIndex(), 1); // unchanged
    EXPECT_FALSE(SelectComboByValue(nullptr, 1));

    QTreeWidget list;
    list.setHeaderLabels({"a"});
    EXPECT_GT(ListHeaderHeight(&list), 0);
    list.setHeaderHidden(true);
    EXPECT_EQ(ListHeaderHeight(&list), 0);

    QWidget window;
    auto *edit = new QLineEdit(&window);
    auto *other = new QLineEdit(&window);
    FocusEdit(edit); // window not shown: nothing happens, no crash
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    other->setFocus();
    edit->setEnabled(false);
    FocusEdit(edit);
    EXPECT_EQ(window.focusWidget(), other);
    edit->setEnabled(true);
    FocusEdit(edit);
    EXPECT_EQ(window.focusWidget(), edit);
    FocusEdit(nullptr);
}
