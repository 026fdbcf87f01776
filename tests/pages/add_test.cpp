// Adding a page: the ninth is the last, the page on screen is saved first, the new page's file
// holds only "999" until it is first written, and a file error changes nothing.
#include "core/tooltip.h"
#include "pagesfixture.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace {

using pagetest::ansiLines;
using pagetest::Entry;

class AddPage : public pagetest::PagesTest {};

TEST_F(AddPage, NinthPageIsAddedAndTenthRefused) {
    writeSettings(8);
    writePage(1, "One", {{"a.txt"}});
    for (int n = 2; n <= 8; ++n)
        writePage(n, QStringLiteral("P%1").arg(n));
    start();

    w->pagein_Click();
    EXPECT_EQ(w->pageCount, 9);
    EXPECT_EQ(w->curPage, 9);
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_FALSE(w->btn[0]->isVisible());
    EXPECT_EQ(w->btn.size(), 1u);
    EXPECT_EQ(w->Caption(), QStringLiteral("ページ9"));
    EXPECT_EQ(pageBytes(9), QByteArray("999\r\n"));
    EXPECT_EQ(pageBytes(1), ansiLines({" 0", "One", "C:\\DATA\\a.txt", "C:\\DATA\\a.txt", "a.txt", " 0"}));
    // The old page's button table is gone from memory.
    EXPECT_TRUE(w->btnPath[0].isEmpty());

    const QStringList before = windowsListing();
    const QByteArray nine = pageBytes(9);
    const QByteArray one = pageBytes(1);
    w->pagein_Click();
    EXPECT_EQ(w->pageCount, 9);
    EXPECT_EQ(w->curPage, 9);
    EXPECT_EQ(windowsListing(), before);
    EXPECT_EQ(pageBytes(9), nine); // not even the page on screen is saved
    EXPECT_EQ(pageBytes(1), one);
    EXPECT_TRUE(messages().empty());
}

TEST_F(AddPage, EmptyPageOnScreenIsSavedAsEmptyFormThenNewPageMade) {
    writeSettings(1);
    writePage(1, "Home");
    start();
    w->setCaption(QStringLiteral("ホーム")); // a rename in memory reaches the file now

    w->pagein_Click();
    EXPECT_EQ(pageBytes(1), ansiLines({"999", "ホーム"}));
    EXPECT_EQ(pageBytes(2), QByteArray("999\r\n"));
    EXPECT_EQ(w->pageCount, 2);
    EXPECT_EQ(w->curPage, 2);
    EXPECT_EQ(w->Caption(), QStringLiteral("ページ2"));
    EXPECT_FALSE(pageExists(3));
}

TEST_F(AddPage, KeepsWidthAndSettingsOfThePageLeft) {
    writeSettings(1);
    writePage(1, "One", {{"a.txt"}, {"b.txt"}});
    start();
    ASSERT_EQ(w->Width(), 1200);
    ASSERT_EQ(w->optRunStyle, 2);
    ASSERT_EQ(w->btnCount, 2);

    w->pagein_Click();
    EXPECT_EQ(w->Width(), 1200);
    EXPECT_EQ(w->optRunStyle, 2);
    EXPECT_EQ(w->btn.size(), 1u);
    EXPECT_FALSE(w->btn[0]->isVisible());
    EXPECT_FALSE(w->VScroll1->isVisible());
    EXPECT_EQ(w->back->height(), w->panelMinHeight);
}

TEST_F(AddPage, NewPageFileGetsItsNameAtTheFirstSave) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}});
    writePage(2, "Two");
    start();

    w->pagein_Click();
    ASSERT_EQ(w->curPage, 3);
    EXPECT_EQ(pageBytes(3), QByteArray("999\r\n"));

    w->Pchange_Click(1);
    EXPECT_EQ(pageBytes(3), ansiLines({"999", "ページ3"}));
    EXPECT_EQ(w->Caption(), QStringLiteral("One"));
    EXPECT_EQ(w->btnCount, 1);

    // Back on the new page: an ordinary empty page with its name.
    w->Pchange_Click(3);
    EXPECT_EQ(w->Caption(), QStringLiteral("ページ3"));
    EXPECT_EQ(w->btnCount, 0);
}

TEST_F(AddPage, ReusedNumberTakesTheNameItsMenuItemLastShowed) {
    writeSettings(3);
    writePage(1, "A");
    writePage(2, "B");
    writePage(3, "C", {{"c.txt"}});
    start();
    ASSERT_EQ(menuCaption(3), QStringLiteral("C"));

    w->Pchange_Click(3);
    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    ASSERT_EQ(w->pageCount, 2);
    ASSERT_FALSE(pageExists(3));

    w->pagein_Click();
    EXPECT_EQ(w->curPage, 3);
    EXPECT_EQ(w->Caption(), QStringLiteral("C"));
    EXPECT_EQ(pageBytes(3), QByteArray("999\r\n"));
}

TEST_F(AddPage, NewPageIsOfferedInThePageMenuNextTimeItOpens) {
    writeSettings(2);
    writePage(1, "One");
    writePage(2, "Two");
    start();
    std::vector<bool> enabled;
    w->popupHook = [&](QMenu*) {
        enabled.clear();
        for (int n = 1; n <= 9; ++n)
            enabled.push_back(w->Pchange[size_t(n)]->isEnabled());
    };

    w->pagein_Click();
    w->main_Click();
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, true, false, false, false, false, false, false}));

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    w->main_Click();
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, false, false, false, false, false, false, false}));
}

TEST_F(AddPage, HidesTheTooltip) {
    writeSettings(1);
    writePage(1, "One", {{"a.txt"}});
    start();
    ShowTip(QStringLiteral("a.txt"));
    tipWindow()->tmrToolTip_Timer();
    ASSERT_TRUE(tipWindow()->isVisible());

    w->pagein_Click();
    EXPECT_FALSE(tipWindow()->isVisible());
    EXPECT_FALSE(tipWindow()->tmrToolTip->isActive());
}

// A file error leaves the page on screen as it was and no new page file behind.
enum class AddFault { NewFileDiskFull, PageOnScreenReadOnly };

struct AddFaultCase {
    AddFault fault;
    const char* namedFile; // the file the message names
};

class AddPageFault : public pagetest::PagesTest, public ::testing::WithParamInterface<AddFaultCase> {};

TEST_P(AddPageFault, NothingChanges) {
    writeSettings(2);
    writePage(1, "One");
    writePage(2, "Two", {{"a.txt"}, {"b.txt"}});
    start();
    w->Pchange_Click(2);
    ASSERT_EQ(w->btnCount, 2);
    w->setCaption(QStringLiteral("Two renamed"));
    const QByteArray two = pageBytes(2);
    const QStringList listing = windowsListing();

    if (GetParam().fault == AddFault::NewFileDiskFull)
        plat::setWriteFailureAfter(0);
    else
        plat::SetAttr(QStringLiteral("C:\\WINDOWS\\znP2.ini"), plat::vbReadOnly);
    w->pagein_Click();
    plat::setWriteFailureAfter(-1);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.contains(QString::fromLatin1(GetParam().namedFile)))
        << messages()[0].text.toStdString();
    EXPECT_TRUE(messages()[0].style & plat::vbCritical);
    EXPECT_EQ(w->pageCount, 2);
    EXPECT_EQ(w->curPage, 2);
    EXPECT_EQ(w->btnCount, 2);
    EXPECT_EQ(w->btnPath[1], QStringLiteral("C:\\DATA\\b.txt"));
    EXPECT_EQ(w->btn.size(), 2u);
    EXPECT_TRUE(w->btn[0]->isVisible());
    EXPECT_EQ(w->Caption(), QStringLiteral("Two renamed"));
    EXPECT_EQ(pageBytes(2), two);
    EXPECT_FALSE(pageExists(3));
    EXPECT_EQ(windowsListing(), listing);
}

INSTANTIATE_TEST_SUITE_P(Faults, AddPageFault,
                         ::testing::Values(AddFaultCase{AddFault::NewFileDiskFull, "znP3.ini"},
                                           AddFaultCase{AddFault::PageOnScreenReadOnly, "znP2.ini"}));

} // namespace
