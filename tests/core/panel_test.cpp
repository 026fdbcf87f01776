// The panel after the start: shrinking, scrolling, the panel timer, auto-hide, the mouse on the
// panel's surfaces, the clock strip's page cycling and the end of the program.
#include "core/tooltip.h"
#include "corefixture.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/screen.h"
#include "platform/session.h"
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using coretest::CoreTest;
using coretest::sjis;

namespace {

class PanelTest : public CoreTest {
  protected:
    // A started panel with n buttons on page 1.
    void startWith(int n) {
        writeSettings(settings(1));
        writePage(1, "P", targets(n));
        ASSERT_TRUE(start());
        ASSERT_EQ(w->btnCount, n);
    }
    // A tooltip that is on screen.
    static void showTip(const QString& text) {
        ShowTip(text);
        tipWindow()->tmrToolTip_Timer();
        ASSERT_TRUE(tipWindow()->isVisible());
    }
    static bool tipOnScreen() { return tipWindow()->isVisible() && tipWindow()->tipShown == -1; }
};

TEST_F(PanelTest, ShrinkingNeverGoesBelowTheStartHeightAndHidesTheBarAtZero) {
    ASSERT_TRUE(start()); // empty page: nothing overflows
    const int minHeight = w->panelMinHeight;
    for (int e : {0, 5, 30}) {
        SCOPED_TRACE(e);
        w->ShrinkPanel(e);
        EXPECT_EQ(w->back->height(), minHeight);
        EXPECT_EQ(w->table->height(), minHeight);
        EXPECT_FALSE(w->VScroll1->isVisible());
        EXPECT_EQ(w->VScroll1->maximum(), 0);
        EXPECT_EQ(w->VScroll1->minimum(), 0);
        EXPECT_EQ(w->VScroll1->value(), 0);
        EXPECT_EQ(w->table->pos(), QPoint(2, 0));
    }
    // Growing afterwards starts again from a clean bar.
    w->GrowPanel();
    EXPECT_EQ(w->VScroll1->minimum(), 0);
    EXPECT_EQ(w->VScroll1->maximum(), w->H());
    EXPECT_EQ(w->VScroll1->value(), 0);
    EXPECT_EQ(w->table->y(), 0);
}

TEST_F(PanelTest, ShrinkingKeepsTheScrollValueWithinTheNewMaximum) {
    // The viewport's height below the clock strip and the menu button, on the 768-pixel screen.
    makeWindow();
    const int H = w->H();
    const int minHeight = 768 - w->Ltime->height() - w->main->height();
    w.reset();
    // Enough buttons for three of them to overflow.
    const int n = (minHeight + H - 1) / H + 2;
    startWith(n);
    ASSERT_EQ(w->panelMinHeight, minHeight);
    ASSERT_EQ(w->VScroll1->maximum(), 3 * H);

    w->VScroll1->setValue(3 * H);
    EXPECT_EQ(w->table->y(), -3 * H);
    struct Step {
        int e;        // entry removed
        int max;      // in H
        int value;    // in H
        bool visible; // the bar
    };
    const Step steps[] = {
        {n - 1, 2, 2, true}, {n - 2, 1, 1, true}, {n - 3, 0, 0, false}, {n - 4, 0, 0, false}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.e);
        w->UnloadButton(s.e);
        w->ShrinkPanel(s.e);
        EXPECT_EQ(w->VScroll1->maximum(), s.max * H);
        EXPECT_EQ(w->VScroll1->minimum(), 0);
        EXPECT_EQ(w->VScroll1->value(), s.value * H);
        EXPECT_EQ(w->table->y(), -s.value * H);
        EXPECT_EQ(w->back->height(), minHeight + s.max * H);
        EXPECT_EQ(w->table->height(), w->back->height());
        EXPECT_EQ(w->VScroll1->isVisible(), s.visible);
    }
}

TEST_F(PanelTest, ScrollBarMovesTheTableByItsValue) {
    ASSERT_TRUE(start());
    for (int i = 0; i < 3; ++i)
        w->GrowPanel();
    const int max = 3 * w->H();
    EXPECT_EQ(w->VScroll1->singleStep(), 40);
    EXPECT_EQ(w->VScroll1->pageStep(), 40);

    // A click on the arrow and on the track: 40 pixels each.
    w->VScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w->table->pos(), QPoint(2, -40));
    w->VScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(w->table->pos(), QPoint(2, -80));
    w->VScroll1->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(w->table->pos(), QPoint(2, -max));
    w->VScroll1->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(w->table->pos(), QPoint(2, -(max - 40)));

    // Dragging the thumb acts the same as the change.
    for (int v : {0, 17, max}) {
        SCOPED_TRACE(v);
        w->VScroll1->blockSignals(true);
        w->VScroll1->setValue(v);
        w->VScroll1->blockSignals(false);
        w->table->move(5, 5);
        w->VScroll1_Scroll();
        EXPECT_EQ(w->table->pos(), QPoint(2, -v));
        w->table->move(5, 5);
        w->VScroll1_Change();
        EXPECT_EQ(w->table->pos(), QPoint(2, -v));
    }
}

TEST_F(PanelTest, PanelTimerPinsTheWindowAndShowsTheTime) {
    writeSettings(settings(1, 1200, 9000));
    writePage(1, "P", targets(1));
    ASSERT_TRUE(start());
    EXPECT_EQ(w->Left(), 9000); // as saved, until the first tick
    w->setTop(1500);
    env->clock.set(13 * 3600 + 45 * 60 + 7.4);
    w->Timer2_Timer();
    EXPECT_EQ(w->Left(), 0);
    EXPECT_EQ(w->Top(), 0);
    EXPECT_EQ(w->pos(), QPoint(0, 0));
    EXPECT_EQ(w->Ltime->text(), "13:45:07");
    env->clock.advance(60);
    w->Timer2_Timer();
    EXPECT_EQ(w->Ltime->text(), "13:46:07");
    EXPECT_EQ(w->Timer2->interval(), 100);
}

TEST_F(PanelTest, AutoHideAtTwiceThePanelWidthAndBackAtTheLeftEdge) {
    ASSERT_TRUE(start());
    // The right edge used by auto-hide: inner width + viewport + scroll bar.
    const int far = w->ScaleWidth() + w->back->width() + w->VScroll1->width();
    const struct {
        int autoHide;
        bool shownBefore;
        int x;
        bool shownAfter;
    } cases[] = {
        {1, true, far, true}, {1, true, far + 1, false}, {1, false, far + 1, false}, {1, false, 1, false},
        {1, false, 0, true},  {1, true, 0, true},        {0, true, far + 500, true}, {0, false, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "autoHide " << c.autoHide << " x " << c.x << " shown " << c.shownBefore);
        w->optAutoHide = c.autoHide;
        w->setVisible(c.shownBefore);
        plat::setCursorPosOverride(QPoint(c.x, 300));
        w->Timer2_Timer();
        EXPECT_EQ(w->isVisible(), c.shownAfter);
    }
}

TEST_F(PanelTest, TooltipGoesWhenThePointerLeavesThePanelUnlessTipsAreOff) {
    ASSERT_TRUE(start());
    const int edge = w->back->width() + w->VScroll1->width();
    const struct {
        int noTips;
        int x;
        bool stays;
    } cases[] = {{0, edge, true}, {0, edge + 1, false}, {0, 900, false}, {1, edge + 1, true}, {1, 900, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "noTips " << c.noTips << " x " << c.x);
        w->optNoTips = c.noTips;
        plat::setCursorPosOverride(QPoint(c.x, 300));
        showTip("caption");
        w->Timer2_Timer();
        EXPECT_EQ(tipOnScreen(), c.stays);
    }
}

TEST_F(PanelTest, PointerOverThePanelSurfacesHidesTheTooltip) {
    ASSERT_TRUE(start());
    using Handler = void (core::FileZelnori::*)(int, int, int, int);
    const struct {
        const char* what;
        Handler handler;
        int noTips;
        bool stays;
    } cases[] = {
        {"window", &core::FileZelnori::Form_MouseMove, 0, false},
        {"window", &core::FileZelnori::Form_MouseMove, 1, false},
        {"back", &core::FileZelnori::back_MouseMove, 0, false},
        {"back", &core::FileZelnori::back_MouseMove, 1, false},
        {"table", &core::FileZelnori::table_MouseMove, 0, false},
        {"table", &core::FileZelnori::table_MouseMove, 1, false},
        {"clock strip", &core::FileZelnori::Ltime_MouseMove, 0, false},
        {"clock strip", &core::FileZelnori::Ltime_MouseMove, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << " noTips " << c.noTips);
        w->optNoTips = c.noTips;
        showTip("caption");
        (w.get()->*c.handler)(0, 0, 3, 3);
        EXPECT_EQ(tipOnScreen(), c.stays);
    }
}

TEST_F(PanelTest, RightClicksOnThePanelSurfacesPopUpTheirMenus) {
    ASSERT_TRUE(start());
    using Handler = void (core::FileZelnori::*)(int, int, int, int);
    bool timerDuringMenu = true;
    w->popupHook = [&](QMenu* m) {
        popups.push_back(m->objectName());
        timerDuringMenu = w->Timer2->isActive();
    };
    const struct {
        const char* what;
        Handler handler;
        int button;
        const char* menu; // nullptr: none
    } cases[] = {
        {"window", &core::FileZelnori::Form_MouseDown, 2, "Rightbot"},
        {"window", &core::FileZelnori::Form_MouseDown, 1, nullptr},
        {"back", &core::FileZelnori::back_MouseDown, 2, "kmenu"},
        {"back", &core::FileZelnori::back_MouseDown, 1, nullptr},
        {"table", &core::FileZelnori::table_MouseDown, 2, "Rightbot"},
        {"table", &core::FileZelnori::table_MouseDown, 1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << " button " << c.button);
        popups.clear();
        (w.get()->*c.handler)(c.button, 0, 3, 3);
        if (c.menu)
            EXPECT_EQ(popups, std::vector<QString>{QString::fromLatin1(c.menu)});
        else
            EXPECT_TRUE(popups.empty());
        EXPECT_TRUE(w->Timer2->isActive());
    }
    // The window's own menu runs with the panel timer off, and the tooltip goes first.
    showTip("caption");
    w->Form_MouseDown(2, 0, 3, 3);
    EXPECT_FALSE(timerDuringMenu);
    EXPECT_FALSE(tipOnScreen());
}

TEST_F(PanelTest, MousePressesStayWithTheControlUnderThePointer) {
    startWith(1);
    struct Case {
        const char* what;
        QWidget* widget;
        Qt::MouseButton button;
        std::vector<QString> menus;
    };
    const Case cases[] = {
        {"right on a button", w->btn[0], Qt::RightButton, {"Bt"}},
        {"right on the menu button", w->main, Qt::RightButton, {}},
        {"right on the clock strip", w->Ltime, Qt::RightButton, {}},
        {"right on the table", w->table, Qt::RightButton, {"Rightbot"}},
        {"right on the viewport", w->back, Qt::RightButton, {"kmenu"}},
        {"right on the window", w.get(), Qt::RightButton, {"Rightbot"}},
        {"left on the table", w->table, Qt::LeftButton, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        popups.clear();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), c.widget->mapToGlobal(QPointF(3, 3)),
                          c.button, c.button, Qt::NoModifier);
        QApplication::sendEvent(c.widget, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), c.widget->mapToGlobal(QPointF(3, 3)),
                            c.button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(c.widget, &release);
        EXPECT_EQ(popups, c.menus);
    }
    EXPECT_EQ(w->curPage, 1);
    EXPECT_TRUE(env->launcher.executed.empty());
}

TEST_F(PanelTest, ClockStripCyclesThroughThePages) {
    writeSettings(settings(3));
    writePage(1, "P1", targets(1));
    writePage(2, "P2", {});
    writePage(3, "P3", {});
    ASSERT_TRUE(start());
    const struct {
        int button;
        std::vector<int> pages;
    } cases[] = {{1, {2, 3, 1}}, {2, {3, 2, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        for (int want : c.pages) {
            w->Ltime_MouseDown(c.button, 0, 3, 3);
            EXPECT_EQ(w->curPage, want);
            EXPECT_EQ(w->Caption(), QStringLiteral("P%1").arg(want));
        }
    }
    EXPECT_EQ(w->btnCount, 1); // page 1 came back with its button
    EXPECT_TRUE(env->dialogs.messages.empty());
}

TEST_F(PanelTest, ClockStripWithOnePageChangesNothing) {
    startWith(2);
    const QByteArray page = windowsFileBytes("znP1.ini");
    for (int button : {1, 2}) {
        w->Ltime_MouseDown(button, 0, 3, 3);
        EXPECT_EQ(w->curPage, 1);
        EXPECT_EQ(w->btnCount, 2);
    }
    EXPECT_EQ(windowsFileBytes("znP1.ini"), page);
}

TEST_F(PanelTest, EveryWayToEndWritesTheSettingsAndThePageOnScreen) {
    const struct {
        const char* what;
        void (*end)(core::FileZelnori&);
    } cases[] = {
        {"right-click menu", [](core::FileZelnori& f) { f.end_Click(); }},
        {"main menu", [](core::FileZelnori& f) { f.end3_Click(); }},
        {"closing the window", [](core::FileZelnori& f) { f.close(); }},
        {"menu item", [](core::FileZelnori& f) { f.end3->trigger(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshHome();
        writeSettings(settings(2, 1200, 300, 0x123456, 2, 3, 1, 1, 1));
        auto entries = targets(2);
        writePage(1, "One", entries);
        writePage(2, "Two", {});
        ASSERT_TRUE(start());
        w->btnCaption[1] = QStringLiteral("新しい名前");
        w->setBackColor(0x00FF00);
        c.end(*w);
        EXPECT_EQ(ended, 1);
        EXPECT_TRUE(env->dialogs.messages.empty());
        EXPECT_EQ(windowsFileBytes("zns14.ini"),
                  sjis({" 2", " 1", " 1200", " 300", " 65280", " 2", " 3", " 1", " 1"}));
        entries[1].caption = QStringLiteral("新しい名前");
        EXPECT_EQ(windowsFileBytes("znP1.ini"), sjis(coretest::pageLines("One", entries)));
        EXPECT_FALSE(w->Timer2->isActive());
    }
}

TEST_F(PanelTest, EndOnAnotherPageWritesThatPage) {
    writeSettings(settings(2, 1200));
    writePage(1, "One", targets(1));
    writePage(2, "Two", {});
    ASSERT_TRUE(start());
    w->Ltime_MouseDown(1, 0, 3, 3);
    ASSERT_EQ(w->curPage, 2);
    w->setCaption(QStringLiteral("二"));
    const QByteArray page1 = windowsFileBytes("znP1.ini");
    w->end3_Click();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(windowsFileBytes("znP2.ini"), sjis({"999", QStringLiteral("二")}));
    EXPECT_EQ(windowsFileBytes("znP1.ini"), page1);
    // An empty page on screen sets the width and the pointer and launch style back.
    EXPECT_EQ(windowsFileBytes("zns14.ini"),
              sjis({" 2", " 0", " 1000", " 0", " 8388608", " 1", " 1", " 0", " 0"}));
}

TEST_F(PanelTest, FailedSaveAsksWhetherToEnd) {
    const struct {
        const char* what;
        int answer;
        bool ends;
    } cases[] = {{"Yes ends", plat::vbYes, true}, {"No keeps the program", plat::vbNo, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshHome();
        startWith(1);
        plat::setWriteFailureAfter(0);
        env->dialogs.msgAnswers = {plat::vbOK, c.answer};
        w->close();
        plat::setWriteFailureAfter(-1);
        ASSERT_EQ(env->dialogs.messages.size(), 2u);
        EXPECT_EQ(env->dialogs.messages[0].style & 0xF0, plat::vbCritical);
        EXPECT_TRUE(env->dialogs.messages[0].text.contains("zns14.ini"));
        EXPECT_EQ(env->dialogs.messages[1].text,
                  QStringLiteral("変更は保存されていません。このまま終了しますか"));
        EXPECT_EQ(env->dialogs.messages[1].style & 0xFF, plat::vbYesNo | plat::vbQuestion);
        EXPECT_EQ(ended, c.ends ? 1 : 0);
        EXPECT_EQ(w->isVisible(), !c.ends);
        if (!c.ends) {
            // Still running: a later end that can save does so.
            EXPECT_TRUE(w->Timer2->isActive());
            w->end_Click();
            EXPECT_EQ(ended, 1);
            EXPECT_EQ(windowsFileBytes("zns14.ini").left(3), QByteArray(" 1\r"));
        }
    }
}

TEST_F(PanelTest, FailedSaveFromOutsideIsReportedAndEnds) {
    startWith(1);
    plat::setWriteFailureAfter(0);
    EXPECT_TRUE(w->Form_Unload(false));
    plat::setWriteFailureAfter(-1);
    ASSERT_EQ(env->dialogs.messages.size(), 1u);
    EXPECT_EQ(env->dialogs.messages[0].style & 0xF0, plat::vbCritical);
    EXPECT_EQ(ended, 1);
}

TEST_F(PanelTest, ReadOnlyWindowsFolderStopsTheEndUntilConfirmed) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not stop writes";
    startWith(1);
    const QString dir = env->windowsHost();
    const QFile::Permissions before = QFile::permissions(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                   QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
    const QByteArray settingsBefore = windowsFileBytes("zns14.ini");
    env->dialogs.msgAnswers = {plat::vbOK, plat::vbNo};
    w->end_Click();
    QFile::setPermissions(dir, before);
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(windowsFileBytes("zns14.ini"), settingsBefore);
    ASSERT_EQ(env->dialogs.messages.size(), 2u);
    EXPECT_TRUE(env->dialogs.messages[0].text.contains("C:\\WINDOWS\\zns14.ini"));
}

TEST_F(PanelTest, TerminationSignalSavesBothFiles) {
    writeSettings(settings(1, 1300));
    auto entries = targets(1);
    writePage(1, "One", entries);
    ASSERT_TRUE(start());
    w->btnCaption[0] = "renamed";
    w->optNoTips = 1;
    plat::onExternalEnd([this] { w->Form_Unload(false); });
    std::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended != 0; }));
    plat::onExternalEnd(nullptr);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(windowsFileBytes("zns14.ini"),
              sjis({" 1", " 0", " 1300", " 0", " 8388608", " 1", " 1", " 0", " 1"}));
    entries[0].caption = "renamed";
    EXPECT_EQ(windowsFileBytes("znP1.ini"), sjis(coretest::pageLines("One", entries)));
    EXPECT_TRUE(env->dialogs.messages.empty());
}

} // namespace
