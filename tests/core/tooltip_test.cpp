// The tooltip box: its states, where the tick puts it, its text, its callers on the panel and
// that it never takes the focus.
#include "core/tooltip.h"
#include "corefixture.h"
#include "platform/screen.h"
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using coretest::CoreTest;

namespace {

class ToolTipTest : public CoreTest {
  protected:
    frmToolTip& tip() { return *tipWindow(); }
    enum class State { Hidden, Pending, Shown };
    State state() {
        frmToolTip& t = tip();
        if (!t.tmrToolTip->isActive()) {
            EXPECT_EQ(t.tipShown, 0);
            EXPECT_FALSE(t.isVisible());
            return State::Hidden;
        }
        return t.tipShown == -1 ? State::Shown : State::Pending;
    }
    void pointerAt(int x, int y) { plat::setCursorPosOverride(QPoint(x, y)); }
};

TEST_F(ToolTipTest, StatesFollowTheTextsAsked) {
    EXPECT_EQ(state(), State::Hidden);
    ShowTip("first");
    EXPECT_EQ(state(), State::Pending);
    EXPECT_FALSE(tip().isVisible());
    EXPECT_EQ(tip().tmrToolTip->interval(), 50);

    tip().tmrToolTip_Timer();
    EXPECT_EQ(state(), State::Shown);
    EXPECT_TRUE(tip().isVisible());
    const QRect first = tip().geometry();

    // The same text again: the box stays where it is, also after further ticks.
    pointerAt(100, 100);
    ShowTip("first");
    EXPECT_EQ(state(), State::Shown);
    tip().tmrToolTip_Timer();
    EXPECT_EQ(tip().geometry(), first);

    // A new text: pending again, shown at the pointer on the next tick.
    ShowTip("second");
    EXPECT_EQ(state(), State::Pending);
    tip().tmrToolTip_Timer();
    EXPECT_EQ(state(), State::Shown);
    EXPECT_NE(tip().geometry().topLeft(), first.topLeft());
    EXPECT_EQ(tip().shownText(), " second  ");

    // The empty text hides from any state.
    ShowTip("");
    EXPECT_EQ(state(), State::Hidden);
    ShowTip("third");
    ShowTip(QString());
    EXPECT_EQ(state(), State::Hidden);

    // Once hidden, the same text shows the box again.
    ShowTip("fourth");
    tip().tmrToolTip_Timer();
    ShowTip("");
    ShowTip("fourth");
    EXPECT_EQ(state(), State::Pending);
    tip().tmrToolTip_Timer();
    EXPECT_EQ(state(), State::Shown);
    EXPECT_TRUE(tip().isVisible());
}

TEST_F(ToolTipTest, BoxHiddenWhileItsTickDrawsComesBackForTheSameText) {
    ShowTip("caption");
    // The tick lets pending events run while the box is being shown; one of them hides it.
    QMetaObject::invokeMethod(
        qApp, [] { ShowTip(""); }, Qt::QueuedConnection);
    tip().tmrToolTip_Timer();
    EXPECT_FALSE(tip().isVisible());
    EXPECT_FALSE(tip().tmrToolTip->isActive());
    ShowTip("caption");
    EXPECT_EQ(state(), State::Pending);
    tip().tmrToolTip_Timer();
    EXPECT_EQ(state(), State::Shown);
    EXPECT_TRUE(tip().isVisible());
}

TEST_F(ToolTipTest, TimerTickShowsThePendingBox) {
    ShowTip("from the timer");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tip().tipShown == -1; }));
    EXPECT_EQ(state(), State::Shown);
    EXPECT_EQ(tip().shownText(), " from the timer  ");
}

TEST_F(ToolTipTest, BoxSitsOneHeightBelowThePointerAndATenthOfItsWidthLeft) {
    const QPoint points[] = {{500, 400}, {0, 0}, {1020, 760}};
    for (const QPoint& p : points) {
        SCOPED_TRACE(testing::Message() << p.x() << "," << p.y());
        ShowTip("");
        pointerAt(p.x(), p.y());
        ShowTip(QStringLiteral("キャプション %1").arg(p.x()));
        tip().tmrToolTip_Timer();
        const QRect pic = tip().picToolTip->geometry();
        EXPECT_EQ(pic.topLeft(), QPoint(0, 0));
        ASSERT_GT(pic.width(), 0);
        ASSERT_GT(pic.height(), 0);
        const QRect box = tip().geometry();
        EXPECT_EQ(box.size(), pic.size());
        EXPECT_NEAR(box.left(), p.x() - 0.1 * pic.width(), 1.0);
        EXPECT_EQ(box.top(), p.y() + pic.height());
        // Near the edges nothing is pulled back onto the screen.
        if (p.x() > 1000) {
            EXPECT_GT(box.right(), 1023);
        }
    }
}

TEST_F(ToolTipTest, TextIsPaddedWithOneBlankBeforeAndTwoAfter) {
    const struct {
        QString asked, shown;
    } cases[] = {
        {"abc", " abc  "},
        {"  abc   ", " abc  "},
        {"a b", " a b  "},
        {"   ", "   "},
        {QStringLiteral("メモ帳"), QStringLiteral(" メモ帳  ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked.toStdString());
        ShowTip("");
        ShowTip(c.asked);
        tip().tmrToolTip_Timer();
        EXPECT_EQ(tip().shownText(), c.shown);
        EXPECT_EQ(frmToolTip::paddedText(c.asked), c.shown);
    }
    EXPECT_EQ(frmToolTip::paddedText(""), "   ");
    // A longer text makes a wider box.
    ShowTip("");
    ShowTip("x");
    tip().tmrToolTip_Timer();
    const int narrow = tip().width();
    ShowTip("a much longer caption");
    tip().tmrToolTip_Timer();
    EXPECT_GT(tip().width(), narrow);
}

TEST_F(ToolTipTest, ButtonsAndTheMenuButtonAskForTipsOnlyWhenTipsAreOn) {
    writeSettings(settings(1));
    auto entries = targets(2);
    entries[0].caption = QStringLiteral("ぬもメモ");
    entries[1].caption = "  ";
    writePage(1, "P", entries);
    ASSERT_TRUE(start());
    struct Case {
        const char* what;
        std::function<void()> move;
        QString shown; // padded
    };
    const Case cases[] = {
        {"button 0", [&] { w->btn_MouseMove(0, 0, 0, 5, 5); }, QStringLiteral(" ぬもメモ  ")},
        {"button with a blank caption", [&] { w->btn_MouseMove(1, 0, 0, 5, 5); }, "   "},
        {"menu button", [&] { w->main_MouseMove(0, 0, 5, 5); },
         QStringLiteral(" ボタンの追加、設定、終了など  ")},
    };
    for (int noTips : {0, 1}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << " noTips " << noTips);
            ShowTip("");
            w->optNoTips = noTips;
            c.move();
            if (noTips) {
                EXPECT_EQ(state(), State::Hidden);
                continue;
            }
            EXPECT_EQ(state(), State::Pending);
            tip().tmrToolTip_Timer();
            EXPECT_EQ(state(), State::Shown);
            EXPECT_EQ(tip().shownText(), c.shown);
        }
    }
}

TEST_F(ToolTipTest, RealPointerMovesOverAButtonReachTheTooltip) {
    writeSettings(settings(1));
    writePage(1, "P", targets(1));
    ASSERT_TRUE(start());
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->btn[0], &move);
    EXPECT_EQ(state(), State::Pending);
    EXPECT_EQ(tip().tipText, "F0");
    QApplication::sendEvent(w->main, &move);
    EXPECT_EQ(state(), State::Pending);
    EXPECT_EQ(tip().tipText, QStringLiteral("ボタンの追加、設定、終了など"));
    tip().tmrToolTip_Timer();
    EXPECT_EQ(state(), State::Shown);
}

TEST_F(ToolTipTest, ShowingTheBoxDoesNotTakeTheFocus) {
    ASSERT_TRUE(start());
    w->activateWindow();
    QApplication::processEvents();
    QWidget* before = QApplication::activeWindow();
    EXPECT_TRUE(tip().testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(tip().windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(tip().focusPolicy(), Qt::NoFocus);
    ShowTip("caption");
    tip().tmrToolTip_Timer();
    QApplication::processEvents();
    EXPECT_TRUE(tip().isVisible());
    EXPECT_NE(QApplication::activeWindow(), &tip());
    EXPECT_EQ(QApplication::activeWindow(), before);
}

TEST_F(ToolTipTest, BoxIsPaleYellowWithABlackFrame) {
    ShowTip("frame");
    tip().tmrToolTip_Timer();
    const QImage img = tip().picToolTip->grab().toImage();
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(Qt::black));
    EXPECT_EQ(QColor(img.pixel(img.width() - 1, img.height() - 1)), QColor(Qt::black));
    EXPECT_EQ(QColor(img.pixel(1, img.height() / 2)), QColor(255, 255, 192));
}

} // namespace
