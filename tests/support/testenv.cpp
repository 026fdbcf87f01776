#include "testenv.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/screen.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testenv {

QString fixture(const QString& relative) {
    return QDir::cleanPath(QStringLiteral(ZELNORI_FIXTURES_DIR) + "/" + relative);
}

void writeFile(const QString& hostPath, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(hostPath).absolutePath());
    QFile f(hostPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << hostPath.toStdString();
    f.write(bytes);
}

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const plat::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

QByteArray readFile(const QString& hostPath) {
    QFile f(hostPath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

Env::Env() {
    plat::setDataHome(dir_.path());
    plat::ensureDataHome();
    plat::resetCurrentDirs();
    plat::setDialogs(&dialogs);
    plat::setLauncher(&launcher);
    plat::setClock(&clock);
    plat::setScreenSizeOverride(QSize(1024, 768));
    plat::setCursorPosOverride(QPoint(500, 400));
}

Env::~Env() {
    plat::setDialogs(nullptr);
    plat::setLauncher(nullptr);
    plat::setClock(nullptr);
    plat::setScreenSizeOverride(std::nullopt);
    plat::setCursorPosOverride(std::nullopt);
    plat::resetCurrentDirs();
}

QString Env::windowsHost() const {
    return plat::hostPath(QStringLiteral("C:\\WINDOWS"));
}
QString Env::host(const QString& winPath) const {
    return plat::hostPath(winPath);
}

} // namespace testenv
