// The version box and the help from each of their menus; the data files still go to the
// Windows folder after the help has made the program's folder current.
#include "corefixture.h"
#include "platform/dialogs.h"
#include "platform/drives.h"
#include "platform/help.h"
#include <QAction>
#include <gtest/gtest.h>

using coretest::CoreTest;
using coretest::sjis;

namespace {

class AboutTest : public CoreTest {};

TEST_F(AboutTest, VersionBoxFromEveryMenuBeginsWithABlank) {
    ASSERT_TRUE(start());
    for (QAction* item : {w->ver, w->ver2, w->ver3}) {
        SCOPED_TRACE(item->objectName().toStdString());
        env->dialogs.messages.clear();
        item->trigger();
        ASSERT_EQ(env->dialogs.messages.size(), 1u);
        const auto& m = env->dialogs.messages[0];
        EXPECT_TRUE(m.text.startsWith(QStringLiteral(" ぬもZelnori Ver.1.40"))) << m.text.toStdString();
        EXPECT_EQ(m.title, QStringLiteral("バージョン情報"));
        EXPECT_EQ(m.style & 7, plat::vbOKOnly);
    }
}

TEST_F(AboutTest, HelpFromEveryMenuLeavesTheDataFilesInTheWindowsFolder) {
    writeSettings(settings(1, 1200));
    auto entries = targets(1);
    writePage(1, "One", entries);
    ASSERT_TRUE(start());
    for (QAction* item : {w->ONHELP, w->ONHELP2, w->ONHELP3}) {
        SCOPED_TRACE(item->objectName().toStdString());
        item->trigger();
        QWidget* viewer = plat::helpViewer();
        ASSERT_NE(viewer, nullptr);
        viewer->close();
    }
    EXPECT_NE(plat::CurDir(), QStringLiteral("C:\\WINDOWS")); // the program's folder is current now
    w->btnCaption[0] = "after help";
    w->end_Click();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(windowsFileBytes("zns14.ini"),
              sjis({" 1", " 0", " 1200", " 0", " 8388608", " 1", " 1", " 0", " 0"}));
    entries[0].caption = "after help";
    EXPECT_EQ(windowsFileBytes("znP1.ini"), sjis(coretest::pageLines("One", entries)));
}

} // namespace
