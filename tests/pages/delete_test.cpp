// Deleting the page on screen: page 1 stays, the question must be answered Yes, the later
// pages move down one number (all of them or none), and the new last page is shown.
#include "core/tooltip.h"
#include "pagesfixture.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace {

using pagetest::ansiLines;
using pagetest::Entry;

class DeletePage : public pagetest::PagesTest {
  protected:
    // Pages A, B, C, D; B has buttons, D is stored empty.
    void writeABCD() {
        writeSettings(4);
        writePage(1, "A", {{"a.txt"}});
        writePage(2, "B", {{"b1.txt"}, {"b2.txt"}});
        writePage(3, "C", {{"c.txt"}});
        writePage(4, "D");
    }
    std::vector<QByteArray> allPages(int upTo) const {
        std::vector<QByteArray> out;
        for (int n = 1; n <= upTo; ++n)
            out.push_back(pageBytes(n));
        return out;
    }
};

TEST_F(DeletePage, PageOneIsRefused) {
    writeABCD();
    start();
    const std::vector<QByteArray> before = allPages(4);

    w->pagedel_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, QStringLiteral("このページは削除できません"));
    EXPECT_EQ(messages()[0].style, 4112);
    EXPECT_EQ(messages()[0].title, QStringLiteral("削除エラー"));
    EXPECT_EQ(w->pageCount, 4);
    EXPECT_EQ(w->curPage, 1);
    EXPECT_EQ(w->btnCount, 1);
    EXPECT_EQ(allPages(4), before);
}

class DeletePageAnswer : public DeletePage, public ::testing::WithParamInterface<int> {};

TEST_P(DeletePageAnswer, OtherThanYesChangesNothing) {
    writeABCD();
    start();
    w->Pchange_Click(2);
    const std::vector<QByteArray> before = allPages(4);

    env->dialogs.msgAnswers.push_back(GetParam());
    w->pagedel_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, QStringLiteral("ページ　[B] を削除します。よろしいですか"));
    EXPECT_EQ(messages()[0].style, 4132);
    EXPECT_EQ(messages()[0].title, QStringLiteral("ページの削除"));
    EXPECT_EQ(w->pageCount, 4);
    EXPECT_EQ(w->curPage, 2);
    EXPECT_EQ(w->btnCount, 2);
    EXPECT_EQ(w->Caption(), QStringLiteral("B"));
    EXPECT_EQ(allPages(4), before);
}

INSTANTIATE_TEST_SUITE_P(Answers, DeletePageAnswer,
                         ::testing::Values(plat::vbNo, plat::vbCancel, plat::vbOK));

TEST_F(DeletePage, LaterPagesMoveDownAndTheNewLastIsShown) {
    writeABCD();
    start();
    w->Pchange_Click(2);
    const QByteArray a = pageBytes(1); // as the switch saved it
    const QByteArray c = pageBytes(3);
    const QByteArray d = pageBytes(4);
    w->btnCaption[0] = QStringLiteral("never saved");

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    EXPECT_EQ(pageBytes(1), a);
    EXPECT_EQ(pageBytes(2), c);
    EXPECT_EQ(pageBytes(3), d);
    EXPECT_FALSE(pageExists(4));
    for (int n = 1; n <= 3; ++n)
        EXPECT_FALSE(pageBytes(n).contains("never saved"));
    EXPECT_EQ(w->pageCount, 3);
    EXPECT_EQ(w->curPage, 3);
    // D is stored empty: its own name is the caption, its menu item is not touched.
    EXPECT_EQ(w->Caption(), QStringLiteral("D"));
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_FALSE(w->btn[0]->isVisible());
    EXPECT_EQ(w->btn.size(), 1u);
    EXPECT_TRUE(w->btnPath[1].isEmpty());
    EXPECT_EQ(menuCaption(2), QStringLiteral("B"));
    EXPECT_EQ(menuCaption(3), QStringLiteral("C"));

    // Deleting D shows page 2, which holds C's buttons: its menu item follows now.
    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    EXPECT_EQ(messages().back().text, QStringLiteral("ページ　[D] を削除します。よろしいですか"));
    EXPECT_FALSE(pageExists(3));
    EXPECT_EQ(pageBytes(2), c);
    EXPECT_EQ(w->pageCount, 2);
    EXPECT_EQ(w->curPage, 2);
    EXPECT_EQ(w->Caption(), QStringLiteral("C"));
    EXPECT_EQ(menuCaption(2), QStringLiteral("C"));
    EXPECT_EQ(w->btnPath[0], QStringLiteral("C:\\DATA\\c.txt"));
    EXPECT_TRUE(w->btn[0]->isVisible());
}

TEST_F(DeletePage, QuestionNamesThePageAsRenamedAndTheTooltipGoes) {
    writeABCD();
    start();
    w->Pchange_Click(2);
    env->dialogs.inputAnswers.push_back(QStringLiteral("仕事"));
    w->pnchange_Click();
    ShowTip(QStringLiteral("b1.txt"));
    tipWindow()->tmrToolTip_Timer();
    ASSERT_TRUE(tipWindow()->isVisible());

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, QStringLiteral("ページ　[仕事] を削除します。よろしいですか"));
    EXPECT_FALSE(tipWindow()->isVisible());
    EXPECT_EQ(w->pageCount, 3);
}

TEST_F(DeletePage, LeftoverFromAnInterruptedDeletionIsNoObstacle) {
    writeABCD();
    testenv::writeFile(windowsFile(QStringLiteral(".znP2.ini.del")), "old");
    start();
    w->Pchange_Click(2);
    const QByteArray c = pageBytes(3);
    QStringList expected = windowsListing();
    ASSERT_TRUE(expected.removeOne(QStringLiteral(".znP2.ini.del")));
    ASSERT_TRUE(expected.removeOne(QStringLiteral("znP4.ini")));

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(pageBytes(2), c);
    EXPECT_EQ(w->pageCount, 3);
    EXPECT_EQ(windowsListing(), expected);
}

TEST_F(DeletePage, LastPageShowsThePageBefore) {
    writeSettings(3);
    writePage(1, "A");
    writePage(2, "B", {{"b.txt"}});
    writePage(3, "C", {{"c1.txt"}, {"c2.txt"}, {"c3.txt"}});
    start();
    w->Pchange_Click(3);
    const QByteArray b = pageBytes(2);

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    EXPECT_FALSE(pageExists(3));
    EXPECT_EQ(pageBytes(2), b);
    EXPECT_EQ(w->pageCount, 2);
    EXPECT_EQ(w->curPage, 2);
    EXPECT_EQ(w->Caption(), QStringLiteral("B"));
    EXPECT_EQ(menuCaption(2), QStringLiteral("B"));
    EXPECT_EQ(w->btnCount, 1);
    EXPECT_EQ(w->btnPath[0], QStringLiteral("C:\\DATA\\b.txt"));
    EXPECT_TRUE(w->btnPath[2].isEmpty());
    EXPECT_EQ(w->btn.size(), 1u);
}

// The deleted page's panel is reset before the next page is loaded, whatever its size.
struct OverflowCase {
    const char* what;
    int nextButtons;
};

class DeleteOverflowingPage : public DeletePage, public ::testing::WithParamInterface<OverflowCase> {};

TEST_P(DeleteOverflowingPage, LeavesNoPanelHeightBehind) {
    const int next = GetParam().nextButtons;
    writeSettings(3);
    writePage(1, "A");
    writePage(2, "B", many("b", next));
    writePage(3, "C", many("c", 30));
    start();
    w->Pchange_Click(3);
    ASSERT_GT(w->VScroll1->maximum(), 0);
    w->VScroll1->setValue(w->VScroll1->maximum());

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    ASSERT_EQ(w->curPage, 2);
    EXPECT_EQ(w->btnCount, next);
    EXPECT_EQ(int(w->btn.size()), next);
    int overflow = 0;
    for (int k = 0; k < next; ++k)
        if (w->ScaleHeight() <= w->H() * (k + 1) + w->main->height()) ++overflow;
    EXPECT_EQ(w->VScroll1->maximum(), w->H() * overflow);
    EXPECT_EQ(w->VScroll1->isVisible(), overflow > 0);
    EXPECT_EQ(w->back->height(), w->panelMinHeight + w->H() * overflow);
    EXPECT_EQ(w->table->height(), w->back->height());
    EXPECT_LE(w->VScroll1->value(), w->VScroll1->maximum());
    EXPECT_EQ(w->table->y(), -w->VScroll1->value());
}

INSTANTIATE_TEST_SUITE_P(Next, DeleteOverflowingPage,
                         ::testing::Values(OverflowCase{"small", 1}, OverflowCase{"big", 28}),
                         [](const ::testing::TestParamInfo<OverflowCase>& info) { return info.param.what; });

TEST_F(DeletePage, EmptyPageOnScreenCanBeDeleted) {
    writeSettings(1);
    writePage(1, "A", {{"a.txt"}});
    start();
    w->pagein_Click();
    ASSERT_EQ(pageBytes(2), QByteArray("999\r\n"));

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    EXPECT_EQ(messages().back().text, QStringLiteral("ページ　[ページ2] を削除します。よろしいですか"));
    EXPECT_FALSE(pageExists(2));
    EXPECT_EQ(w->pageCount, 1);
    EXPECT_EQ(w->curPage, 1);
    EXPECT_EQ(w->Caption(), QStringLiteral("A"));
    EXPECT_EQ(w->btnCount, 1);
    EXPECT_TRUE(w->btn[0]->isVisible());
}

// A deletion that cannot be carried out moves nothing; the page on screen stays.
enum class MoveFault {
    PageOnScreenReadOnly,
    LaterFileReadOnly,
    LastFileReadOnly,
    LaterFileMissing,
    LaterFileIsFolder
};

struct MoveFaultCase {
    MoveFault fault;
    const char* namedFile;
};

class DeletePageFault : public DeletePage, public ::testing::WithParamInterface<MoveFaultCase> {};

TEST_P(DeletePageFault, AllFilesStayAsTheyWere) {
    writeABCD();
    start();
    w->Pchange_Click(2);
    switch (GetParam().fault) {
    case MoveFault::PageOnScreenReadOnly:
        plat::SetAttr(QStringLiteral("C:\\WINDOWS\\znP2.ini"), plat::vbReadOnly);
        break;
    case MoveFault::LaterFileReadOnly:
        plat::SetAttr(QStringLiteral("C:\\WINDOWS\\znP3.ini"), plat::vbReadOnly);
        break;
    case MoveFault::LastFileReadOnly:
        plat::SetAttr(QStringLiteral("C:\\WINDOWS\\znP4.ini"), plat::vbReadOnly);
        break;
    case MoveFault::LaterFileMissing:
        QFile::remove(pageHost(4));
        break;
    case MoveFault::LaterFileIsFolder:
        QFile::remove(pageHost(3));
        QDir().mkpath(pageHost(3));
        break;
    }
    const std::vector<QByteArray> before = allPages(4);
    const QStringList listing = windowsListing();
    const bool folder = QFileInfo(pageHost(3)).isDir();

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();

    ASSERT_EQ(messages().size(), 2u);
    EXPECT_TRUE(messages()[1].text.contains(QString::fromLatin1(GetParam().namedFile)))
        << messages()[1].text.toStdString();
    EXPECT_TRUE(messages()[1].style & plat::vbCritical);
    EXPECT_EQ(allPages(4), before);
    EXPECT_EQ(windowsListing(), listing);
    EXPECT_EQ(QFileInfo(pageHost(3)).isDir(), folder);
    EXPECT_EQ(w->pageCount, 4);
    EXPECT_EQ(w->curPage, 2);
    EXPECT_EQ(w->Caption(), QStringLiteral("B"));
    EXPECT_EQ(w->btnCount, 2);
    EXPECT_EQ(w->btn.size(), 2u);
    EXPECT_TRUE(w->btn[0]->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Faults, DeletePageFault,
                         ::testing::Values(MoveFaultCase{MoveFault::PageOnScreenReadOnly, "znP2.ini"},
                                           MoveFaultCase{MoveFault::LaterFileReadOnly, "znP3.ini"},
                                           MoveFaultCase{MoveFault::LastFileReadOnly, "znP4.ini"},
                                           MoveFaultCase{MoveFault::LaterFileMissing, "znP4.ini"},
                                           MoveFaultCase{MoveFault::LaterFileIsFolder, "znP3.ini"}));

// The pages move as they are, byte for byte, and need no free space: a full disk does not
// leave a page doubled or lost half-way.
TEST_F(DeletePage, MovesFilesAsTheyAreEvenOnAFullDisk) {
    writeSettings(4);
    writePage(1, "A");
    writePage(2, "B", many("b", 12));
    // Edited by hand: LF line ends and no end after the last line.
    writePageRaw(3, QByteArray(" 0\nC\n") + plat::toAnsi(target("c.txt")) + "\nC:\\DATA\\c.txt\nc\n 0");
    writePage(4, "D", many("d", 12));
    start();
    w->Pchange_Click(2);
    const QByteArray c = pageBytes(3);
    const QByteArray d = pageBytes(4);
    const QStringList listing = windowsListing();
    // Room for the small page, not for the big ones.
    plat::setWriteFailureAfter(c.size());

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    plat::setWriteFailureAfter(-1);

    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(pageBytes(2), c);
    EXPECT_EQ(pageBytes(3), d);
    EXPECT_FALSE(pageExists(4));
    QStringList expected = listing;
    expected.removeOne(QStringLiteral("znP4.ini"));
    EXPECT_EQ(windowsListing(), expected);
    EXPECT_EQ(w->pageCount, 3);
    EXPECT_EQ(w->curPage, 3);
    EXPECT_EQ(w->Caption(), QStringLiteral("D"));
    EXPECT_EQ(w->btnCount, 12);
}

TEST_F(DeletePage, PageOnScreenWithoutFileIsDeleted) {
    writeSettings(3);
    writePage(1, "A");
    writePage(3, "C", {{"c.txt"}});
    start();
    w->Pchange_Click(2);
    ASSERT_FALSE(pageExists(2));
    const QByteArray c = pageBytes(3);

    env->dialogs.msgAnswers.push_back(plat::vbYes);
    w->pagedel_Click();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(pageBytes(2), c);
    EXPECT_FALSE(pageExists(3));
    EXPECT_EQ(w->pageCount, 2);
    EXPECT_EQ(w->Caption(), QStringLiteral("C"));
}

} // namespace
