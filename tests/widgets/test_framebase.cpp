// The page base: PrevPage bookkeeping, texts from the page's own section,
// the skin helpers, commands to the main window and the page's message
// handler.
#include "app/globalvar.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/framebase.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "skin/formres.h"
#include "ui/pagetest.h"
#include "ui/testsettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

class TFrameProbe : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameProbe(QWidget *parent = nullptr) : TFrameBase(parent)
    {
        ImgBG = PageKit::Background(this, true);
        GBoxProbe = new QGroupBox(QStringLiteral("Probe"), this);
        GBoxProbe->setObjectName(QStringLiteral("GBoxProbe"));
        LbInfo = new QLabel(QStringLiteral("As designed"), GBoxProbe);
        LbInfo->setObjectName(QStringLiteral("LbInfo"));
        ChkOption = new QCheckBox(QStringLiteral("Option"), GBoxProbe);
        ChkOption->setObjectName(QStringLiteral("ChkOption"));
        BtnNext = PageKit::BottomButton(this, "BtnNext", QStringLiteral("Next"), PageKit::NextLeft);
        SkinOnLoad(ImgBG, {BtnNext});
    }

    void PostCommand(int command) { PostWizardCommand(command); }

    TImage *ImgBG;
    QGroupBox *GBoxProbe;
    QLabel *LbInfo;
    QCheckBox *ChkOption;
    TTrifaceBtn *BtnNext;
    std::vector<RecordedMessage> handled;

protected:
    void HandleAppMessage(AppMessage *message) override
    {
        handled.push_back({message->id, message->wParam, message->lParam});
    }
};

namespace {

TEST(FrameBase, PrevPageFollowsForwardEntriesAndBackwardLeaves)
{
    TFrameProbe page;
    TFrameProbe a;
    TFrameProbe b;
    EXPECT_EQ(page.PrevPage(), nullptr);

    ASSERT_TRUE(page.CanEnter(&a, false, 0));
    EXPECT_EQ(page.PrevPage(), &a);
    // An entry by a back move keeps it; so does a forward leave.
    ASSERT_TRUE(page.CanEnter(&b, true, 0));
    ASSERT_TRUE(page.CanLeave(&b, false, 0));
    EXPECT_EQ(page.PrevPage(), &a);
    // A backward leave forgets it; the next forward entry sets it again.
    ASSERT_TRUE(page.CanLeave(&a, true, 0));
    EXPECT_EQ(page.PrevPage(), nullptr);
    ASSERT_TRUE(page.CanEnter(&b, false, 0));
    EXPECT_EQ(page.PrevPage(), &b);
    // Entered from no page.
    ASSERT_TRUE(page.CanEnter(nullptr, false, 0));
    EXPECT_EQ(page.PrevPage(), nullptr);
}

TEST(FrameBase, PrevPageDoesNotOutliveThePage)
{
    TFrameProbe page;
    {
        TFrameProbe gone;
        page.CanEnter(&gone, false, 0);
    }
    EXPECT_EQ(page.PrevPage(), nullptr);
}

TEST(FrameBase, TextsComeFromTheSectionNamedAfterTheClass)
{
    struct Row {
        const char *ini;
        const char *label;
        const char *check;
        const char *group;
    };
    const Row rows[] = {
        {"[TFrameProbe]\nLbInfo=From the file\nGBoxProbe=Options\n", "From the file", "Option", " Options "},
        {"[TFrameOther]\nLbInfo=Not mine\n", "As designed", "Option", " Probe "},
        {"", "As designed", "Option", " Probe "},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.ini);
        TestSettings settings(row.ini);
        settings.Load();
        TFrameProbe page;
        EXPECT_EQ(page.SectionName(), QStringLiteral("TFrameProbe"));
        page.LoadPageTexts();
        EXPECT_EQ(page.LbInfo->text(), QString::fromUtf8(row.label));
        EXPECT_EQ(page.ChkOption->text(), QString::fromUtf8(row.check));
        EXPECT_EQ(page.GBoxProbe->title().trimmed(), QString::fromUtf8(row.group).trimmed());
    }
}

TEST(FrameBase, SkinHelpersPutTheStorePicturesInPlace)
{
    TFrameProbe page;
    page.LoadPageTexts();
    ASSERT_FALSE(page.ImgBG->picture().isNull());
    EXPECT_EQ(page.ImgBG->picture().toImage(), FormRes()->Pixmap(QStringLiteral("ImgFrameBG")).toImage());
    EXPECT_EQ(page.BtnNext->Face(), FormRes()->Picture(QStringLiteral("ImgBtnN")));
    EXPECT_EQ(page.BtnNext->FaceOver(), FormRes()->Picture(QStringLiteral("ImgBtnH")));
    EXPECT_EQ(page.BtnNext->FaceDown(), FormRes()->Picture(QStringLiteral("ImgBtnD")));
    EXPECT_EQ(page.BtnNext->geometry(), QRect(492, 288, 85, 21));
    EXPECT_EQ(page.ImgBG->geometry(), QRect(0, 0, 600, 324));
    // Every page holds the store's one background, not a full copy of its own.
    TFrameProbe second;
    second.LoadPageTexts();
    EXPECT_EQ(second.ImgBG->picture().cacheKey(), page.ImgBG->picture().cacheKey());
}

TEST(FrameBase, CommandsArePostedToTheMainWindow)
{
    MainWindowRecorder mainWindow;
    TFrameProbe page;
    page.PostCommand(WIZARD_NEXT);
    page.PostCommand(WIZARD_EXIT);
    // Posted, not sent: nothing arrives before the loop runs.
    EXPECT_TRUE(mainWindow.Commands().empty());
    FlushPosted();
    EXPECT_EQ(mainWindow.Commands(), (std::vector<int>{WIZARD_NEXT, WIZARD_EXIT}));
    ASSERT_EQ(mainWindow.messages.size(), 2u);
    EXPECT_EQ(mainWindow.messages[0].lParam, 0);
}

TEST(FrameBase, ProgramMessagesReachThePageHandler)
{
    TFrameProbe page;
    SendAppMessage(&page, UM_UDP_REPLY, 2, 1);
    PostAppMessage(&page, UM_UDP_TIMEOUT, 6, 0);
    FlushPosted();
    ASSERT_EQ(page.handled.size(), 2u);
    EXPECT_EQ(page.handled[0].id, UM_UDP_REPLY);
    EXPECT_EQ(page.handled[0].wParam, 2);
    EXPECT_EQ(page.handled[1].id, UM_UDP_TIMEOUT);
}

} // namespace

#include "test_framebase.moc"
