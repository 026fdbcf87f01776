// Opening the popup menus: the button menu with its items enabled by the kind of target, the
// main menu with the items of the pages that exist.
#include "core/filezelnori.h"
#include "core/tooltip.h"
#include "platform/errors.h"
#include "platform/files.h"
#include <QMenu>

namespace core {

void FileZelnori::btn_MouseDown(int index, int button, int, int, int) {
    ShowTip(QString());
    selBtn = index;
    if (button != vbRightButton) return;
    const QString p = btnPath[size_t(selBtn)];
    const QString tail = p.right(3);
    const QString lower = tail.toLower();
    Ckabe->setEnabled(tail == QLatin1String("bmp") || tail == QLatin1String("BMP"));
    CViewer->setEnabled(plat::DirExists(sdir + QStringLiteral("\\VIEWERS\\QUIKVIEW.EXE"), 46));
    static const QStringList printable = {"txt", "doc", "ini", "sys", "inf",
                                          "log", "wri", "frm", "bas", ".rc"};
    const bool canPrint = printable.contains(lower);
    CPRINT->setEnabled(canPrint);
    SETPRINT->setEnabled(canPrint);
    const int a = plat::GetAttrOr(p, plat::vbArchive); // a target that vanished counts as a plain file
    Kzuke->setEnabled(!(a == plat::vbDirectory || lower == QLatin1String("exe")));
    Cdelfile->setEnabled(a != plat::vbDirectory);
    Gfilecaption->setText(btnCaption[size_t(selBtn)]);
    Timer2->stop();
    PopupMenu(Bt);
    Timer2->start();
}

void FileZelnori::btn_MouseMove(int index, int, int, int, int) {
    if (optNoTips == 0) ShowTip(btnCaption[size_t(index)]);
}

void FileZelnori::main_MouseMove(int, int, int, int) {
    if (optNoTips == 0) ShowTip(QStringLiteral("ボタンの追加、設定、終了など"));
}

void FileZelnori::main_Click() {
    ShowTip(QString());
    try {
        MakeWindowsDirCurrent();
        for (int i = 1; i <= 9; ++i) {
            if (plat::DirExists(pageFileName(i), 46)) {
                if (i > pageCount) break;
                Pchange[size_t(i)]->setEnabled(true);
            } else {
                Pchange[size_t(i)]->setEnabled(false);
            }
        }
    } catch (const plat::RuntimeError&) {
    }
    Timer2->stop();
    PopupMenu(kmenu);
    Timer2->start();
}

} // namespace core
