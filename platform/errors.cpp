#include "errors.h"
#include <cerrno>

namespace plat {

QString errorText(int number) {
    switch (number) {
    case ErrInvalidCall:
        return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
    case ErrBadFileNameOrNumber:
        return QStringLiteral("ファイル名または番号が不正です。");
    case ErrFileNotFound:
        return QStringLiteral("ファイルが見つかりません。");
    case ErrFileAlreadyExists:
        return QStringLiteral("既に同名のファイルが存在しています。");
    case ErrDiskFull:
        return QStringLiteral("ディスクの空き容量が不足しています。");
    case ErrInputPastEnd:
        return QStringLiteral("ファイルの終わりを超えて入力しようとしました。");
    case ErrBadFileName:
        return QStringLiteral("ファイル名が不正です。");
    case ErrDeviceUnavailable:
        return QStringLiteral("デバイスが準備されていません。");
    case ErrPermissionDenied:
        return QStringLiteral("書き込みできません。");
    case ErrPathFileAccess:
        return QStringLiteral("パス名またはファイル名が無効です。");
    case ErrPathNotFound:
        return QStringLiteral("パスが見つかりません。");
    default:
        return QStringLiteral("エラーが発生しました。");
    }
}

RuntimeError makeError(int number, const QString& what) {
    QString text = errorText(number);
    if (!what.isEmpty()) text += QStringLiteral("（%1）").arg(what);
    return RuntimeError(number, text);
}

void raise(int number, const QString& what) {
    throw makeError(number, what);
}

int errorNumberFromErrno(int err, ErrnoUse use) {
    const bool path = use == ErrnoUse::Path;
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return path ? ErrPathFileAccess : ErrPermissionDenied;
    case ENOENT:
        return path ? ErrPathNotFound : ErrFileNotFound;
    case ENOTDIR:
        return ErrPathNotFound;
    case EEXIST:
        return path ? ErrPathFileAccess : ErrFileAlreadyExists;
    case EBUSY:
    case ENOTEMPTY:
    case EISDIR:
    case EXDEV:
    case ELOOP:
        return ErrPathFileAccess;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return ErrBadFileName;
    case ENODEV:
    case ENXIO:
    case EIO:
    case ENOMEDIUM:
        return ErrDeviceUnavailable;
    default:
        return ErrPathFileAccess;
    }
}

void raiseFromErrno(int err, const QString& what) {
    raise(errorNumberFromErrno(err), what);
}

void raiseFromErrno(int err, const QString& what, ErrnoUse use) {
    raise(errorNumberFromErrno(err, use), what);
}

} // namespace plat
