// Switching pages: the page on screen is saved and cleared, the chosen one loaded; pages whose
// files are gone or broken show empty; the panel grows and shrinks by whole buttons; a save
// that fails keeps the page on screen.
#include "core/tooltip.h"
#include "pagesfixture.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/screen.h"
#include <QTest>

namespace {

using pagetest::ansiLines;
using pagetest::Entry;

class SwitchPage : public pagetest::PagesTest {
  protected:
    // Buttons of a page of n whose bottom reaches the window's bottom: each adds one button
    // height of scroll range. A switch leaves the clock strip out of the sum, startup counts it.
    int overflowing(int n, bool withClock) const {
        int count = 0;
        for (int k = 0; k < n; ++k)
            if (w->ScaleHeight() <=
                w->H() * (k + 1) + w->main->height() + (withClock ? w->Ltime->height() : 0))
                ++count;
        return count;
    }

    void expectPanelAtRest() const {
        EXPECT_EQ(w->back->height(), w->panelMinHeight);
        EXPECT_EQ(w->table->height(), w->panelMinHeight);
        EXPECT_EQ(w->VScroll1->minimum(), 0);
        EXPECT_EQ(w->VScroll1->maximum(), 0);
        EXPECT_EQ(w->VScroll1->value(), 0);
        EXPECT_FALSE(w->VScroll1->isVisible());
        EXPECT_EQ(w->table->y(), 0);
    }
};

TEST_F(SwitchPage, SavesThePageOnScreenAndLoadsTheChosenOne) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}, {"b,\"c\" d.txt"}});
    writePage(2, "Two", {{"c.txt"}});
    start();
    ASSERT_EQ(w->btnCount, 2);

    w->Pchange_Click(2);
    EXPECT_EQ(pageBytes(1),
              ansiLines({" 1", "One", "C:\\DATA\\a.txt", "C:\\DATA\\a.txt", "a.txt", " 0",
                         "C:\\DATA\\b,\"c\" d.txt", "C:\\DATA\\b,\"c\" d.txt", "b,\"c\" d.txt", " 0"}));
    EXPECT_EQ(w->curPage, 2);
    EXPECT_EQ(w->Caption(), QStringLiteral("Two"));
    EXPECT_EQ(menuCaption(2), QStringLiteral("Two"));
    EXPECT_EQ(w->btnCount, 1);
    EXPECT_EQ(w->btnPath[0], QStringLiteral("C:\\DATA\\c.txt"));
    EXPECT_EQ(w->btnCaption[0], QStringLiteral("c.txt"));
    EXPECT_TRUE(w->btnPath[1].isEmpty()); // the second button of page 1 is cleared
    EXPECT_EQ(w->btn.size(), 1u);
    EXPECT_TRUE(w->btn[0]->isVisible());
    EXPECT_FALSE(plat::busyCursor());
    EXPECT_TRUE(w->isEnabled());

    // Changes made in memory reach the file when the page is left.
    w->setCaption(QStringLiteral("二"));
    w->btnCaption[0] = QStringLiteral("See");
    w->Pchange_Click(1);
    EXPECT_EQ(pageBytes(2), ansiLines({" 0", "二", "C:\\DATA\\c.txt", "C:\\DATA\\c.txt", "See", " 0"}));
    EXPECT_EQ(w->btnCount, 2);
    EXPECT_EQ(w->btnPath[1], QStringLiteral("C:\\DATA\\b,\"c\" d.txt"));
    ASSERT_EQ(w->btn.size(), 2u);
    EXPECT_TRUE(w->btn[1]->isVisible());
    EXPECT_EQ(w->btn[1]->y(), w->btn[0]->y() + w->H());
}

TEST_F(SwitchPage, ChoosingThePageOnScreenWritesNothing) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}});
    writePage(2, "Two");
    start();
    const QByteArray bytes = pageBytes(1);
    const QDateTime time = pageTime(1);
    w->setCaption(QStringLiteral("changed in memory"));

    w->Pchange_Click(1);
    EXPECT_EQ(pageBytes(1), bytes);
    EXPECT_EQ(pageTime(1), time);
    EXPECT_EQ(w->Caption(), QStringLiteral("changed in memory"));
    EXPECT_EQ(w->btnCount, 1);
    EXPECT_TRUE(w->btn[0]->isVisible());
}

TEST_F(SwitchPage, HidesTheTooltipOfTheButtonLeft) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}});
    writePage(2, "Two", {{"c.txt"}});
    start();
    ShowTip(QStringLiteral("a.txt"));
    tipWindow()->tmrToolTip_Timer();
    ASSERT_TRUE(tipWindow()->isVisible());

    w->Pchange_Click(2);
    EXPECT_FALSE(tipWindow()->isVisible());
    EXPECT_FALSE(tipWindow()->tmrToolTip->isActive());
}

TEST_F(SwitchPage, PageStoredAsEmptyPutsWidthAndSettingsBack) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}});
    writePage(2, "空のページ");
    start();
    ASSERT_EQ(w->Width(), 1200);

    w->Pchange_Click(2);
    EXPECT_EQ(w->Caption(), QStringLiteral("空のページ"));
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_FALSE(w->btn[0]->isVisible());
    EXPECT_EQ(w->Width(), 1000);
    EXPECT_EQ(w->Ltime->width(), w->ScaleWidth());
    EXPECT_EQ(w->main->width(), w->ScaleWidth());
    EXPECT_EQ(w->optRunStyle, 1);
    EXPECT_EQ(w->optMouseIcon, 1);
    // An empty page leaves its menu item as it was (the startup caption here).
    EXPECT_EQ(menuCaption(2), QStringLiteral("空のページ"));
    EXPECT_TRUE(w->isEnabled());
}

TEST_F(SwitchPage, PageWhoseTargetsAreAllGoneKeepsWidthAndSettings) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}});
    writePage(2, "Gone", {{"x.txt", false}, {"y.txt", false}});
    start();

    w->Pchange_Click(2);
    EXPECT_EQ(w->Caption(), QStringLiteral("Gone"));
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_FALSE(w->btn[0]->isVisible());
    EXPECT_EQ(w->btn.size(), 1u);
    EXPECT_EQ(w->Width(), 1200);
    EXPECT_EQ(w->optRunStyle, 2);

    w->Pchange_Click(1);
    EXPECT_EQ(pageBytes(2), ansiLines({"999", "Gone"}));
}

TEST_F(SwitchPage, MissingTargetsAreSkippedAndTheNextTakesTheirSlot) {
    writeSettings(2);
    writePage(1, "One");
    writePage(2, "Two",
              {{"gone1.txt", false}, {"gone2.txt", false}, {"here.txt"}, {"gone3.txt", false}, {"last.txt"}});
    start();

    w->Pchange_Click(2);
    EXPECT_EQ(w->btnCount, 2);
    EXPECT_EQ(w->btnPath[0], QStringLiteral("C:\\DATA\\here.txt"));
    EXPECT_EQ(w->btnPath[1], QStringLiteral("C:\\DATA\\last.txt"));
    EXPECT_TRUE(w->btn[0]->isVisible());
    ASSERT_EQ(w->btn.size(), 2u);
    EXPECT_TRUE(w->btn[1]->isVisible());
    EXPECT_EQ(w->btn[1]->y(), w->btn[0]->y() + w->H());
    expectPanelAtRest();
}

// A page file that is missing, unreadable or ends early shows as an empty page without a name.
struct BrokenFileCase {
    const char* what;
    QByteArray bytes; // empty with folder = false: no file at all
    bool folder;
};

class SwitchToBrokenPage : public SwitchPage, public ::testing::WithParamInterface<BrokenFileCase> {};

TEST_P(SwitchToBrokenPage, ShowsAnEmptyPageWithoutName) {
    writeSettings(3);
    writePage(1, "One", {{"a.txt"}});
    writePage(3, "Three");
    const BrokenFileCase& c = GetParam();
    if (c.folder)
        QDir().mkpath(pageHost(2));
    else if (!c.bytes.isNull())
        writePageRaw(2, c.bytes);
    start();

    w->Pchange_Click(2);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(w->curPage, 2);
    EXPECT_EQ(w->Caption(), QString());
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_FALSE(w->btn[0]->isVisible());
    EXPECT_EQ(w->btn.size(), 1u);
    expectPanelAtRest();
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(plat::busyCursor());
}

INSTANTIATE_TEST_SUITE_P(
    Files, SwitchToBrokenPage,
    ::testing::Values(
        BrokenFileCase{"missing", QByteArray(), false}, BrokenFileCase{"unreadable", QByteArray(), true},
        BrokenFileCase{"new page never saved", QByteArray("999\r\n"), false},
        BrokenFileCase{"empty file", QByteArray(""), false},
        BrokenFileCase{"ends inside the first button", QByteArray(" 1\r\nx\r\nC:\\DATA\\a.txt\r\n"), false},
        BrokenFileCase{"second button missing",
                       QByteArray(" 1\r\nx\r\nC:\\DATA\\a.txt\r\nC:\\DATA\\a.txt\r\na\r\n 0\r\n"), false}),
    [](const ::testing::TestParamInfo<BrokenFileCase>& info) {
        QString name = QString::fromLatin1(info.param.what);
        name.replace(' ', '_');
        return name.toStdString();
    });

TEST_F(SwitchPage, GrowthLeavesTheClockStripOut) {
    writeSettings(3);
    writePage(1, "Big one", many("a", 30));
    writePage(2, "Big two", many("b", 30));
    writePage(3, "Small", {{"c.txt"}});
    start();
    const int atStartup = overflowing(30, true);
    const int onSwitch = overflowing(30, false);
    // On this screen the two sums differ by one button.
    ASSERT_EQ(atStartup, onSwitch + 1);
    EXPECT_EQ(w->VScroll1->maximum(), w->H() * atStartup);

    w->Pchange_Click(2);
    EXPECT_EQ(w->btnCount, 30);
    EXPECT_EQ(w->VScroll1->maximum(), w->H() * onSwitch);
    EXPECT_TRUE(w->VScroll1->isVisible());
    EXPECT_EQ(w->back->height(), w->panelMinHeight + w->H() * onSwitch);
    EXPECT_EQ(w->table->height(), w->back->height());
    EXPECT_EQ(w->VScroll1->x(), w->back->width());
    EXPECT_EQ(w->back->width(), w->btn[0]->width() + 13);
    EXPECT_EQ(w->table->width(), w->back->width() - 9);

    // Scrolled to the bottom, then to a small page: nothing of the big one is left.
    w->VScroll1->setValue(w->VScroll1->maximum());
    ASSERT_EQ(w->table->y(), -w->VScroll1->maximum());
    w->Pchange_Click(3);
    EXPECT_EQ(w->btn.size(), 1u);
    expectPanelAtRest();

    // And back: the same range again, not twice it.
    w->Pchange_Click(1);
    EXPECT_EQ(w->VScroll1->maximum(), w->H() * onSwitch);
    EXPECT_EQ(w->btn.size(), 30u);
}

TEST_F(SwitchPage, ClearingABigPageForAnotherBigPageDoesNotAddUp) {
    writeSettings(2);
    writePage(1, "Big one", many("a", 40));
    writePage(2, "Big two", many("b", 30));
    start();

    w->Pchange_Click(2);
    EXPECT_EQ(w->VScroll1->maximum(), w->H() * overflowing(30, false));
    EXPECT_EQ(w->back->height(), w->panelMinHeight + w->VScroll1->maximum());
    EXPECT_EQ(w->btn.size(), 30u);
}

// A save that fails keeps the page on screen, in memory and on disk.
enum class SaveFault { ReadOnly, DiskFull };

class SwitchSaveFault : public SwitchPage, public ::testing::WithParamInterface<SaveFault> {};

TEST_P(SwitchSaveFault, PageOnScreenStays) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}, {"b.txt"}});
    writePage(2, "Two", {{"c.txt"}});
    start();
    w->btnCaption[1] = QStringLiteral("changed");
    const QByteArray one = pageBytes(1);
    const QByteArray two = pageBytes(2);
    const QStringList listing = windowsListing();

    if (GetParam() == SaveFault::ReadOnly)
        plat::SetAttr(QStringLiteral("C:\\WINDOWS\\znP1.ini"), plat::vbReadOnly);
    else
        plat::setWriteFailureAfter(0);
    w->Pchange_Click(2);
    plat::setWriteFailureAfter(-1);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.contains(QStringLiteral("znP1.ini"))) << messages()[0].text.toStdString();
    EXPECT_EQ(w->curPage, 1);
    EXPECT_EQ(w->Caption(), QStringLiteral("One"));
    EXPECT_EQ(w->btnCount, 2);
    EXPECT_EQ(w->btnCaption[1], QStringLiteral("changed"));
    ASSERT_EQ(w->btn.size(), 2u);
    EXPECT_TRUE(w->btn[0]->isVisible());
    EXPECT_TRUE(w->btn[1]->isVisible());
    EXPECT_EQ(pageBytes(1), one);
    EXPECT_EQ(pageBytes(2), two);
    EXPECT_EQ(windowsListing(), listing);

    // Once the file can be written again, the switch goes through with the change.
    if (GetParam() == SaveFault::ReadOnly)
        plat::SetAttr(QStringLiteral("C:\\WINDOWS\\znP1.ini"), plat::vbArchive);
    w->Pchange_Click(2);
    EXPECT_EQ(w->curPage, 2);
    EXPECT_TRUE(pageBytes(1).contains("changed"));
}

INSTANTIATE_TEST_SUITE_P(Faults, SwitchSaveFault,
                         ::testing::Values(SaveFault::ReadOnly, SaveFault::DiskFull));

} // namespace
