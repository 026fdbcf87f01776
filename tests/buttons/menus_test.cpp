// The three popup menus: their trees, the items switched on and off before the button menu
// opens, the page items of the main menu, and the panel timer around every popup.
#include "core/tooltip.h"
#include "panelfixture.h"
#include "platform/drives.h"
#include "platform/files.h"
#include <QDir>
#include <QFile>
#include <QMenu>
#include <array>
#include <functional>

using namespace btntest;

namespace {

class MenuTest : public PanelTest {};

// One line per item: dots for the depth, the object name, the caption ("-" for a separator).
void flatten(const QMenu* m, int depth, QStringList& out) {
    for (QAction* a : m->actions()) {
        const QString pad(depth, '.');
        out << pad + a->objectName() + " " + (a->isSeparator() ? QStringLiteral("-") : a->text());
        if (a->menu()) flatten(a->menu(), depth + 1, out);
    }
}

QStringList tree(const QMenu* m) {
    QStringList out;
    flatten(m, 0, out);
    return out;
}

TEST_F(MenuTest, MenusHoldTheirItemsInOrder) {
    EXPECT_EQ(w->Rightbot->title(), QStringLiteral("右クリック"));
    EXPECT_EQ(w->Bt->title(), QStringLiteral("Menu"));
    EXPECT_EQ(w->kmenu->title(), QStringLiteral("Menu"));
    EXPECT_EQ(tree(w->Rightbot), QStringList({
                                     "Cbt ボタンの登録",
                                     ".filein ファイル",
                                     ".foldin フォルダ",
                                     "Cnewfile ファイルの新規作成",
                                     "ken1 検索",
                                     "sep1 -",
                                     "irun タスクバーへ登録",
                                     "HELP2 ヘルプ",
                                     ".ONHELP2 ヘルプの表示",
                                     ".ver バージョン情報",
                                     "sep2 -",
                                     "end ぬもZelnoriの終了",
                                     "sep8 -",
                                     "exwin2 Ｗｉｎｄｏｗｓの終了",
                                 }));
    EXPECT_EQ(tree(w->Bt), QStringList({
                               "Gfilecaption ",
                               "sep10 -",
                               "botun ボタン操作",
                               ".filechange ボタンの変更",
                               ".del ボタンの削除",
                               ".Btchange ボタンの入れ替え",
                               ".sep12 -",
                               ".tch ボタン名の変更",
                               ".chico アイコンの変更",
                               "menufile2 ファイラー操作",
                               ".Ccopyfile コピー",
                               ".Cidofile 移動",
                               ".Cdelfile 削除（シュレッダー）",
                               ".rnm 名前の変更",
                               "ken2 検索",
                               "sep9 -",
                               "CViewer クイックビューワ",
                               "kabe 壁紙",
                               ".Ckabe 壁紙の変更",
                               ".Dkabe 壁紙の削除",
                               "SETPRINT プリンタの設定",
                               "CPRINT 印刷",
                               "sep3 -",
                               "Cshortkat ショートカットの作成",
                               "Kzuke 関連付け",
                               "Czoku 属性の変更",
                               "HELP3 ヘルプ",
                               ".ONHELP3 ヘルプの表示",
                               ".ver2 バージョン情報",
                               "sep4 -",
                               "prop プロパティ",
                           }));
    EXPECT_EQ(tree(w->kmenu), QStringList({
                                  "Cbt3 ボタンの登録",
                                  ".filein3 ファイル",
                                  ".foldin3 フォルダ",
                                  "Cnewfile3 ファイルの新規作成",
                                  "ken3 検索",
                                  "sep13 -",
                                  "Mpage ページ",
                                  ".pagein ページの追加",
                                  ".pagech ページを変更",
                                  "..Pchange(1) ページ1",
                                  "..Pchange(2) ページ2",
                                  "..Pchange(3) ページ3",
                                  "..Pchange(4) ページ4",
                                  "..Pchange(5) ページ5",
                                  "..Pchange(6) ページ6",
                                  "..Pchange(7) ページ7",
                                  "..Pchange(8) ページ8",
                                  "..Pchange(9) ページ9",
                                  ".pnchange ページ名の変更",
                                  ".pagedel ページの削除",
                                  "SETEI 設定",
                                  ".conpane コントロールパネル",
                                  ".skof ぬもZelnoriの設定",
                                  "Mwin Ｗｉｎ９５ソフト",
                                  ".fwin ファイル関連",
                                  "..progman プログラムマネージャー",
                                  "..winfile ファイルマネージャー",
                                  "..exp エクスプローラー",
                                  "..MAnotepad メモ帳",
                                  "..MAwrite ワードパッド",
                                  ".dwin ディスク関連",
                                  "..MDdefrag デフラグ",
                                  "..MDdrvspace ドライブスペース",
                                  "..MDscandisk スキャンディスク",
                                  ".awin アクセサリ関連",
                                  "..MAcalc 電卓",
                                  "..MAcdplayer CDプレーヤー",
                                  "..MAmplayer メディアプレーヤー",
                                  "..MApbrush ペイント",
                                  "..MAtaskman タスクリスト",
                                  "..MAdialer ダイヤラー",
                                  "sep5 -",
                                  "orun タスクバーへ登録",
                                  "HELP ヘルプ",
                                  ".ONHELP ヘルプの表示",
                                  ".ver3 バージョン情報",
                                  "sep6 -",
                                  "end3 ぬもZelnoriの終了",
                                  "sep7 -",
                                  "exwin Ｗｉｎｄｏｗｓの終了",
                              }));
}

TEST_F(MenuTest, OnlyWallpaperSecondPagesAndToolsStartDisabled) {
    const QStringList off = {"Ckabe",      "Pchange(2)", "Pchange(3)", "Pchange(4)", "Pchange(5)",
                             "Pchange(6)", "Pchange(7)", "Pchange(8)", "Pchange(9)", "MAnotepad",
                             "MAwrite",    "MDdefrag",   "MDdrvspace", "MDscandisk", "MAcalc",
                             "MAcdplayer", "MAmplayer",  "MApbrush",   "MAtaskman",  "MAdialer"};
    QStringList disabled;
    for (QMenu* m : {w->Rightbot, w->Bt, w->kmenu})
        for (QAction* a : m->findChildren<QAction*>())
            if (!a->isSeparator() && !a->isEnabled() && !a->objectName().isEmpty())
                disabled << a->objectName();
    disabled.removeDuplicates();
    disabled.sort();
    QStringList want = off;
    want.sort();
    EXPECT_EQ(disabled, want);
}

TEST_F(MenuTest, ButtonMenuItemsFollowTheTarget) {
    makeFolder("C:\\DATA\\LOCKED");
    struct Case {
        QString path;
        bool wallpaper, print, associate, shred;
    };
    const Case cases[] = {
        {makeFile("C:\\WINDOWS\\CLOUDS.BMP"), true, false, true, true},
        {makeFile("C:\\DATA\\a.bmp"), true, false, true, true},
        {makeFile("C:\\DATA\\b.Bmp"), false, false, true, true},
        {makeFile("C:\\DATA\\README.TXT"), false, true, true, true},
        {makeFile("C:\\DATA\\setup.Log"), false, true, true, true},
        {makeFile("C:\\DATA\\app.rc"), false, true, true, true},
        {makeFile("C:\\DATA\\xrc"), false, false, true, true},
        {makeFile("C:\\DATA\\MAIN.BAS"), false, true, true, true},
        {makeFile("C:\\DATA\\PIC.GIF"), false, false, true, true},
        {makeFolder("C:\\DATA\\SUB"), false, false, false, false},
        {makeFolder("C:\\DATA\\SUB.TXT"), false, true, false, false},
        {makeFile("C:\\TOOLS\\EDIT.EXE", "MZ"), false, false, false, true},
        {makeFile("C:\\TOOLS\\tool.Exe", "MZ"), false, false, false, true},
        {QStringLiteral("C:\\DATA\\GONE.TXT"), false, true, true, true},
        {QStringLiteral("C:\\DATA\\LOCKED"), false, false, true, true}, // read-only folder: 17
    };
    QFile::setPermissions(env->host("C:\\DATA\\LOCKED"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(plat::GetAttr("C:\\DATA\\LOCKED"), plat::vbDirectory | plat::vbReadOnly);
    for (const Case& c : cases)
        putButton(c.path);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.path.toStdString());
        // Every item starts in the state opposite to the expected one.
        w->Ckabe->setEnabled(!c.wallpaper);
        w->CPRINT->setEnabled(!c.print);
        w->SETPRINT->setEnabled(!c.print);
        w->Kzuke->setEnabled(!c.associate);
        w->Cdelfile->setEnabled(!c.shred);
        popups.clear();
        w->btn_MouseDown(i, core::vbRightButton, 0, 3, 3);
        EXPECT_EQ(popups, std::vector<QString>({"Bt"}));
        EXPECT_EQ(w->selBtn, i);
        EXPECT_EQ(w->Ckabe->isEnabled(), c.wallpaper);
        EXPECT_EQ(w->CPRINT->isEnabled(), c.print);
        EXPECT_EQ(w->SETPRINT->isEnabled(), c.print);
        EXPECT_EQ(w->Kzuke->isEnabled(), c.associate);
        EXPECT_EQ(w->Cdelfile->isEnabled(), c.shred);
        EXPECT_EQ(w->Gfilecaption->text(), w->btnCaption[size_t(i)]);
    }
    QFile::setPermissions(env->host("C:\\DATA\\LOCKED"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(MenuTest, QuickViewerNeedsItsProgramInTheSystemFolder) {
    putButton(makeFile("C:\\DATA\\README.TXT"));
    struct Step {
        const char* what;
        std::function<void()> prepare;
        bool enabled;
    };
    const Step steps[] = {
        {"no viewer", [] {}, false},
        {"viewer folder only", [&] { makeFolder("C:\\WINDOWS\\SYSTEM\\VIEWERS"); }, false},
        {"a folder of the program's name", [&] { makeFolder("C:\\WINDOWS\\SYSTEM\\VIEWERS\\QUIKVIEW.EXE"); },
         false},
        {"viewer present",
         [&] {
             QDir(env->host("C:\\WINDOWS\\SYSTEM\\VIEWERS\\QUIKVIEW.EXE")).removeRecursively();
             makeFile("C:\\WINDOWS\\SYSTEM\\VIEWERS\\QUIKVIEW.EXE", "MZ");
         },
         true},
        {"viewer removed", [&] { QFile::remove(env->host("C:\\WINDOWS\\SYSTEM\\VIEWERS\\QUIKVIEW.EXE")); },
         false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.prepare();
        w->CViewer->setEnabled(!s.enabled);
        w->btn_MouseDown(0, core::vbRightButton, 0, 1, 1);
        EXPECT_EQ(w->CViewer->isEnabled(), s.enabled);
    }
}

TEST_F(MenuTest, LeftPressOnlySelects) {
    for (int i = 0; i < 5; ++i)
        putButton(makeFile(QStringLiteral("C:\\DATA\\F%1.BMP").arg(i)));
    w->Ckabe->setEnabled(false);
    w->Gfilecaption->setText("before");
    ::ShowTip("shown");
    w->btn_MouseDown(4, core::vbLeftButton, 0, 1, 1);
    EXPECT_EQ(w->selBtn, 4);
    EXPECT_TRUE(popups.empty());
    EXPECT_FALSE(w->Ckabe->isEnabled());
    EXPECT_EQ(w->Gfilecaption->text(), QStringLiteral("before"));
    EXPECT_FALSE(::tipWindow()->tmrToolTip->isActive()); // the press hides the tooltip
    w->btn_MouseDown(2, core::vbRightButton, 0, 1, 1);
    EXPECT_EQ(w->selBtn, 2);
    EXPECT_EQ(w->Gfilecaption->text(), QStringLiteral("F2.BMP"));
}

TEST_F(MenuTest, PanelTimerIsStoppedWhileAMenuIsOpen) {
    putButton(makeFile("C:\\DATA\\A.TXT"));
    struct Case {
        const char* what;
        std::function<void()> open;
        const char* menu;
    };
    const Case cases[] = {
        {"button menu", [&] { w->btn_MouseDown(0, core::vbRightButton, 0, 1, 1); }, "Bt"},
        {"main menu", [&] { w->main_Click(); }, "kmenu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w->Timer2->start();
        bool runningInside = true;
        onPopup = [&](QMenu*) { runningInside = w->Timer2->isActive(); };
        popups.clear();
        c.open();
        EXPECT_EQ(popups, std::vector<QString>({c.menu}));
        EXPECT_FALSE(runningInside);
        EXPECT_TRUE(w->Timer2->isActive());
    }
}

TEST_F(MenuTest, MainMenuEnablesThePagesUpToThePageCount) {
    struct Case {
        const char* what;
        std::vector<int> files;
        int pageCount;
        bool before;
        std::array<bool, 10> after; // 1 to 9
    };
    const Case cases[] = {
        {"third file beyond the count, earlier state off",
         {1, 2, 3},
         2,
         false,
         {false, true, true, false, false, false, false, false, false, false}},
        {"third file beyond the count, earlier state on",
         {1, 2, 3},
         2,
         true,
         {false, true, true, true, true, true, true, true, true, true}},
        {"missing file switches its item off",
         {1, 3},
         3,
         true,
         {false, true, false, true, false, false, false, false, false, false}},
        {"gap then a file beyond the count",
         {1, 4},
         2,
         true,
         {false, true, false, false, true, true, true, true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 1; i <= 9; ++i)
            QFile::remove(env->host(QStringLiteral("C:\\WINDOWS\\znP%1.ini").arg(i)));
        for (int i : c.files)
            makeFile(QStringLiteral("C:\\WINDOWS\\znP%1.ini").arg(i), "999\npage\n");
        w->pageCount = c.pageCount;
        for (int i = 1; i <= 9; ++i)
            w->Pchange[size_t(i)]->setEnabled(c.before);
        plat::ChDir("C:\\");
        popups.clear();
        w->main_Click();
        EXPECT_EQ(popups, std::vector<QString>({"kmenu"}));
        for (int i = 1; i <= 9; ++i)
            EXPECT_EQ(w->Pchange[size_t(i)]->isEnabled(), c.after[size_t(i)]) << i;
        EXPECT_EQ(plat::CurDir(), QStringLiteral("C:\\WINDOWS"));
    }
}

TEST_F(MenuTest, TooltipsOfButtonsAndTheMenuButtonFollowTheSetting) {
    putButton(makeFile("C:\\DATA\\A.TXT"), "caption A");
    struct Case {
        int noTips;
        std::function<void()> move;
        QString tip; // empty: no tooltip
    };
    const Case cases[] = {
        {0, [&] { w->btn_MouseMove(0, 0, 0, 1, 1); }, "caption A"},
        {0, [&] { w->main_MouseMove(0, 0, 1, 1); }, QStringLiteral("ボタンの追加、設定、終了など")},
        {1, [&] { w->btn_MouseMove(0, 0, 0, 1, 1); }, QString()},
        {1, [&] { w->main_MouseMove(0, 0, 1, 1); }, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tip.toStdString());
        ::ShowTip(QString());
        ::tipWindow()->lastTip.clear();
        w->optNoTips = c.noTips;
        c.move();
        EXPECT_EQ(::tipWindow()->tmrToolTip->isActive(), !c.tip.isEmpty());
        EXPECT_EQ(::tipWindow()->lastTip, c.tip);
    }
}

} // namespace
