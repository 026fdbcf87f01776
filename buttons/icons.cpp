// Button faces: the icon of the target, of the program that opens it, or of the shell icon
// library, drawn into the 36 x 36 scratch picture and handed to the button.
#include "platform/icons.h"
#include "core/filezelnori.h"
#include "platform/shell.h"
#include <QPainter>

namespace core {

namespace {
QString shellLibrary(const QString& wdir) {
    return wdir + QStringLiteral("\\system\\shell32.dll");
}
} // namespace

void FileZelnori::clearPic1() {
    pic1.fill(Qt::transparent);
}

void FileZelnori::drawPic1(plat::HICON h) {
    if (h <= 1) return;
    QPainter p(&pic1);
    plat::DrawIcon(p, 0, 0, h);
}

void FileZelnori::transferPicture(int k) {
    pic2 = QPixmap::fromImage(pic1);
    if (size_t(k) < btn.size() && btn[size_t(k)]) btn[size_t(k)]->setPicture(pic2);
}

void FileZelnori::restoreButtonIcon(int i) {
    const plat::HICON h = plat::ExtractIcon(btnIconFile[size_t(i)], btnIconIndex[size_t(i)]);
    clearPic1();
    drawPic1(h);
    transferPicture(i);
    if (h > 1) plat::DestroyIcon(h);
}

void FileZelnori::SetButtonIcon(const QString& path) {
    const int k = btnCount;
    const QString program = plat::FindExecutable(path);
    plat::HICON h = program.isEmpty() ? 0 : plat::ExtractIcon(program, 0);
    btnIconFile[size_t(k)] = program;
    btnIconIndex[size_t(k)] = 0;
    clearPic1();
    if (h < 1) {
        const QString tail = path.right(3);
        if (tail == QLatin1String("lnk") || tail == QLatin1String("LNK")) {
            h = plat::ExtractIcon(shellLibrary(wdir), 29);
            btnIconFile[size_t(k)] = shellLibrary(wdir);
            btnIconIndex[size_t(k)] = 29;
        } else {
            h = plat::ExtractIcon(shellLibrary(wdir), 0);
            btnIconFile[size_t(k)] = shellLibrary(wdir);
        }
    }
    drawPic1(h);
    transferPicture(k);
    if (h > 1) plat::DestroyIcon(h);
}

} // namespace core
