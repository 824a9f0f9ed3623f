// Keyboard use of every wizard page inside the real wizard window: where the
// focus lands on entering, the order Tab visits the shown controls in,
// Return on the primary button (only while it is enabled), Escape as Exit
// with its question; and a spoken name for every control a user can reach.
#include "app/globalvar.h"
#include "controls/sortlistview.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/formprogress.h"
#include "framework/framebase.h"
#include "messages/appmessage.h"
#include "pages/front/formautorun.h"
#include "pages/wireless/formwpssurvey.h"
#include "pages/wireless/framewlprofile.h"
#include "pages/wireless/framewpssitesurvey.h"
#include "shell/formmain.h"
#include "ui/pagetest.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct KeyRow
{
    const char *page;
    const char *entryFocus; // the control holding the focus once the page is entered
    const char *primary;    // the page's primary button; Return presses it while it is shown
    QStringList tabCycle;   // Tab from the entry focus round to it again (an IP field counts once)
};

void PrintTo(const KeyRow &row, std::ostream *os)
{
    *os << row.page;
}

} // namespace

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << list.join(QStringLiteral(", ")).toStdString();
}

namespace {

const QString kExitQuestion = QStringLiteral("Do you want to exit the Setup Wizard?");

// The name a focused control is reported by: the boxes of an address field
// go by the field's name.
QString FocusName()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return QStringLiteral("(none)");
    return focus->objectName().isEmpty() && focus->parentWidget() ? focus->parentWidget()->objectName()
                                                                  : focus->objectName();
}

// The real wizard window, shown and active, on the fake network.
class WizardWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        settings.Load();
        ui.defaultYesNoAnswer = MSG_RESULT_NO;
        form = std::make_unique<TFormMain>();
        SetMainWindow(form.get());
        SetFormMain(form.get());
        // The window's own first Next would walk the pages by itself.
        QCoreApplication::removePostedEvents(form.get());
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override
    {
        SetFormMain(nullptr);
        SetMainWindow(nullptr);
        form.reset();
    }

    // Shows the page called `name` as the wizard does (a sub-page of the
    // profile sequence through the sequence); commands the page posts for
    // itself on the way (a skipped licence) are dropped.
    TFrameBase *Enter(const char *name)
    {
        auto *page = form->findChild<TFrameBase *>(QLatin1String(name));
        if (!page)
            return nullptr;
        auto *profile = qobject_cast<TFrameWlProfile *>(page->parentWidget());
        EXPECT_TRUE(form->ShowPage(profile ? profile : page, false, 0));
        if (profile) {
            EXPECT_TRUE(profile->ShowSubPage(page, false));
        }
        QCoreApplication::removePostedEvents(form.get());
        return page;
    }

    TestSettings settings;
    RecordingUi ui;
    EngineBench bench;
    std::unique_ptr<TFormMain> form;
};

class KeyboardTest : public WizardWindowTest, public ::testing::WithParamInterface<KeyRow>
{
};

TEST_P(KeyboardTest, FocusTabReturnAndEscape)
{
    const KeyRow &row = GetParam();
    TFrameBase *page = Enter(row.page);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(FocusName(), QLatin1String(row.entryFocus));

    QStringList cycle{FocusName()};
    QList<QWidget *> seen{QApplication::focusWidget()};
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (seen.contains(QApplication::focusWidget()))
            break;
        seen << QApplication::focusWidget();
        if (FocusName() != cycle.last())
            cycle << FocusName();
    }
    EXPECT_EQ(cycle, row.tabCycle);

    auto *entry = page->findChild<QWidget *>(QLatin1String(row.entryFocus));
    if (!entry)
        entry = page;
    entry->setFocus(Qt::TabFocusReason);
    QPushButton *primary = page->PrimaryButton();
    int presses = 0;
    if (primary) {
        // The key is what is tested here, not what the page does with it.
        QObject::disconnect(primary, &QAbstractButton::clicked, nullptr, nullptr);
        QObject::connect(primary, &QAbstractButton::clicked, [&presses] { ++presses; });
        const bool wasEnabled = primary->isEnabled();
        primary->setEnabled(false);
        // (Disabling a focused primary button moves the focus on: the key
        // then goes to the page, as from a control that ignores Return.)
        QTest::keyClick(entry == primary ? static_cast<QWidget *>(page) : QApplication::focusWidget(),
                        Qt::Key_Return);
        EXPECT_EQ(presses, 0) << "a disabled " << primary->objectName().toStdString();
        primary->setEnabled(true);
        entry->setFocus(Qt::TabFocusReason);
        // Where the focus is: inside an address field, its first box.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        primary->setEnabled(wasEnabled);
    }
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(primary->objectName(), QLatin1String(row.primary));
    EXPECT_EQ(presses, primary->isVisibleTo(page) ? 1 : 0);

    ui.boxes.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(form.get(), AppMessage::eventType());
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].text, kExitQuestion);
    EXPECT_TRUE(form->isVisible()) << "answered No";
}

const QStringList kTutorial{"BtnNext", "BtnExit", "BtnBack"};

INSTANTIATE_TEST_SUITE_P(
    Pages, KeyboardTest,
    ::testing::Values(
        KeyRow{"FrameLicense1",
               "ChkAccept",
               "BtnNext",
               {"ChkAccept", "BtnBack", "BtnNext", "BtnExit", "REdtLicense"}},
        KeyRow{"FrameWelcome1", "BtnStart", "BtnStart", {"BtnStart", "BtnExit"}},
        KeyRow{"FrameTutorial1", "BtnNext", "BtnNext", kTutorial},
        KeyRow{"FrameTutorial21", "BtnNext", "BtnNext", kTutorial},
        // Refresh and Configure are disabled while the search runs.
        KeyRow{"FrameDevList1", "LvDevList", "BtnCfg", {"LvDevList", "BtnBack", "BtnExit"}},
        KeyRow{
            "FramePassword1", "EdtPassword", "BtnLogin", {"EdtPassword", "BtnBack", "BtnLogin", "BtnExit"}},
        // Tab reaches a group of radio buttons at its chosen one; the arrow
        // keys move inside the group.
        KeyRow{"FrameWlModeSel1", "RBtnAPMode", "BtnNext", {"RBtnAPMode", "BtnBack", "BtnNext", "BtnExit"}},
        KeyRow{"FrameSetupMethod1",
               "RBtnSetIPDHCP",
               "BtnNext",
               {"RBtnSetIPDHCP", "BtnBack", "BtnNext", "BtnExit"}},
        // The address fields keep their fixed order: gateway, address, mask.
        KeyRow{"FrameDevIPCfg1",
               "IPEditIP",
               "BtnNext",
               {"IPEditIP", "IPEditMask", "BtnBack", "BtnNext", "BtnExit", "IPEditGateway"}},
        KeyRow{"FrameSetWlMethod1", "RBtnManual", "BtnNext", {"RBtnManual", "BtnBack", "BtnNext", "BtnExit"}},
        KeyRow{"FrameWPSMethod1", "RBtnPBC", "BtnNext", {"RBtnPBC", "BtnBack", "BtnNext", "BtnExit"}},
        KeyRow{"FrameSiteSurvey1",
               "SurveyList",
               "BtnNext",
               {"SurveyList", "BtnRefresh", "BtnManual", "BtnBack", "BtnExit"}},
        KeyRow{"FrameWlProfSSID1", "EdtSSID", "BtnNext", {"EdtSSID", "BtnBack", "BtnNext", "BtnExit"}},
        KeyRow{"FrameWlProfWlMode1", "CmbMode", "BtnNext", {"CmbMode", "BtnBack", "BtnNext", "BtnExit"}},
        KeyRow{"FrameWlProfSecurity1",
               "CmbSecurity",
               "BtnNext",
               {"CmbSecurity", "BtnBack", "BtnNext", "BtnExit"}},
        KeyRow{"FrameWlProfWEP1",
               "EdtKey1",
               "BtnNext",
               {"EdtKey1", "CmbAuthen", "BtnBack", "BtnNext", "BtnExit", "CmbWEP"}},
        KeyRow{"FrameWlProfPSK1",
               "EdtPassphrase",
               "BtnNext",
               {"EdtPassphrase", "BtnBack", "BtnNext", "BtnExit", "CmbWPAMode"}},
        // Save and Print come before Next, so Return on entering never saves.
        KeyRow{"FrameWlProfConfirm1",
               "BtnNext",
               "BtnNext",
               {"BtnNext", "BtnExit", "BtnSave", "BtnPrint", "BtnBack"}},
        // Next is hidden: the page itself holds the focus, Return presses nothing.
        KeyRow{"FrameSuccess1", "FrameSuccess1", "BtnNext", {"FrameSuccess1", "BtnBack", "BtnExit"}}));

// The events of a real double click: a click, then the second press.
void DoubleClick(QTreeWidget *list, QTreeWidgetItem *item)
{
    list->doItemsLayout();
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// A double click on a row presses the list's primary button: Configure on
// the device list, Connect on the site survey, Select in the WPS survey
// dialog (where Return is Select and Escape Cancel).
TEST_F(WizardWindowTest, RowsAndTheWpsSurveyDialog)
{
    for (const char *name : {"FrameDevList1", "FrameSiteSurvey1"}) {
        TFrameBase *page = Enter(name);
        ASSERT_NE(page, nullptr);
        auto *list = page->findChild<QTreeWidget *>();
        auto *item = new QTreeWidgetItem(list, {QStringLiteral("row")});
        QPushButton *primary = page->PrimaryButton();
        QObject::disconnect(primary, &QAbstractButton::clicked, nullptr, nullptr);
        int presses = 0;
        QObject::connect(primary, &QAbstractButton::clicked, [&presses] { ++presses; });
        primary->setEnabled(true);
        DoubleClick(list, item);
        EXPECT_EQ(presses, 1) << name;
    }

    TFormWPSSurvey dialog(form.get());
    auto *list = dialog.FrameWPSSiteSurvey1->SurveyList;
    // A dialog that ignores its keys ends with 99 instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dialog, [&dialog] { dialog.done(99); });
    for (const auto &[key, result] : {std::pair{Qt::Key_Escape, 2}, std::pair{Qt::Key_Return, 1}}) {
        QTimer::singleShot(0, &dialog, [list, key] { QTest::keyClick(list, key); });
        guard.start(3000);
        EXPECT_EQ(dialog.exec(), result);
    }
    QTimer::singleShot(0, &dialog, [list] {
        auto *item = new QTreeWidgetItem(list, {QStringLiteral("row")});
        DoubleClick(list, item);
    });
    guard.start(3000);
    EXPECT_EQ(dialog.exec(), 1);
}

// The autorun menu by keyboard: Tab visits its entries in their order on
// the screen, the submenu's pictures while it is open; Return and Space
// press the focused entry; Escape is Exit.
TEST(AutorunKeys, TabReturnSpaceAndEscape)
{
    TestSettings settings;
    settings.Load();
    RecordingUi ui;
    struct Row
    {
        const char *focus;
        Qt::Key key;
        const char *effect; // "submenu" (opens it), "guide", "folder", "exit"
    };
    const Row rows[] = {
        {"BtnUG", Qt::Key_Return, "submenu"},       {"BtnUG", Qt::Key_Space, "submenu"},
        {"BtnUG_UG", Qt::Key_Return, "guide"},      {"BtnUG_UG", Qt::Key_Space, "guide"},
        {"BtnUG_QIG", Qt::Key_Return, "folder"},    {"BtnUG_QIG", Qt::Key_Enter, "folder"},
        {"BtnSetupWizard", Qt::Key_Escape, "exit"}, {"BtnUG_QIG", Qt::Key_Escape, "exit"},
    };
    const QStringList closedCycle{"BtnSetupWizard", "BtnUG", "BtnProductReg", "BtnExit"};
    const QStringList openCycle{"BtnSetupWizard", "BtnUG",         "BtnUG_UG",
                                "BtnUG_QIG",      "BtnProductReg", "BtnExit"};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.focus) + " " + std::to_string(row.key));
        ui.Clear();
        TFormAutorun menu;
        QSignalSpy closed(&menu, &TFormAutorun::Closed);
        menu.show();
        menu.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&menu));
        const bool inSubmenu = QByteArray(row.focus).startsWith("BtnUG_");
        if (inSubmenu)
            menu.BtnUGClick();
        menu.BtnSetupWizard->setFocus(Qt::TabFocusReason);
        QStringList cycle{FocusName()};
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (FocusName() == cycle.first())
                break;
            cycle << FocusName();
        }
        EXPECT_EQ(cycle, inSubmenu ? openCycle : closedCycle);

        menu.findChild<QWidget *>(QLatin1String(row.focus))->setFocus(Qt::TabFocusReason);
        const bool expanded = menu.AutorunUGExpanded;
        QTest::keyClick(QApplication::focusWidget(), row.key);
        const QString effect = QString::fromLatin1(row.effect);
        EXPECT_EQ(menu.AutorunUGExpanded, effect == QLatin1String("submenu") ? !expanded : expanded);
        EXPECT_EQ(ui.BoxTexts(), effect == QLatin1String("guide")
                                     ? QStringList{"Unable to open the user guide."}
                                     : QStringList{});
        EXPECT_EQ(ui.shells.size(), effect == QLatin1String("folder") ? 1 : 0);
        EXPECT_EQ(closed.count(), effect == QLatin1String("exit") ? 1 : 0);
    }
}

// Every control a user can reach, on every page and window of the program,
// has a name a screen reader can speak.
TEST(Accessibility, EveryReachableControlHasAName)
{
    TestSettings settings;
    settings.Load();
    RecordingUi ui;
    TFormMain form;
    QCoreApplication::removePostedEvents(&form);
    TFormAutorun autorun;
    TFormWPSSurvey survey;
    TFormProgress progress;
    int checked = 0;
    for (QWidget *window : {static_cast<QWidget *>(&form), static_cast<QWidget *>(&autorun),
                            static_cast<QWidget *>(&survey), static_cast<QWidget *>(&progress)}) {
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            const bool reachable =
                (widget->focusPolicy() & Qt::TabFocus) || qobject_cast<QAbstractButton *>(widget);
            if (!reachable || widget->isWindow() || widget->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(face, nullptr);
            EXPECT_FALSE(face->text(QAccessible::Name).isEmpty())
                << widget->metaObject()->className() << " " << widget->objectName().toStdString() << " in "
                << (widget->parentWidget() ? widget->parentWidget()->objectName().toStdString() : "");
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);

    auto name = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    EXPECT_EQ(name(form.findChild<QWidget *>("IPEditMask")->findChildren<QLineEdit *>().at(2)),
              QStringLiteral("Subnet octet 3"));
    EXPECT_EQ(name(form.findChild<QWidget *>("LvDevList")),
              QStringLiteral("Search for device on the network"));
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(form.findChild<QWidget *>("ImgTutorial"))
                     ->text(QAccessible::Description)
                     .isEmpty());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.findChild<QWidget *>("Image2"))
                  ->text(QAccessible::Description),
              form.findChild<QLabel *>("LbWirelessBridgeInfo")->text());
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&progress)->state().busy);
}

} // namespace
