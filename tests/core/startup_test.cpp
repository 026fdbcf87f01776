// The start of the program on the virtual clock: first-start files, the splash in order, the
// settings, the tool items, page 1 and its vanished targets, the panel's growth, one copy only.
#include "core/cursors.h"
#include "core/splash.h"
#include "corefixture.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/screen.h"
#include <QApplication>
#include <QFile>
#include <QLockFile>
#include <QPointer>
#include <cmath>
#include <gtest/gtest.h>

using coretest::CoreTest;
using coretest::Entry;
using coretest::sjis;

namespace {

// What the splash shows, sampled whenever its progress is set and at every step of a wait.
struct SplashSample {
    QString status; // Label1
    QString note;   // Label3
    int percent;
    double at; // virtual seconds since the start
    bool mainEnabled;
    bool hourglass;
    bool operator==(const SplashSample& o) const {
        return status == o.status && note == o.note && percent == o.percent && mainEnabled == o.mainEnabled &&
               hourglass == o.hourglass;
    }
};

std::ostream& operator<<(std::ostream& os, const SplashSample& s) {
    return os << '{' << s.status.toStdString() << " | " << s.note.toStdString() << " | " << s.percent << "% @"
              << s.at << (s.mainEnabled ? " enabled" : "") << (s.hourglass ? " busy" : "") << '}';
}

class SplashRecorder : public QObject {
  public:
    SplashRecorder(plat::VirtualClock& clock, const std::unique_ptr<core::FileZelnori>& main)
        : clock_(clock), main_(main), t0_(clock.timer()) {
        qApp->installEventFilter(this);
        clock_.onIdle = [this] { sample(); };
    }
    ~SplashRecorder() override {
        clock_.onIdle = nullptr;
        qApp->removeEventFilter(this);
    }
    std::vector<SplashSample> samples; // consecutive repeats merged
    double closedAt = -1;              // virtual seconds since the start when the splash went
    int splashes = 0;
    QRect splashGeometry; // when it was shown
    QWidget* splashOwner = nullptr;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show)
            if (auto* s = qobject_cast<Splash*>(o); s && s != splash_) {
                splash_ = s;
                ++splashes;
                splashGeometry = s->geometry();
                splashOwner = s->parentWidget();
                connect(s->SSPanel1, &ProgressPanel::percentSet, this, [this] { sample(); });
                connect(s, &QObject::destroyed, this, [this] { closedAt = clock_.timer() - t0_; });
            }
        return false;
    }

  private:
    void sample() {
        if (!splash_) return;
        SplashSample s{splash_->Label1->text(),
                       splash_->Label3->text(),
                       splash_->SSPanel1->percent(),
                       clock_.timer() - t0_,
                       main_ && main_->isEnabled(),
                       main_ && main_->testAttribute(Qt::WA_SetCursor) &&
                           main_->cursor().shape() == Qt::WaitCursor};
        if (samples.empty() || !(samples.back() == s)) samples.push_back(s);
    }

    plat::VirtualClock& clock_;
    const std::unique_ptr<core::FileZelnori>& main_;
    double t0_;
    QPointer<Splash> splash_;
};

constexpr double Step = 0.051; // one idle step of the virtual clock, and a little

class StartupTest : public CoreTest {
  protected:
    QByteArray firstPageBytes() const { return sjis({"999", QStringLiteral("ページ１")}); }
};

TEST_F(StartupTest, FirstStartMakesTheTwoFilesAndAnEmptyPanelNamedPageOne) {
    SplashRecorder rec(env->clock, w);
    ASSERT_TRUE(start());
    EXPECT_EQ(windowsFileBytes("zns14.ini"), QByteArray("0\r\n"));
    EXPECT_EQ(windowsFileBytes("znP1.ini"), QByteArray("999\r\n\x83\x79\x81\x5B\x83\x57\x82\x50\r\n"));
    EXPECT_EQ(windowsFileBytes("znP1.ini"), firstPageBytes());

    EXPECT_EQ(w->Width(), 1000);
    EXPECT_EQ(w->width(), plat::twipsToPx(1000));
    EXPECT_EQ(w->Left(), 0);
    EXPECT_EQ(w->Top(), 0);
    EXPECT_EQ(w->height(), 768);
    EXPECT_EQ(w->Caption(), QStringLiteral("ページ１"));
    EXPECT_EQ(w->Pchange[1]->text(), QStringLiteral("ページ１"));
    EXPECT_EQ(w->pageCount, 1);
    EXPECT_EQ(w->curPage, 1);
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_TRUE(w->btn[0]->isHidden());
    EXPECT_EQ(w->optMouseIcon, 1);
    EXPECT_EQ(w->optRunStyle, 1);
    EXPECT_EQ(w->optExtractDir, 0);
    EXPECT_EQ(w->optAutoHide, 0);
    EXPECT_EQ(w->optNoTips, 0);
    EXPECT_EQ(w->BackColor(), 0x800000);
    EXPECT_EQ(w->wdir, "C:\\WINDOWS");
    EXPECT_EQ(w->Ltime->width(), w->ScaleWidth());
    EXPECT_EQ(w->main->width(), w->ScaleWidth());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_NE(w->cursor().shape(), Qt::WaitCursor); // the hourglass is gone
    EXPECT_TRUE(w->Timer2->isActive());
    EXPECT_EQ(w->splash(), nullptr);
    EXPECT_TRUE(env->dialogs.messages.empty());

    // The splash: centred, in front of the panel, two seconds, the last one with "Thanks for waiting.".
    ASSERT_EQ(rec.splashes, 1);
    EXPECT_EQ(rec.splashGeometry.size(), QSize(plat::twipsToPx(4740), plat::twipsToPx(2580)));
    EXPECT_EQ(rec.splashGeometry.topLeft(),
              QPoint((1024 - rec.splashGeometry.width()) / 2, (768 - rec.splashGeometry.height()) / 2));
    EXPECT_EQ(rec.splashOwner, w.get());
    const std::vector<SplashSample> want{
        {"", "Please wait ...", 0, 0, true, true}, // the window is disabled just after
        {"Load in Progress - Filling Backup", "Please wait ...", 0, 0, false, true},
        {"", "Thanks for waiting.", 100, 0, false, true},
    };
    ASSERT_EQ(rec.samples, want);
    EXPECT_NEAR(rec.samples[0].at, 0, 1e-9);
    EXPECT_NEAR(rec.samples[2].at, 1.0, Step);
    EXPECT_NEAR(rec.closedAt, 2.0, 2 * Step);
}

TEST_F(StartupTest, LoadedFirstPageShowsEachCaptionAndItsShareThenWaitsOneSecond) {
    auto entries = targets(4);
    const char* captions[] = {"Alpha", "ベータ", "Gamma, \"3\"", "Delta"};
    for (size_t i = 0; i < 4; ++i)
        entries[i].caption = QString::fromUtf8(captions[i]);
    writeSettings(settings(1, 1200));
    writePage(1, QStringLiteral("仕事"), entries);
    SplashRecorder rec(env->clock, w);
    ASSERT_TRUE(start());

    const QString p = QStringLiteral("Load in Progress - ");
    const std::vector<SplashSample> want{
        {"", "Please wait ...", 0, 0, true, true},
        {p + "Alpha", "Please wait ...", 0, 0, false, true},
        {p + QStringLiteral("ベータ"), "Please wait ...", 33, 0, false, true},
        {p + "Gamma, \"3\"", "Please wait ...", 67, 0, false, true},
        {p + "Delta", "Please wait ...", 100, 0, false, true},
        {"", "Thanks for waiting.", 100, 0, false, true},
    };
    ASSERT_EQ(rec.samples, want);
    EXPECT_NEAR(rec.samples.back().at, 0, 1e-9); // no wait before the end
    EXPECT_NEAR(rec.closedAt, 1.0, 2 * Step);

    EXPECT_EQ(w->btnCount, 4);
    EXPECT_EQ(w->curPage, 1);
    EXPECT_EQ(w->Caption(), QStringLiteral("仕事"));
    EXPECT_EQ(w->Pchange[1]->text(), QStringLiteral("仕事"));
    EXPECT_EQ(w->Width(), 1200);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_NE(w->cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(w->back->width(), w->btn[0]->width() + 13);
    EXPECT_EQ(w->table->width(), w->back->width() - 9);
    EXPECT_EQ(w->VScroll1->x(), w->back->width());
    EXPECT_EQ(w->Ltime->width(), w->ScaleWidth());
    EXPECT_EQ(w->main->width(), w->ScaleWidth());
    for (int k = 0; k < 4; ++k) {
        ASSERT_LT(size_t(k), w->btn.size());
        ASSERT_NE(w->btn[size_t(k)], nullptr);
        EXPECT_TRUE(w->btn[size_t(k)]->isVisible()) << k;
        EXPECT_EQ(w->btn[size_t(k)]->y(), w->btn[0]->y() + k * w->H()) << k;
        EXPECT_EQ(w->btn[size_t(k)]->x(), w->btn[0]->x()) << k;
        EXPECT_EQ(w->btnCaption[size_t(k)], QString::fromUtf8(captions[k]));
        EXPECT_EQ(w->btnPath[size_t(k)], entries[size_t(k)].path);
    }
}

TEST_F(StartupTest, OneButtonPageFillsTheBarAtOnce) {
    writeSettings(settings(1));
    writePage(1, "P", targets(1));
    SplashRecorder rec(env->clock, w);
    ASSERT_TRUE(start());
    ASSERT_GE(rec.samples.size(), 2u);
    EXPECT_EQ(rec.samples[1].status, "Load in Progress - F0");
    EXPECT_EQ(rec.samples[1].percent, 100);
    EXPECT_EQ(w->btnCount, 1);
}

TEST_F(StartupTest, SettingsAreAppliedAndTheLeftEdgeIsPulledBackOntoTheScreen) {
    const int screenTw = 1024 * 15;
    const struct {
        int width, left, wantLeft;
    } cases[] = {
        {1200, 300, 300},
        {1200, 15000, screenTw - 1200},
        {1500, screenTw - 1500, screenTw - 1500}, // right edge on the screen's edge: kept
        {1000, screenTw, screenTw - 1000},
        {700, -300, -300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " " << c.left);
        freshHome();
        writeSettings(settings(3, c.width, c.left, 0x123456, 1, 3, 1, 1, 1));
        writePage(1, "One", targets(1));
        writePage(2, QStringLiteral("二ページ"), {});
        writePage(3, "Three", {});
        ASSERT_TRUE(start());
        EXPECT_EQ(w->Width(), c.width);
        EXPECT_EQ(w->Left(), c.wantLeft);
        EXPECT_EQ(w->BackColor(), 0x123456);
        EXPECT_EQ(w->palette().color(QPalette::Window), QColor(0x56, 0x34, 0x12));
        EXPECT_EQ(w->pageCount, 3);
        EXPECT_EQ(w->optExtractDir, 1);
        EXPECT_EQ(w->optRunStyle, 3);
        EXPECT_EQ(w->optAutoHide, 1);
        EXPECT_EQ(w->optNoTips, 1);
        EXPECT_EQ(w->Pchange[1]->text(), "One");
        EXPECT_EQ(w->Pchange[2]->text(), QStringLiteral("二ページ"));
        EXPECT_EQ(w->Pchange[3]->text(), "Three");
        EXPECT_EQ(w->Pchange[4]->text(), QStringLiteral("ページ4")); // beyond the count: untouched
    }
}

TEST_F(StartupTest, SettingsWhoseFirstLineIsZeroStartLikeTheFirstTime) {
    writeSettings({"0", " 1", " 1400", " 900", " 255", " 2", " 3", " 1", " 1"});
    writePage(1, "Kept", targets(2));
    const QByteArray page = windowsFileBytes("znP1.ini");
    ASSERT_TRUE(start());
    EXPECT_EQ(w->pageCount, 1);
    EXPECT_EQ(w->Width(), 1000);
    EXPECT_EQ(w->Left(), 0);
    EXPECT_EQ(w->BackColor(), 0x800000);
    EXPECT_EQ(w->optExtractDir, 0);
    EXPECT_EQ(w->optAutoHide, 0);
    EXPECT_EQ(w->optNoTips, 0);
    EXPECT_EQ(w->optMouseIcon, 1);
    EXPECT_EQ(w->optRunStyle, 1);
    EXPECT_EQ(w->btnCount, 0);
    EXPECT_TRUE(w->btn[0]->isHidden());
    EXPECT_EQ(w->Caption(), "Kept");
    EXPECT_EQ(windowsFileBytes("znP1.ini"), page); // nothing is made anew
}

TEST_F(StartupTest, MousePointerLineSetsEveryButtonsPointer) {
    const struct {
        int line;
        int optMouseIcon;
        int resource; // 0: a standard shape
        Qt::CursorShape shape;
        bool set;
    } cases[] = {
        {0, 1, 0, Qt::ArrowCursor, false},
        {1, 1, 0, Qt::ArrowCursor, true},
        {2, 2, 2, Qt::BitmapCursor, true},
        {3, 3, 3, Qt::BitmapCursor, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        freshHome();
        writeSettings(settings(1, 1000, 0, 0x800000, c.line));
        writePage(1, "P", targets(3));
        ASSERT_TRUE(start());
        EXPECT_EQ(w->optMouseIcon, c.optMouseIcon);
        ASSERT_EQ(w->btnCount, 3);
        for (int k = 0; k < 3; ++k) {
            const core::PanelButton* b = w->btn[size_t(k)];
            EXPECT_EQ(b->testAttribute(Qt::WA_SetCursor), c.set) << k;
            if (!c.set) continue;
            EXPECT_EQ(b->cursor().shape(), c.shape) << k;
            if (c.resource) {
                EXPECT_EQ(b->cursor().pixmap().toImage(), core::programCursor(c.resource).pixmap().toImage())
                    << k;
            }
        }
    }
    EXPECT_NE(core::programCursor(2).pixmap().toImage(), core::programCursor(3).pixmap().toImage());
}

TEST_F(StartupTest, EmptyFirstPageResetsWidthAndPointerAndStyleButVanishedButtonsDoNot) {
    const struct {
        const char* what;
        bool storedEmpty;
        int width, mouse, style;
        double seconds;
    } cases[] = {
        {"stored as empty", true, 1000, 1, 1, 2.0},
        {"every target gone", false, 1300, 2, 3, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshHome();
        writeSettings(settings(1, 1300, 0, 0x800000, 2, 3));
        if (c.storedEmpty)
            writePage(1, "Leer", {});
        else
            writePage(1, "Leer", {{"C:\\GONE\\A.TXT", "A", ""}, {"C:\\GONE\\B.TXT", "B", ""}});
        const double t0 = env->clock.timer();
        ASSERT_TRUE(start());
        EXPECT_NEAR(env->clock.timer() - t0, c.seconds, 2 * Step);
        EXPECT_EQ(w->Width(), c.width);
        EXPECT_EQ(w->optMouseIcon, c.mouse);
        EXPECT_EQ(w->optRunStyle, c.style);
        EXPECT_EQ(w->Caption(), "Leer");
        EXPECT_EQ(w->btnCount, 0);
        EXPECT_TRUE(w->btn[0]->isHidden());
        EXPECT_EQ(w->btn.size(), 1u);
        EXPECT_FALSE(w->VScroll1->isVisible());
        w->WritePage(1);
        EXPECT_EQ(windowsFileBytes("znP1.ini"), sjis({"999", "Leer"}));
    }
}

TEST_F(StartupTest, MissingTargetsAreDroppedAndTheNextTakesTheirSlot) {
    const QString b = makeTarget("C:\\DATA\\B.TXT");
    const QString d = makeTarget("C:\\DATA\\D");
    const QString hidden = makeTarget("C:\\DATA\\.hidden");
    writeSettings(settings(1, 1100));
    writePage(1, "P",
              {{"C:\\GONE\\A.TXT", "A", ""},
               {b, "B", ""},
               {"C:\\GONE\\C.TXT", "C", ""},
               {"", "empty path", ""},
               {d, "D", ""},
               {hidden, "H", ""}});
    ASSERT_TRUE(start());
    EXPECT_TRUE(env->dialogs.messages.empty());
    ASSERT_EQ(w->btnCount, 3);
    EXPECT_EQ(w->btnPath[0], b);
    EXPECT_EQ(w->btnCaption[0], "B");
    EXPECT_EQ(w->btnPath[1], d);
    EXPECT_EQ(w->btnPath[2], hidden);
    EXPECT_TRUE(w->btn[0]->isVisible());
    ASSERT_EQ(w->btn.size(), 3u);
    for (int k = 1; k < 3; ++k) {
        ASSERT_NE(w->btn[size_t(k)], nullptr);
        EXPECT_TRUE(w->btn[size_t(k)]->isVisible());
        EXPECT_EQ(w->btn[size_t(k)]->y(), w->btn[0]->y() + k * w->H());
    }
    EXPECT_EQ(w->Width(), 1100); // a loaded page keeps the width
    w->WritePage(1);
    EXPECT_EQ(windowsFileBytes("znP1.ini"),
              sjis(coretest::pageLines("P", {{b, "B", ""}, {d, "D", ""}, {hidden, "H", ""}})));
}

TEST_F(StartupTest, FolderTargetsCount) {
    const QString folder = "C:\\DATA\\SUB";
    makeTarget(folder + "\\inside.txt");
    writeSettings(settings(1));
    writePage(1, "P", {{folder, "SUB", ""}});
    ASSERT_TRUE(start());
    EXPECT_EQ(w->btnCount, 1);
}

TEST_F(StartupTest, ToolItemsFollowTheProgramsInTheWindowsFolder) {
    for (const char* name : {"calc.exe", "NOTEPAD.EXE", "Pbrush.exe", "dialer.exe"}) {
        writeWindowsFile(QString::fromLatin1(name), "#!/bin/sh\n");
        QFile::setPermissions(windowsFile(QString::fromLatin1(name)),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QDir().mkpath(windowsFile("write.exe")); // a folder is no program
    writeWindowsFile("defrag.ex", "");       // nor a near name
    ASSERT_TRUE(start());
    const struct {
        QAction* item;
        bool enabled;
    } cases[] = {
        {w->MAcalc, true},      {w->MAnotepad, true},  {w->MApbrush, true},    {w->MAdialer, true},
        {w->MAcdplayer, false}, {w->MDdefrag, false},  {w->MDdrvspace, false}, {w->MAmplayer, false},
        {w->MDscandisk, false}, {w->MAtaskman, false}, {w->MAwrite, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.item->isEnabled(), c.enabled) << c.item->text().toStdString();
    for (QAction* other : {w->progman, w->winfile, w->exp})
        EXPECT_TRUE(other->isEnabled()) << other->text().toStdString();
}

TEST_F(StartupTest, HiddenToolProgramLeavesItsItemDisabled) {
    writeWindowsFile("calc.exe", "#!/bin/sh\n");
    writeWindowsFile("notepad.exe", "#!/bin/sh\n");
    try {
        plat::SetAttr("C:\\WINDOWS\\calc.exe", plat::vbHidden);
    } catch (const plat::RuntimeError& e) {
        GTEST_SKIP() << "no user extended attributes here: " << e.text().toStdString();
    }
    ASSERT_EQ(plat::GetAttr("C:\\WINDOWS\\calc.exe") & plat::vbHidden, plat::vbHidden);
    ASSERT_TRUE(start());
    EXPECT_FALSE(w->MAcalc->isEnabled());
    EXPECT_TRUE(w->MAnotepad->isEnabled());
}

TEST_F(StartupTest, PanelGrowsOnceTheColumnReachesTheBottom) {
    ASSERT_TRUE(start()); // the layout as it stands before any button
    const int H = w->H();
    const int top = w->Ltime->height() + w->main->height();
    const int minHeight = w->ScaleHeight() - top;
    EXPECT_EQ(w->Ltime->pos(), QPoint(0, 0));
    EXPECT_EQ(w->main->pos(), QPoint(0, w->Ltime->height()));
    EXPECT_EQ(w->back->y(), top);
    EXPECT_EQ(w->back->height(), minHeight);
    EXPECT_EQ(w->VScroll1->y(), top);
    EXPECT_EQ(w->VScroll1->height(), minHeight);
    EXPECT_EQ(w->table->height(), minHeight);
    EXPECT_EQ(w->panelMinHeight, minHeight);
    EXPECT_FALSE(w->VScroll1->isVisible());
    EXPECT_EQ(w->VScroll1->maximum(), 0);
    // The first button whose slot reaches the bottom: H * (k + 1) >= the height below the strip.
    const int firstOver = (minHeight + H - 1) / H; // count of buttons at which the bar appears
    w.reset();

    const struct {
        int buttons;
        int overflow; // in buttons
    } cases[] = {{firstOver - 1, 0}, {firstOver, 1}, {firstOver + 2, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        freshHome();
        writeSettings(settings(1));
        writePage(1, "P", targets(c.buttons));
        ASSERT_TRUE(start());
        ASSERT_EQ(w->btnCount, c.buttons);
        EXPECT_EQ(w->VScroll1->isVisible(), c.overflow > 0);
        EXPECT_EQ(w->VScroll1->maximum(), c.overflow * H);
        EXPECT_EQ(w->back->height(), minHeight + c.overflow * H);
        EXPECT_EQ(w->table->height(), w->back->height());
        EXPECT_EQ(w->panelMinHeight, minHeight);
        EXPECT_EQ(w->VScroll1->value(), 0);
        EXPECT_EQ(w->table->y(), 0);
    }
}

TEST_F(StartupTest, DroppedButtonsLeaveNoScrollRangeBehind) {
    makeWindow();
    const int H = w->H();
    const int minHeight = 768 - w->Ltime->height() - w->main->height();
    const int firstOver = (minHeight + H - 1) / H; // buttons at which the bar appears
    w.reset();
    const struct {
        const char* what;
        int entries;
        std::vector<int> missing;
    } cases[] = {
        {"one dropped where the column overflows", firstOver + 4, {firstOver + 1}},
        {"two dropped early, one where it overflows", firstOver + 6, {1, 2, firstOver + 3}},
        {"three dropped early, two at the end", firstOver + 6, {1, 2, 3, firstOver + 4, firstOver + 5}},
        {"dropped ones bring the column back into the window", firstOver + 1, {5, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        freshHome();
        auto entries = targets(c.entries);
        for (int m : c.missing)
            entries[size_t(m)].path = QStringLiteral("C:\\GONE\\%1.TXT").arg(m);
        writeSettings(settings(1));
        writePage(1, "P", entries);
        ASSERT_TRUE(start());
        const int kept = c.entries - int(c.missing.size());
        ASSERT_EQ(w->btnCount, kept);
        const int overflow = std::max(0, kept - firstOver + 1);
        EXPECT_EQ(w->VScroll1->maximum(), overflow * H);
        EXPECT_EQ(w->VScroll1->isVisible(), overflow > 0);
        EXPECT_EQ(w->back->height(), minHeight + overflow * H);
        EXPECT_EQ(w->table->height(), w->back->height());
    }
}

TEST_F(StartupTest, WaitRunsEventsUntilTheTimeHasPassedAlsoOverMidnight) {
    const struct {
        double start, seconds;
    } cases[] = {{12 * 3600.0, 1}, {86399.5, 1}, {86399.99, 0.5}, {100, 0}, {100, 2.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.seconds);
        env->clock.set(c.start);
        bool ran = false;
        QMetaObject::invokeMethod(
            qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
        core::Wait(c.seconds);
        EXPECT_TRUE(ran);
        double passed = env->clock.timer() - c.start;
        if (passed < 0) passed += 86400;
        EXPECT_GE(passed, c.seconds - 1e-9);
        EXPECT_LT(passed, c.seconds + Step);
    }
}

TEST_F(StartupTest, SecondCopyEndsAtOnce) {
    // Another copy holds the lock of this data home.
    QLockFile other(plat::dataHome() + "/zelnori.lock");
    ASSERT_TRUE(other.tryLock(0));
    const double t0 = env->clock.timer();
    makeWindow();
    EXPECT_FALSE(w->Form_Load());
    EXPECT_FALSE(QFile::exists(windowsFile("zns14.ini")));
    EXPECT_EQ(w->splash(), nullptr);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(env->clock.timer(), t0);
    EXPECT_TRUE(env->dialogs.messages.empty());
    w.reset();

    // Once that copy has ended, the next start goes ahead.
    other.unlock();
    ASSERT_TRUE(start());
    EXPECT_TRUE(QFile::exists(windowsFile("zns14.ini")));
}

} // namespace
