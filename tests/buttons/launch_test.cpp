// A click on a button: the shell opens the target, an "lzh" archive is offered for extraction.
#include "core/tooltip.h"
#include "panelfixture.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace btntest;

namespace {

class LaunchTest : public PanelTest {};

TEST_F(LaunchTest, TextFileOpensWithItsProgramAsDirectoryAndTheRunStyle) {
    const QString target = makeFile("C:\\DATA\\NOTES.TXT", "some text\n");
    putButton(target);
    for (int style : {1, 2, 3}) {
        SCOPED_TRACE(style);
        env->launcher.executed.clear();
        w->optRunStyle = style;
        w->btn_Click(0);
        ASSERT_EQ(env->launcher.executed.size(), 1u);
        const auto& e = env->launcher.executed[0];
        EXPECT_EQ(e.operation, QString());
        EXPECT_EQ(e.file, target);
        EXPECT_EQ(e.parameters, QString());
        EXPECT_EQ(e.directory, fixtureEditor().scriptWin());
        EXPECT_EQ(e.showCmd, style);
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(LaunchTest, TargetsWithoutAProgramGetAnEmptyDirectoryAndNoMessage) {
    struct Case {
        const char* what;
        QString path;
    };
    const Case cases[] = {
        {"folder", makeFolder("C:\\DATA\\SUB")},
        {"unassociated type", makeFile("C:\\DATA\\BLOB.ZQ9", QByteArray("\x00\x01\x02\xff\xfe", 5))},
        {"vanished target", QStringLiteral("C:\\DATA\\GONE.TXT")},
    };
    for (const Case& c : cases)
        putButton(c.path);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].what);
        env->launcher.executed.clear();
        w->btn_Click(i);
        ASSERT_EQ(env->launcher.executed.size(), 1u);
        EXPECT_EQ(env->launcher.executed[0].file, cases[i].path);
        EXPECT_EQ(env->launcher.executed[0].directory, QString());
        EXPECT_EQ(env->launcher.executed[0].showCmd, 1);
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(LaunchTest, OnlyLowerCaseLzhIsOfferedForExtraction) {
    const QString lower = copyArchive("lzh/archives/lhasa/lha213/lh5.lzh", "C:\\DL\\SRC.lzh");
    const QString upper = copyArchive("lzh/archives/lhasa/lha213/lh5.lzh", "C:\\DL\\TOOL.LZH");
    const QString mixed = copyArchive("lzh/archives/lhasa/lha213/lh5.lzh", "C:\\DL\\MIX.Lzh");
    putButton(lower);
    putButton(upper);
    putButton(mixed);

    w->btn_Click(0); // answered No by default
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, QStringLiteral("新しいフォルダ C:\\DL\\SRC を作成し、そこに解凍します"));
    EXPECT_EQ(messages()[0].title, QStringLiteral("圧縮ファイルの解凍確認"));
    EXPECT_EQ(messages()[0].style, plat::vbYesNo | plat::vbQuestion); // not system-modal
    EXPECT_TRUE(env->launcher.executed.empty());
    EXPECT_FALSE(exists("C:\\DL\\SRC"));

    w->btn_Click(1);
    w->btn_Click(2);
    EXPECT_EQ(messages().size(), 1u);
    ASSERT_EQ(env->launcher.executed.size(), 2u);
    EXPECT_EQ(env->launcher.executed[0].file, upper);
    EXPECT_EQ(env->launcher.executed[1].file, mixed);
}

TEST_F(LaunchTest, ClickExtractionIntoAnExistingFolderReportsTheError) {
    const QString arc = copyArchive("lzh/archives/lhasa/lha213/lh5.lzh", "C:\\DL\\SRC.lzh");
    putButton(arc);
    env->dialogs.msgAnswers = {plat::vbYes};
    w->btn_Click(0);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(exists("C:\\DL\\SRC\\GPL-2"));

    env->dialogs.msgAnswers = {plat::vbYes, plat::vbOK};
    w->btn_Click(0);
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[2].text, QStringLiteral("エラーが発生しました"));
    EXPECT_EQ(messages()[2].title, QStringLiteral("エラー"));
    EXPECT_EQ(messages()[2].style, 0);
    EXPECT_TRUE(env->launcher.executed.empty());
}

TEST_F(LaunchTest, FirstItemOfTheButtonMenuLaunchesTheButtonPressed) {
    const QString a = makeFile("C:\\DATA\\A.TXT");
    const QString b = makeFile("C:\\DATA\\B.TXT");
    putButton(a, "first");
    putButton(b, "second");
    w->optRunStyle = 3;
    onPopup = [this](QMenu* m) {
        ASSERT_EQ(m, w->Bt);
        EXPECT_EQ(w->Gfilecaption->text(), QStringLiteral("second"));
        w->Gfilecaption->trigger();
    };
    w->btn_MouseDown(1, core::vbRightButton, 0, 5, 5);
    ASSERT_EQ(env->launcher.executed.size(), 1u);
    EXPECT_EQ(env->launcher.executed[0].file, b);
    EXPECT_EQ(env->launcher.executed[0].directory, fixtureEditor().scriptWin());
    EXPECT_EQ(env->launcher.executed[0].showCmd, 3);
}

TEST_F(LaunchTest, ClickHidesTheTooltip) {
    putButton(makeFile("C:\\DATA\\A.TXT"));
    w->btn_MouseMove(0, 0, 0, 1, 1);
    ASSERT_TRUE(::tipWindow()->tmrToolTip->isActive());
    w->btn_Click(0);
    EXPECT_FALSE(::tipWindow()->tmrToolTip->isActive());
    EXPECT_TRUE(::tipWindow()->isHidden());
}

} // namespace

namespace {

class MouseTest : public PanelTest {};

TEST_F(MouseTest, RealClicksReachTheButtonUnderThePointer) {
    const QString a = makeFile("C:\\DATA\\A.TXT");
    const QString b = makeFile("C:\\DATA\\B.ZQ9", QByteArray("\x00\x01", 2));
    const QString c = makeFolder("C:\\DATA\\C");
    for (const QString& p : {a, b, c})
        w->RegisterFile(p);
    w->btnCaption[2] = QStringLiteral("the folder");
    w->optRunStyle = 2;
    w->show();
    struct Case {
        int index;
        QString directory;
    };
    const Case cases[] = {{2, QString()}, {0, fixtureEditor().scriptWin()}, {1, QString()}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.index);
        env->launcher.executed.clear();
        QTest::mouseClick(w->btn[size_t(k.index)], Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(w->selBtn, k.index);
        ASSERT_EQ(env->launcher.executed.size(), 1u);
        EXPECT_EQ(env->launcher.executed[0].file, w->btnPath[size_t(k.index)]);
        EXPECT_EQ(env->launcher.executed[0].directory, k.directory);
        EXPECT_EQ(env->launcher.executed[0].showCmd, 2);
    }
    EXPECT_TRUE(popups.empty());

    env->launcher.executed.clear();
    QString caption;
    onPopup = [&](QMenu*) { caption = w->Gfilecaption->text(); };
    QTest::mousePress(w->btn[2], Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(w->btn[2], Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(popups, std::vector<QString>({"Bt"}));
    EXPECT_EQ(caption, QStringLiteral("the folder"));
    EXPECT_EQ(w->selBtn, 2);
    EXPECT_TRUE(env->launcher.executed.empty()); // a right press does not launch

    popups.clear();
    QTest::mouseClick(w->main, Qt::LeftButton);
    EXPECT_EQ(popups, std::vector<QString>({"kmenu"}));
}

TEST_F(MouseTest, PointerOverAButtonKeepsItsTooltip) {
    w->RegisterFile(makeFile("C:\\DATA\\A.TXT"));
    w->RegisterFile(makeFile("C:\\DATA\\B.TXT"));
    w->show();
    // A move without a pressed button, as the window system delivers it.
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), w->btn[1]->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->btn[1], &move);
    EXPECT_TRUE(::tipWindow()->tmrToolTip->isActive());
    EXPECT_EQ(::tipWindow()->lastTip, QStringLiteral("B.TXT"));
}

} // namespace
