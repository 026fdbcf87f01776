// The three popup menus of the panel: Rightbot (the panel surface), Bt (a button) and kmenu
// (the menu button). Items whose work is not done by this program yet are present and do nothing.
#include "core/filezelnori.h"
#include <QMenu>

namespace core {

namespace {
QAction* item(QMenu* m, const char* name, const QString& caption) {
    QAction* a = m->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}
QMenu* submenu(QMenu* m, const char* name, const QString& caption) {
    QMenu* s = m->addMenu(caption);
    s->setObjectName(QString::fromLatin1(name));
    s->menuAction()->setObjectName(QString::fromLatin1(name));
    return s;
}
} // namespace

void FileZelnori::createMenus() {
    // Panel menu.
    Rightbot = new QMenu(QStringLiteral("右クリック"), this);
    Rightbot->setObjectName("Rightbot");
    QMenu* Cbt = submenu(Rightbot, "Cbt", "ボタンの登録");
    filein = item(Cbt, "filein", "ファイル");
    foldin = item(Cbt, "foldin", "フォルダ");
    Cnewfile = item(Rightbot, "Cnewfile", "ファイルの新規作成");
    ken1 = item(Rightbot, "ken1", "検索");
    Rightbot->addSeparator()->setObjectName("sep1");
    irun = item(Rightbot, "irun", "タスクバーへ登録");
    QMenu* HELP2 = submenu(Rightbot, "HELP2", "ヘルプ");
    ONHELP2 = item(HELP2, "ONHELP2", "ヘルプの表示");
    ver = item(HELP2, "ver", "バージョン情報");
    Rightbot->addSeparator()->setObjectName("sep2");
    end = item(Rightbot, "end", "ぬもZelnoriの終了");
    Rightbot->addSeparator()->setObjectName("sep8");
    exwin2 = item(Rightbot, "exwin2", "Ｗｉｎｄｏｗｓの終了");

    // Button menu.
    Bt = new QMenu(QStringLiteral("Menu"), this);
    Bt->setObjectName("Bt");
    Gfilecaption = item(Bt, "Gfilecaption", QString());
    Bt->addSeparator()->setObjectName("sep10");
    QMenu* botun = submenu(Bt, "botun", "ボタン操作");
    filechange = item(botun, "filechange", "ボタンの変更");
    del = item(botun, "del", "ボタンの削除");
    Btchange = item(botun, "Btchange", "ボタンの入れ替え");
    botun->addSeparator()->setObjectName("sep12");
    tch = item(botun, "tch", "ボタン名の変更");
    chico = item(botun, "chico", "アイコンの変更");
    QMenu* menufile2 = submenu(Bt, "menufile2", "ファイラー操作");
    Ccopyfile = item(menufile2, "Ccopyfile", "コピー");
    Cidofile = item(menufile2, "Cidofile", "移動");
    Cdelfile = item(menufile2, "Cdelfile", "削除（シュレッダー）");
    rnm = item(menufile2, "rnm", "名前の変更");
    ken2 = item(Bt, "ken2", "検索");
    Bt->addSeparator()->setObjectName("sep9");
    CViewer = item(Bt, "CViewer", "クイックビューワ");
    QMenu* kabe = submenu(Bt, "kabe", "壁紙");
    Ckabe = item(kabe, "Ckabe", "壁紙の変更");
    Dkabe = item(kabe, "Dkabe", "壁紙の削除");
    SETPRINT = item(Bt, "SETPRINT", "プリンタの設定");
    CPRINT = item(Bt, "CPRINT", "印刷");
    Bt->addSeparator()->setObjectName("sep3");
    Cshortkat = item(Bt, "Cshortkat", "ショートカットの作成");
    Kzuke = item(Bt, "Kzuke", "関連付け");
    Czoku = item(Bt, "Czoku", "属性の変更");
    QMenu* HELP3 = submenu(Bt, "HELP3", "ヘルプ");
    ONHELP3 = item(HELP3, "ONHELP3", "ヘルプの表示");
    ver2 = item(HELP3, "ver2", "バージョン情報");
    Bt->addSeparator()->setObjectName("sep4");
    prop = item(Bt, "prop", "プロパティ");

    // Main menu.
    kmenu = new QMenu(QStringLiteral("Menu"), this);
    kmenu->setObjectName("kmenu");
    QMenu* Cbt3 = submenu(kmenu, "Cbt3", "ボタンの登録");
    filein3 = item(Cbt3, "filein3", "ファイル");
    foldin3 = item(Cbt3, "foldin3", "フォルダ");
    Cnewfile3 = item(kmenu, "Cnewfile3", "ファイルの新規作成");
    ken3 = item(kmenu, "ken3", "検索");
    kmenu->addSeparator()->setObjectName("sep13");
    QMenu* Mpage = submenu(kmenu, "Mpage", "ページ");
    pagein = item(Mpage, "pagein", "ページの追加");
    QMenu* pagech = submenu(Mpage, "pagech", "ページを変更");
    for (int i = 1; i <= 9; ++i) {
        Pchange[size_t(i)] = pagech->addAction(QStringLiteral("ページ%1").arg(i));
        Pchange[size_t(i)]->setObjectName(QStringLiteral("Pchange(%1)").arg(i));
        Pchange[size_t(i)]->setEnabled(i == 1);
        connect(Pchange[size_t(i)], &QAction::triggered, this, [this, i] { Pchange_Click(i); });
    }
    pnchange = item(Mpage, "pnchange", "ページ名の変更");
    pagedel = item(Mpage, "pagedel", "ページの削除");
    QMenu* SETEI = submenu(kmenu, "SETEI", "設定");
    conpane = item(SETEI, "conpane", "コントロールパネル");
    skof = item(SETEI, "skof", "ぬもZelnoriの設定");
    QMenu* Mwin = submenu(kmenu, "Mwin", "Ｗｉｎ９５ソフト");
    QMenu* fwin = submenu(Mwin, "fwin", "ファイル関連");
    progman = item(fwin, "progman", "プログラムマネージャー");
    winfile = item(fwin, "winfile", "ファイルマネージャー");
    exp = item(fwin, "exp", "エクスプローラー");
    MAnotepad = item(fwin, "MAnotepad", "メモ帳");
    MAwrite = item(fwin, "MAwrite", "ワードパッド");
    QMenu* dwin = submenu(Mwin, "dwin", "ディスク関連");
    MDdefrag = item(dwin, "MDdefrag", "デフラグ");
    MDdrvspace = item(dwin, "MDdrvspace", "ドライブスペース");
    MDscandisk = item(dwin, "MDscandisk", "スキャンディスク");
    QMenu* awin = submenu(Mwin, "awin", "アクセサリ関連");
    MAcalc = item(awin, "MAcalc", "電卓");
    MAcdplayer = item(awin, "MAcdplayer", "CDプレーヤー");
    MAmplayer = item(awin, "MAmplayer", "メディアプレーヤー");
    MApbrush = item(awin, "MApbrush", "ペイント");
    MAtaskman = item(awin, "MAtaskman", "タスクリスト");
    MAdialer = item(awin, "MAdialer", "ダイヤラー");
    kmenu->addSeparator()->setObjectName("sep5");
    orun = item(kmenu, "orun", "タスクバーへ登録");
    QMenu* HELP = submenu(kmenu, "HELP", "ヘルプ");
    ONHELP = item(HELP, "ONHELP", "ヘルプの表示");
    ver3 = item(HELP, "ver3", "バージョン情報");
    kmenu->addSeparator()->setObjectName("sep6");
    end3 = item(kmenu, "end3", "ぬもZelnoriの終了");
    kmenu->addSeparator()->setObjectName("sep7");
    exwin = item(kmenu, "exwin", "Ｗｉｎｄｏｗｓの終了");

    // Disabled when the window is made.
    Ckabe->setEnabled(false);
    for (QAction* a : {MAnotepad, MAwrite, MDdefrag, MDdrvspace, MDscandisk, MAcalc, MAcdplayer, MAmplayer,
                       MApbrush, MAtaskman, MAdialer})
        a->setEnabled(false);

    // Items handled by this program.
    connect(filein, &QAction::triggered, this, [this] { filein_Click(); });
    connect(filein3, &QAction::triggered, this, [this] { filein_Click(); });
    connect(foldin, &QAction::triggered, this, [this] { foldin_Click(); });
    connect(foldin3, &QAction::triggered, this, [this] { foldin_Click(); });
    connect(ONHELP, &QAction::triggered, this, [this] { ONHELP_Click(); });
    connect(ONHELP2, &QAction::triggered, this, [this] { ONHELP_Click(); });
    connect(ONHELP3, &QAction::triggered, this, [this] { ONHELP_Click(); });
    connect(ver, &QAction::triggered, this, [this] { ver_Click(); });
    connect(ver2, &QAction::triggered, this, [this] { ver_Click(); });
    connect(ver3, &QAction::triggered, this, [this] { ver_Click(); });
    connect(end, &QAction::triggered, this, [this] { end_Click(); });
    connect(end3, &QAction::triggered, this, [this] { end3_Click(); });
    connect(Gfilecaption, &QAction::triggered, this, [this] { Gfilecaption_Click(); });
    connect(pagein, &QAction::triggered, this, [this] { pagein_Click(); });
    connect(pnchange, &QAction::triggered, this, [this] { pnchange_Click(); });
    connect(pagedel, &QAction::triggered, this, [this] { pagedel_Click(); });
}

} // namespace core
