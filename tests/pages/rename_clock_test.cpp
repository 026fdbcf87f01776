// Renaming the page on screen, and the clock strip stepping through the pages.
#include "pagesfixture.h"
#include <QTest>

namespace {

using pagetest::ansiLines;
using pagetest::Entry;

class RenamePage : public pagetest::PagesTest {};

TEST_F(RenamePage, AsksWithTheCurrentName) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}});
    writePage(2, "二ページ目");
    start();
    w->Pchange_Click(2);

    w->pnchange_Click();
    ASSERT_EQ(env->dialogs.inputs.size(), 1u);
    EXPECT_EQ(env->dialogs.inputs[0].prompt, QStringLiteral("二ページ目の変更名を入力して下さい"));
    EXPECT_EQ(env->dialogs.inputs[0].title, QStringLiteral("ページ名の変更"));
    EXPECT_EQ(env->dialogs.inputs[0].defaultText, QStringLiteral("二ページ目"));
}

TEST_F(RenamePage, CancelAndEmptyAnswerKeepTheName) {
    writeSettings(1);
    writePage(1, "One", {{"a.txt"}});
    start();
    env->dialogs.inputAnswers.push_back(std::nullopt);
    env->dialogs.inputAnswers.push_back(QString());

    w->pnchange_Click();
    w->pnchange_Click();
    EXPECT_EQ(env->dialogs.inputs.size(), 2u);
    EXPECT_EQ(w->Caption(), QStringLiteral("One"));
    EXPECT_EQ(menuCaption(1), QStringLiteral("One"));
}

TEST_F(RenamePage, NewNameShowsAtOnceAndReachesTheFileWhenThePageIsLeft) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}});
    writePage(2, "Two");
    start();
    const QByteArray before = pageBytes(1);
    const QString name = QStringLiteral("仕事, \"急ぎ\"");
    env->dialogs.inputAnswers.push_back(name);

    w->pnchange_Click();
    EXPECT_EQ(w->Caption(), name);
    EXPECT_EQ(menuCaption(1), name);
    EXPECT_EQ(menuCaption(2), QStringLiteral("Two"));
    EXPECT_EQ(pageBytes(1), before);

    w->Pchange_Click(2);
    EXPECT_EQ(pageBytes(1), ansiLines({" 0", name, "C:\\DATA\\a.txt", "C:\\DATA\\a.txt", "a.txt", " 0"}));
    w->Pchange_Click(1);
    EXPECT_EQ(w->Caption(), name);
}

TEST_F(RenamePage, NameOutsideTheCodePageSurvivesASave) {
    writeSettings(2);
    writePage(1, "One", {{"a.txt"}});
    writePage(2, "Two");
    start();
    const QString name = QStringLiteral("Ünïcødé ✓ 한국어");
    env->dialogs.inputAnswers.push_back(name);
    w->pnchange_Click();

    w->Pchange_Click(2);
    w->Pchange_Click(1);
    EXPECT_EQ(w->Caption(), name);
    EXPECT_EQ(menuCaption(1), name);
    EXPECT_EQ(w->btnPath[0], QStringLiteral("C:\\DATA\\a.txt"));
}

// The clock strip: a left press shows the next page, a right press the one before, round the
// ends; with one page neither does anything.
struct ClockCase {
    int pages;
    int button;
    std::vector<int> shown; // pages on screen after each press
};

class ClockStrip : public pagetest::PagesTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(ClockStrip, StepsThroughThePages) {
    const ClockCase& c = GetParam();
    writeSettings(c.pages);
    for (int n = 1; n <= c.pages; ++n)
        writePage(n, QStringLiteral("P%1").arg(n), {{QStringLiteral("%1.txt").arg(n)}});
    start();
    const QByteArray one = pageBytes(1);
    const QDateTime oneTime = pageTime(1);

    std::vector<int> shown;
    for (size_t i = 0; i < c.shown.size(); ++i) {
        w->Ltime_MouseDown(c.button, 0, 5, 5);
        shown.push_back(w->curPage);
        EXPECT_EQ(w->Caption(), QStringLiteral("P%1").arg(w->curPage));
        EXPECT_EQ(w->btnPath[0], QStringLiteral("C:\\DATA\\%1.txt").arg(w->curPage));
    }
    EXPECT_EQ(shown, c.shown);
    if (c.pages == 1) {
        EXPECT_EQ(pageBytes(1), one);
        EXPECT_EQ(pageTime(1), oneTime);
    }
}

INSTANTIATE_TEST_SUITE_P(Presses, ClockStrip,
                         ::testing::Values(ClockCase{3, 1, {2, 3, 1}}, ClockCase{3, 2, {3, 2, 1}},
                                           ClockCase{1, 1, {1, 1}}, ClockCase{1, 2, {1, 1}},
                                           ClockCase{2, 1, {2, 1, 2}}));

class ClockStripMouse : public pagetest::PagesTest {};

TEST_F(ClockStripMouse, PressesSwitch) {
    writeSettings(2);
    writePage(1, "P1", {{"1.txt"}});
    writePage(2, "P2");
    start();

    QTest::mouseClick(w->Ltime, Qt::LeftButton);
    EXPECT_EQ(w->curPage, 2);
    QTest::mouseClick(w->Ltime, Qt::RightButton);
    EXPECT_EQ(w->curPage, 1);
    QTest::mouseClick(w->Ltime, Qt::MiddleButton);
    EXPECT_EQ(w->curPage, 1);
}

} // namespace
