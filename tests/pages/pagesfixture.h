#pragma once
// A data home with pages prepared byte by byte, and the main window started on it.
#include "core/filezelnori.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "support/testenv.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <ostream>
#include <vector>

// Readable failure output for Qt's strings.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}

namespace pagetest {

// Lines as the data files hold them: system code page, each line ended by CR LF.
inline QByteArray ansiLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += plat::toAnsi(l) + "\r\n";
    return out;
}

// One button of a prepared page: its target is made under C:\DATA unless it is to be missing.
struct Entry {
    QString name;
    bool exists = true;
};

class PagesTest : public testenv::EnvTest {
  protected:
    std::unique_ptr<core::FileZelnori> w;

    ~PagesTest() override { plat::setWriteFailureAfter(-1); }

    QString windowsFile(const QString& name) const { return env->windowsHost() + "/" + name; }
    QString pageHost(int n) const { return windowsFile(QStringLiteral("znP%1.ini").arg(n)); }

    // Windows path of a target under C:\DATA; the file is made when it is to exist.
    QString target(const QString& name, bool exists = true) const {
        const QString win = QStringLiteral("C:\\DATA\\") + name;
        if (exists) testenv::writeFile(env->host(win), "data");
        return win;
    }

    // The lines of a page file: "999" and the name when it has no buttons, else the highest
    // index and the name, then target, icon file, caption and icon index per button.
    QStringList pageLines(const QString& name, const std::vector<Entry>& entries) const {
        if (entries.empty()) return {QStringLiteral("999"), name};
        QStringList lines{QStringLiteral(" %1").arg(entries.size() - 1), name};
        for (const Entry& e : entries) {
            const QString path = target(e.name, e.exists);
            lines << path << path << e.name << QStringLiteral(" 0");
        }
        return lines;
    }

    void writePage(int n, const QString& name, const std::vector<Entry>& entries = {}) const {
        testenv::writeFile(pageHost(n), ansiLines(pageLines(name, entries)));
    }
    void writePageRaw(int n, const QByteArray& bytes) const { testenv::writeFile(pageHost(n), bytes); }

    // A page of count buttons named prefix1.txt, prefix2.txt, ...
    static std::vector<Entry> many(const QString& prefix, int count) {
        std::vector<Entry> out;
        for (int i = 1; i <= count; ++i)
            out.push_back({QStringLiteral("%1%2.txt").arg(prefix).arg(i)});
        return out;
    }

    // Settings with a width of 1200 twips and launch style 2, so that loading a page stored as
    // empty (which puts both back to their defaults) shows.
    void writeSettings(int pageCount) const {
        testenv::writeFile(windowsFile(QStringLiteral("zns14.ini")),
                           ansiLines({QStringLiteral(" %1").arg(pageCount), " 0", " 1200", " 0", " 8388608",
                                      " 1", " 2", " 0", " 0"}));
    }

    QByteArray pageBytes(int n) const { return testenv::readFile(pageHost(n)); }
    bool pageExists(int n) const { return QFileInfo::exists(pageHost(n)); }
    QDateTime pageTime(int n) const { return QFileInfo(pageHost(n)).lastModified(); }
    QStringList windowsListing() const {
        return QDir(env->windowsHost()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    // Starts the program on the prepared data home.
    void start() {
        w = std::make_unique<core::FileZelnori>();
        ASSERT_TRUE(w->Form_Load());
    }

    QString menuCaption(int n) const { return w->Pchange[size_t(n)]->text(); }

    // The messages shown so far.
    const std::vector<plat::FakeDialogs::MsgRecord>& messages() const { return env->dialogs.messages; }
};

} // namespace pagetest
