// The help viewer shows the help file, and reports a missing one in its own window.
#include "platform/drives.h"
#include "platform/help.h"
#include "support/testenv.h"
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTextBrowser>
#include <QWidget>

namespace {

class HelpTest : public testenv::EnvTest {
  protected:
    void TearDown() override { delete plat::helpViewer(); }

    QString shownText() {
        QWidget* viewer = plat::helpViewer();
        if (!viewer) return {};
        auto* text = viewer->findChild<QTextBrowser*>();
        return text ? text->toPlainText() : QString();
    }
};

TEST_F(HelpTest, OpensTheHelpFileOfTheCurrentFolder) {
    // The help shipped with the program, under its own name, beside a program folder.
    const QByteArray help =
        testenv::readFile(QStringLiteral(ZELNORI_SOURCE_DIR) + "/resources/help/zelhelp.html");
    ASSERT_FALSE(help.isEmpty());
    testenv::writeFile(env->host("C:\\PROG\\ぬもZel.hlp"), help);
    plat::ChDrive("C");
    plat::ChDir("C:\\PROG");

    EXPECT_NE(plat::WinHelp(nullptr, "ぬもZel.hlp", plat::HELP_CONTENTS, 0), 0);
    QWidget* viewer = plat::helpViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "ぬもZelnori ヘルプ");
    const QString text = shownText();
    EXPECT_TRUE(text.contains("ぬもZelnori Ver.1.40 ヘルプ")) << text.left(200).toStdString();
    for (const char* topic : {"ぬもメニュ", "ページの追加", "LZH", "zns14.ini", "タスクバーへ登録"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
    }
    EXPECT_FALSE(text.contains("<h1>")); // shown as a page, not as source
    EXPECT_TRUE(env->dialogs.messages.empty());

    // Asking again uses the same window.
    plat::WinHelp(nullptr, "C:\\PROG\\ぬもZel.hlp", plat::HELP_CONTENTS, 0);
    EXPECT_EQ(plat::helpViewer(), viewer);
}

TEST_F(HelpTest, MissingFileIsReportedByTheViewerNotByAMessageBox) {
    QDir().mkpath(env->host("C:\\EMPTY"));
    plat::ChDrive("C");
    plat::ChDir("C:\\EMPTY");
    EXPECT_NE(plat::WinHelp(nullptr, "ぬもZel.hlp", plat::HELP_CONTENTS, 0), 0);
    ASSERT_NE(plat::helpViewer(), nullptr);
    EXPECT_TRUE(plat::helpViewer()->isVisible());
    const QString text = shownText();
    EXPECT_TRUE(text.contains("見つかりません")) << text.toStdString();
    EXPECT_TRUE(text.contains("ぬもZel.hlp"));
    EXPECT_TRUE(env->dialogs.messages.empty());
}

TEST_F(HelpTest, QuitClosesTheViewer) {
    testenv::writeFile(env->host("C:\\PROG\\h.hlp"), "<html><body><p>x</p></body></html>");
    plat::WinHelp(nullptr, "C:\\PROG\\h.hlp", plat::HELP_CONTENTS, 0);
    ASSERT_NE(plat::helpViewer(), nullptr);
    plat::WinHelp(nullptr, "C:\\PROG\\h.hlp", plat::HELP_QUIT, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(plat::helpViewer(), nullptr);
}

} // namespace
