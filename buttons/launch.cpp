// A left click on a button opens its target through the shell; an "lzh" archive is offered for
// extraction instead.
#include "core/filezelnori.h"
#include "core/tooltip.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/shell.h"

namespace core {

void FileZelnori::btn_Click(int index) {
    try {
        ShowTip(QString());
        const QString path = btnPath[size_t(index)];
        if (path.right(3) == QLatin1String("lzh")) {
            ExtractArchive(path, ExtractVariant::Click);
            return;
        }
        const QString program = plat::FindExecutable(path);
        plat::launcher().shellExecute(QString(), path, QString(), program, optRunStyle);
    } catch (const plat::RuntimeError&) {
        plat::MsgBox(QStringLiteral("エラーが発生しました"), plat::vbOKOnly, QStringLiteral("エラー"));
    }
}

void FileZelnori::Gfilecaption_Click() {
    btn_Click(selBtn);
}

} // namespace core
