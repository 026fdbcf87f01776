// The version box and the help.
#include "core/filezelnori.h"
#include "platform/dialogs.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/help.h"

namespace core {

void FileZelnori::ver_Click() {
    plat::MsgBox(QStringLiteral(" ぬもZelnori Ver.1.40\n\n"
                                "画面の左端にいつもいる、小さなランチャー＆ファイラーです。\n"
                                "ボタンをクリックするとファイルやフォルダを開きます。\n"
                                "ファイルやフォルダをドロップするとボタンになります。"),
                 plat::vbOKOnly | plat::vbInformation, QStringLiteral("バージョン情報"));
}

void FileZelnori::ONHELP_Click() {
    try {
        const QString app = plat::AppPath();
        plat::ChDrive(app.left(2));
        plat::ChDir(app);
    } catch (const plat::RuntimeError&) {
    }
    plat::WinHelp(this, QStringLiteral("ぬもZel.hlp"), plat::HELP_CONTENTS, 0);
}

} // namespace core
