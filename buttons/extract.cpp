// Offering an LZH archive for extraction: into a new folder named after the archive, or into
// a folder the user types.
#include "core/filezelnori.h"
#include "core/tooltip.h"
#include "platform/archive.h"
#include "platform/dialogs.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace core {

namespace {
// The archive library's command line: x -a1 "archive" "destination\".
QString unlhaCommand(const QString& archive, const QString& dest) {
    return QStringLiteral(" x -a1 \"%1\" \"%2\"").arg(archive, dest);
}
} // namespace

void FileZelnori::ExtractArchive(const QString& path, ExtractVariant variant, plat::HDROP drop) {
    const bool systemModal = variant == ExtractVariant::Register || variant == ExtractVariant::Drop;
    const int style = plat::vbYesNo | plat::vbQuestion | (systemModal ? plat::vbSystemModal : 0);
    auto release = [&] {
        if (variant == ExtractVariant::Drop && drop) plat::DragFinish(drop);
    };
    try {
        ShowTip(QString());
        QString dest;
        if (optExtractDir == 0) {
            const int dot = path.indexOf('.');
            const QString folder = dot < 0 ? path : path.left(dot);
            const int answer = plat::MsgBox(QStringLiteral("新しいフォルダ ") + folder +
                                                QStringLiteral(" を作成し、そこに解凍します"),
                                            style, QStringLiteral("圧縮ファイルの解凍確認"));
            if (answer != plat::vbYes) {
                release();
                return;
            }
            dest = folder + "\\";
            plat::MkDir(dest);
        } else {
            dest = plat::InputBox(QStringLiteral("解凍先のパスを入力して下さい"),
                                  QStringLiteral("ファイルの解凍"), plat::CurDir());
            if (dest.isEmpty()) {
                release();
                return;
            }
            if (!dest.endsWith('\\')) dest += '\\';
            if (!plat::FolderExists(dest)) plat::MkDir(dest);
        }
        // The launcher does not look at the status; the library tells the user itself.
        if (plat::Unlha(unlhaCommand(path, dest)) != 0)
            plat::MsgBox(QStringLiteral("解凍できませんでした。\n") + plat::lastUnlhaError(),
                         plat::vbOKOnly | plat::vbExclamation, QStringLiteral("UNLHA32.DLL"));
        release();
    } catch (const plat::RuntimeError&) {
        release();
        if (variant == ExtractVariant::Click) throw; // the click reports it
    }
}

} // namespace core
