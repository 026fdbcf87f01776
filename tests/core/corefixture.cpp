#include "corefixture.h"
#include "core/tooltip.h"
#include "platform/codepage.h"
#include <QMenu>

namespace coretest {

QByteArray sjis(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) {
        bool ok = false;
        out += plat::toAnsi(l, &ok);
        EXPECT_TRUE(ok) << "not Shift-JIS: " << l.toStdString();
        out += "\r\n";
    }
    return out;
}

QStringList pageLines(const QString& name, const std::vector<Entry>& entries) {
    if (entries.empty()) return {QStringLiteral("999"), name};
    QStringList lines{QStringLiteral(" %1").arg(entries.size() - 1), name};
    for (const Entry& e : entries)
        lines << e.path << e.iconFile << e.caption << e.iconIndex;
    return lines;
}

void CoreTest::TearDown() {
    plat::setWriteFailureAfter(-1);
    w.reset();
    destroyToolTip();
}

QString CoreTest::windowsFile(const QString& name) const {
    return env->windowsHost() + "/" + name;
}

void CoreTest::writeWindowsFile(const QString& name, const QByteArray& bytes) {
    testenv::writeFile(windowsFile(name), bytes);
}

QByteArray CoreTest::windowsFileBytes(const QString& name) const {
    return testenv::readFile(windowsFile(name));
}

QStringList CoreTest::settings(int pages, int width, int left, long colour, int pointer, int runStyle,
                               int autoHide, int noTips, int extractDir) {
    auto str = [](long long n) { return n < 0 ? QString::number(n) : " " + QString::number(n); };
    return {str(pages),   str(extractDir), str(width),    str(left),  str(colour),
            str(pointer), str(runStyle),   str(autoHide), str(noTips)};
}

QString CoreTest::makeTarget(const QString& win, const QByteArray& bytes) {
    testenv::writeFile(env->host(win), bytes);
    return win;
}

std::vector<Entry> CoreTest::targets(int n) {
    std::vector<Entry> out;
    for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("F%1").arg(i);
        out.push_back({makeTarget("C:\\DATA\\" + name + ".TXT"), name, QString()});
    }
    return out;
}

core::FileZelnori& CoreTest::makeWindow() {
    w = std::make_unique<core::FileZelnori>();
    w->popupHook = [this](QMenu* m) { popups.push_back(m->objectName()); };
    w->onEnd = [this] { ++ended; };
    return *w;
}

bool CoreTest::start() {
    return makeWindow().Form_Load();
}

} // namespace coretest
