// The licence and tutorial pages: the licence document in its three forms,
// the acceptance rules, the settings that pass pages over, and the welcome
// page's buttons.
#include "app/globalvar.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/device/framedevlist.h"
#include "pages/front/framelicense.h"
#include "pages/front/frametutorial.h"
#include "pages/front/frametutorial2.h"
#include "pages/front/framewelcome.h"
#include "pages/front/licensetext.h"
#include "shell/formmain.h"
#include "skin/formres.h"
#include "ui/pagetest.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------------------
// RTF reduced to its text.

TEST(LicenseText, RtfKeepsTextAndBreaksOnly)
{
    struct Row {
        const char *rtf;
        const char *text;
    };
    const Row rows[] = {
        {R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}\f0\fs20 First line\par Second\line third\par})",
         "First line\nSecond\nthird"},
        {R"({\rtf1 A\tab B \{braces\} and \\ backslash\par})", "A\tB {braces} and \\ backslash"},
        {R"({\rtf1\ansi caf\'e9 \'93quoted\'94\par})", "caf\u00e9 \u201cquoted\u201d"},
        {R"({\rtf1\uc1 euro \u8364?, minus \u-3913?\par})", "euro \u20ac, minus \uf0b7"},
        {R"({\rtf1{\*\generator Writer;}{\info{\title Secret}}Visible{\*\unknown hidden}\par})", "Visible"},
        {R"({\rtf1{\pict\pngblip 89504e47}Text after picture})", "Text after picture"},
        {R"({\rtf1\b Bold\b0  plain\par\pard Next})", "Bold plain\nNext"},
        // Truncated and unbalanced documents give what was read.
        {R"({\rtf1 Cut off here\'e)", "Cut off here"},
        {R"({\rtf1 Extra}}} closing)", "Extra closing"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.rtf);
        EXPECT_EQ(RtfToPlainText(QByteArray(row.rtf)), QString::fromUtf8(row.text));
    }
}

TEST(LicenseText, FormatFollowsContentAndName)
{
    EXPECT_EQ(DetectLicenseFormat("{\\rtf1 x}", QStringLiteral("License.txt")), LicenseFormat::Rtf);
    EXPECT_EQ(DetectLicenseFormat("\xEF\xBB\xBF{\\rtf1 x}", QStringLiteral("l")), LicenseFormat::Rtf);
    EXPECT_EQ(DetectLicenseFormat("<p>x</p>", QStringLiteral("License.HTM")), LicenseFormat::Html);
    EXPECT_EQ(DetectLicenseFormat("  <!DOCTYPE html><html>", QStringLiteral("License")), LicenseFormat::Html);
    EXPECT_EQ(DetectLicenseFormat("Plain <b> text", QStringLiteral("License.txt")), LicenseFormat::PlainText);
}

// ---------------------------------------------------------------------------
// The licence page on its own.

class LicensePageTest : public ::testing::Test
{
protected:
    void Load(const QByteArray &ini)
    {
        settings = std::make_unique<TestSettings>(ini);
        settings->Load();
    }

    void TearDown() override { settings.reset(); }

    std::unique_ptr<TestSettings> settings;
    RecordingUi ui;
    MainWindowRecorder mainWindow;
};

TEST_F(LicensePageTest, DesignedControlsAndTexts)
{
    Load("");
    TFrameLicense page;
    page.LoadPageTexts();
    EXPECT_EQ(page.GBoxLicense->title().trimmed(), QStringLiteral("License Agreement"));
    EXPECT_EQ(page.ChkAccept->text(), QStringLiteral("I accept the terms in the License Agreement."));
    EXPECT_TRUE(page.REdtLicense->isReadOnly());
    EXPECT_EQ(page.REdtLicense->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(page.BtnExit->text(), QStringLiteral("Exit"));
    EXPECT_EQ(page.BtnBack->text(), QStringLiteral("Back"));
    EXPECT_EQ(page.BtnNext->text(), QStringLiteral("Next"));
    EXPECT_EQ(page.GBoxLicense->pos(), QPoint(12, 16));
    EXPECT_FALSE(page.BtnNext->Face().isNull());
}

TEST_F(LicensePageTest, LicenceFileIsShownAndMustBeAccepted)
{
    struct Row {
        const char *file;
        QByteArray content;
        const char *shown;
    };
    const Row rows[] = {
        {"License.txt", "Terms of use.\r\nSecond paragraph.", "Terms of use.\nSecond paragraph."},
        {"Docs\\License.rtf", R"({\rtf1\ansi{\fonttbl{\f0 Tahoma;}}\f0 Terms\par More terms\par})", "Terms\nMore terms"},
        {"License.htm", "<html><body><p>HTML <b>terms</b></p></body></html>", "HTML terms"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.file);
        Load(QByteArray("[Product]\nLicense=") + row.file + "\n");
        settings->Write(QString::fromLatin1(row.file).replace(QLatin1Char('\\'), QLatin1Char('/')), row.content);
        g_Var.LicenseAccepted = false;
        TFrameLicense page;
        page.ChkAccept->setChecked(true);
        mainWindow.Clear();

        ASSERT_TRUE(page.CanEnter(nullptr, false, 0));
        page.Entered(nullptr, false, 0);
        FlushPosted();
        EXPECT_TRUE(mainWindow.Commands().empty());
        EXPECT_EQ(page.REdtLicense->toPlainText(), QString::fromLatin1(row.shown));
        EXPECT_FALSE(page.ChkAccept->isChecked());
        EXPECT_FALSE(page.BtnNext->isEnabled());

        page.ChkAccept->click();
        EXPECT_TRUE(page.BtnNext->isEnabled());
        page.ChkAccept->click();
        EXPECT_FALSE(page.BtnNext->isEnabled());
        page.ChkAccept->click();

        // Accepted by leaving forward with the box ticked, not backwards.
        ASSERT_TRUE(page.CanLeave(nullptr, true, 0));
        EXPECT_FALSE(g_Var.LicenseAccepted);
        ASSERT_TRUE(page.CanLeave(nullptr, false, 0));
        EXPECT_TRUE(g_Var.LicenseAccepted);
    }
}

TEST_F(LicensePageTest, PassesItselfOverWhenThereIsNothingToAccept)
{
    struct Row {
        const char *ini;
        bool accepted;
        bool writeFile;
        int command; // posted on a forward entry
    };
    const Row rows[] = {
        {"", false, false, WIZARD_NEXT},                                    // no licence named
        {"[Product]\nLicense=Missing.txt\n", false, false, WIZARD_NEXT},    // named, not on the medium
        {"[Setting]\nSkipLicense=1\n[Product]\nLicense=L.txt\n", false, true, WIZARD_NEXT},
        {"[Product]\nLicense=L.txt\n", true, true, WIZARD_NEXT},            // accepted before in this run
        {"[Setting]\nSkipLicense=0x0\n[Product]\nLicense=L.txt\n", false, true, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.ini);
        Load(row.ini);
        if (row.writeFile)
            settings->Write(QStringLiteral("L.txt"), "terms");
        g_Var.LicenseAccepted = row.accepted;
        TFrameLicense page;
        mainWindow.Clear();
        ASSERT_TRUE(page.CanEnter(nullptr, false, 0));
        page.Entered(nullptr, false, 0);
        FlushPosted();
        if (row.command == 0) {
            EXPECT_TRUE(mainWindow.Commands().empty());
            EXPECT_FALSE(page.ChkAccept->isChecked());
        } else {
            EXPECT_EQ(mainWindow.Commands(), std::vector<int>{row.command});
            EXPECT_TRUE(page.ChkAccept->isChecked());
            EXPECT_TRUE(page.BtnNext->isEnabled());
            ASSERT_TRUE(page.CanLeave(nullptr, false, 0));
            EXPECT_TRUE(g_Var.LicenseAccepted);
        }
    }
}

TEST_F(LicensePageTest, BackwardEntryPassesBackOnlyWithSkipLicense)
{
    for (const bool skip : {true, false}) {
        Load(skip ? "[Setting]\nSkipLicense=1\n" : "");
        TFrameLicense page;
        mainWindow.Clear();
        ASSERT_TRUE(page.CanEnter(nullptr, true, 0));
        FlushPosted();
        EXPECT_EQ(mainWindow.Commands(), skip ? std::vector<int>{WIZARD_BACK} : std::vector<int>{});
    }
}

TEST_F(LicensePageTest, ButtonsPostTheirCommands)
{
    Load("");
    TFrameLicense page;
    page.BtnExit->click();
    page.BtnBack->click();
    page.BtnNext->click();
    FlushPosted();
    EXPECT_EQ(mainWindow.Commands(), (std::vector<int>{WIZARD_EXIT, WIZARD_BACK, WIZARD_NEXT}));
}

// ---------------------------------------------------------------------------
// Tutorial and welcome pages.

template <typename Page> void CheckTutorial(const char *picture, const QRect &geometry, TImage *Page::*image)
{
    MainWindowRecorder mainWindow;
    struct Row {
        const char *ini;
        bool isBack;
        std::vector<int> commands;
    };
    const Row rows[] = {
        {"[Setting]\nSkipTutorial=1\n", false, {WIZARD_NEXT}},
        {"[Setting]\nSkipTutorial=1\n", true, {WIZARD_BACK}},
        {"[Setting]\nSkipTutorial=yes\n", false, {}},
        {"", true, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.ini);
        TestSettings settings(row.ini);
        settings.Load();
        Page page;
        page.LoadPageTexts();
        EXPECT_EQ((page.*image)->geometry(), geometry);
        EXPECT_EQ((page.*image)->picture().toImage(), FormRes()->Pixmap(QString::fromLatin1(picture)).toImage());
        mainWindow.Clear();
        Page from;
        ASSERT_TRUE(page.CanEnter(&from, row.isBack, 0));
        // The page still remembers where a forward move came from.
        EXPECT_EQ(page.PrevPage(), row.isBack ? nullptr : &from);
        FlushPosted();
        EXPECT_EQ(mainWindow.Commands(), row.commands);
    }
}

TEST(TutorialPages, PictureAndSkipTutorial)
{
    RecordingUi ui;
    CheckTutorial<TFrameTutorial>("ImgTutorial", QRect(42, 10, 516, 270), &TFrameTutorial::ImgTutorial);
    CheckTutorial<TFrameTutorial2>("ImgTutorial2", QRect(16, 24, 552, 240), &TFrameTutorial2::ImgTutorial2);
}

TEST(WelcomePage, StartAndExitPostTheirCommandsAndTheGuideButtonIsHidden)
{
    TestSettings settings;
    settings.Load();
    MainWindowRecorder mainWindow;
    TFrameWelcome page;
    page.LoadPageTexts();
    EXPECT_EQ(page.LbInfo1->text(), QStringLiteral("Welcome to the Setup Wizard for your QRZ-517MXB."));
    EXPECT_EQ(page.BtnStart->text(), QStringLiteral("Start"));
    EXPECT_EQ(page.BtnUG->text(), QStringLiteral("User Guide"));
    EXPECT_FALSE(page.BtnUG->isVisibleTo(&page));
    EXPECT_FALSE(page.TimerInstAcrobat->isActive());
    page.BtnStart->click();
    page.BtnExit->click();
    FlushPosted();
    EXPECT_EQ(mainWindow.Commands(), (std::vector<int>{WIZARD_NEXT, WIZARD_EXIT}));
}

} // namespace

// ---------------------------------------------------------------------------
// The front pages inside the wizard window.

namespace {

class FrontPagesInWizard : public ::testing::Test
{
protected:
    void Start(const QByteArray &ini)
    {
        settings = std::make_unique<TestSettings>(ini);
        settings->Load();
        form = std::make_unique<TFormMain>();
        SetMainWindow(form.get());
    }
    void TearDown() override
    {
        SetMainWindow(nullptr);
        form.reset();
        settings.reset();
    }
    void Pump()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::sendPostedEvents();
    }

    RecordingUi ui;
    EngineBench bench;
    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<TFormMain> form;
};

TEST_F(FrontPagesInWizard, LicenceIsTheFirstPageEnteredFromNoPage)
{
    Start("[Product]\nLicense=License.txt\n");
    settings->Write(QStringLiteral("License.txt"), "terms");
    Pump();
    ASSERT_EQ(form->CurrentPage(), form->PageOf<TFrameLicense>());
    EXPECT_EQ(form->PageOf<TFrameLicense>()->PrevPage(), nullptr);
    EXPECT_FALSE(form->PageOf<TFrameLicense>()->BtnNext->isEnabled());
    EXPECT_EQ(form->PageOf<TFrameLicense>()->REdtLicense->toPlainText(), QStringLiteral("terms"));
}

TEST_F(FrontPagesInWizard, MissingLicenceFileCountsAsAccepted)
{
    Start("[Product]\nLicense=NotThere.txt\n");
    Pump();
    EXPECT_EQ(form->CurrentPage(), form->PageOf<TFrameTutorial>());
    EXPECT_TRUE(g_Var.LicenseAccepted);
    EXPECT_TRUE(ui.boxes.isEmpty());
}

TEST_F(FrontPagesInWizard, SkipSettingsGoStraightToTheDeviceList)
{
    Start("[Setting]\nSkipLicense=1\nSkipTutorial=1\n[Product]\nLicense=License.txt\n");
    settings->Write(QStringLiteral("License.txt"), "terms");
    Pump();
    EXPECT_EQ(form->CurrentPage(), form->PageOf<TFrameDevList>());
    // Each skipped page was shown on the way and left forward.
    EXPECT_EQ(form->PageOf<TFrameTutorial2>()->PrevPage(), form->PageOf<TFrameTutorial>());
    EXPECT_EQ(form->PageOf<TFrameDevList>()->PrevPage(), form->PageOf<TFrameTutorial2>());
    for (TFrameBase *page : form->Pages())
        EXPECT_EQ(page->isVisibleTo(form.get()), page == form->PageOf<TFrameDevList>()) << page->objectName().toStdString();
}

TEST_F(FrontPagesInWizard, BackFromTheDeviceListWithSkipTutorialLeavesTheWizard)
{
    Start("[Setting]\nSkipTutorial=1\n");
    Pump();
    ASSERT_EQ(form->CurrentPage(), form->PageOf<TFrameDevList>());
    form->setResult(0);
    form->PageOf<TFrameDevList>()->BtnBack->click();
    Pump();
    EXPECT_EQ(form->result(), 2);
    EXPECT_EQ(form->CurrentPage(), form->PageOf<TFrameTutorial>());
    EXPECT_TRUE(ui.BoxTexts().filter(QStringLiteral("exit")).isEmpty());
}

} // namespace
