#include "errors.h"
#include <cerrno>

namespace plat {

QString errorText(int number) {
    switch (number) {
    case ErrInvalidCall: return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
    case ErrBadFileNameOrNumber: return QStringLiteral("ファイル名または番号が不正です。");
    case ErrFileNotFound: return QStringLiteral("ファイルが見つかりません。");
    case ErrFileAlreadyExists: return QStringLiteral("既に同名のファイルが存在しています。");
    case ErrDiskFull: return QStringLiteral("ディスクの空き容量が不足しています。");
    case ErrInputPastEnd: return QStringLiteral("ファイルの終わりを超えて入力しようとしました。");
    case ErrBadFileName: return QStringLiteral("ファイル名が不正です。");
    case ErrDeviceUnavailable: return QStringLiteral("デバイスが準備されていません。");
    case ErrPermissionDenied: return QStringLiteral("書き込みできません。");
    case ErrPathFileAccess: return QStringLiteral("パス名またはファイル名が無効です。");
    case ErrPathNotFound: return QStringLiteral("パスが見つかりません。");
    default: return QStringLiteral("エラーが発生しました。");
    }
}

[[noreturn]] void raise(int number, const QString& what) {
    QString text = errorText(number);
    if (!what.isEmpty()) text += QStringLiteral("（%1）").arg(what);
    throw RuntimeError(number, text);
}

void raiseFromErrno(int err, const QString& what) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: raise(ErrDiskFull, what);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: raise(ErrPermissionDenied, what);
    case ENOENT: raise(ErrFileNotFound, what);
    case ENOTDIR: raise(ErrPathNotFound, what);
    case EEXIST:
    case ENOTEMPTY: raise(ErrPathFileAccess, what);
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ: raise(ErrBadFileName, what);
    case ENODEV:
    case ENXIO:
    case EIO: raise(ErrDeviceUnavailable, what);
    default: raise(ErrPathFileAccess, what);
    }
}

} // namespace plat
