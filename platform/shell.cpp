// Opening targets and starting programs.
//
// Every start is detached and goes straight to the program with its words as separate
// arguments: no shell ever reads a path, so blanks, quotes, ";", "$" and backquotes in a
// name are just characters of that name.
//
// Window style: ShellExecute's show command and Shell's window style have no portable
// counterpart on a Linux desktop. X11 and Wayland leave it to the started program and the
// window manager whether its first window is minimized or maximized, and there is no common
// command-line switch or environment variable for it, so the value is accepted and not
// passed on. Programs open their windows as they normally do. (The value 0, hidden, is not
// honoured either.)
// GLib first: its headers use the word "signals", which Qt's headers turn into a keyword.
#include <gio-unix-2.0/gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "codepage.h"
#include "drives.h"
#include "errors.h"
#include "shell.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace plat {

namespace {

class RealLauncher : public Launcher {
  public:
    int shellExecute(const QString& operation, const QString& file, const QString& parameters,
                     const QString& directory, int /*showCmd: see the top of this file*/) override {
        const LaunchPlan plan = launchPlan(operation, file, parameters, directory);
        if (plan.error) return plan.error;
        if (!QProcess::startDetached(plan.program, plan.args, plan.workDir)) {
            return QFileInfo::exists(plan.program) ? 5 : 2; // access denied / file not found
        }
        return 42;
    }

    int shell(const QString& commandLine, int /*windowStyle: see the top of this file*/) override {
        const LaunchPlan plan = shellPlan(commandLine);
        qint64 pid = 0;
        if (!QProcess::startDetached(plan.program, plan.args, plan.workDir, &pid)) {
            throw RuntimeError(ErrInvalidCall,
                               QStringLiteral("プロシージャの呼び出し、または引数が不正です。"));
        }
        // A task id is a positive number; a pid does not fit only on exotic systems.
        return pid > 0 && pid <= 0x7fffffff ? int(pid) : 1;
    }
};

RealLauncher g_real;
Launcher* g_launcher = nullptr;

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t';
}

// Words after the program, Windows style: blanks separate, double quotes group, "" inside
// quotes is one quote, backslashes are plain characters.
QStringList splitWords(const QString& s, qsizetype from = 0) {
    QStringList words;
    QString word;
    bool inWord = false, quoted = false;
    for (qsizetype i = from; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'"') {
            inWord = true;
            if (quoted && i + 1 < s.size() && s[i + 1] == u'"') {
                word += u'"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (isSpace(c) && !quoted) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words << word;
    return words;
}

// Words that name a file on one of our drives ("C:\DATA\a.txt") reach the program as host
// paths; everything else is passed as written.
QStringList hostArgs(const QStringList& words) {
    QStringList out;
    for (const QString& w : words) {
        if (w.size() >= 3 && w[0].isLetter() && w[0].unicode() < 128 && w[1] == u':' &&
            (w[2] == u'\\' || w[2] == u'/') && !driveRoot(w[0].toLower()).isEmpty()) {
            const QString h = hostPath(w);
            out << (h.isEmpty() ? w : h);
        } else {
            out << w;
        }
    }
    return out;
}

QString findProgram(const QString& name) {
    if (name.contains(u'/')) return QFileInfo(name).isExecutable() ? name : QString();
    return QStandardPaths::findExecutable(name);
}

// Exec line and terminal flag of the default application for a content type.
struct AppCommand {
    QString exec;
    bool terminal = false;
};

bool defaultApp(const QByteArray& contentType, AppCommand* out) {
    GAppInfo* app = g_app_info_get_default_for_type(contentType.constData(), FALSE);
    if (!app) return false;
    const char* cl = g_app_info_get_commandline(app);
    out->exec = cl ? QString::fromUtf8(cl) : QString();
    out->terminal =
        G_IS_DESKTOP_APP_INFO(app) && g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(app), "Terminal");
    g_object_unref(app);
    return !out->exec.isEmpty();
}

bool desktopEntry(const QString& host, AppCommand* out) {
    GDesktopAppInfo* app = g_desktop_app_info_new_from_filename(QFile::encodeName(host).constData());
    if (!app) return false;
    const char* cl = g_app_info_get_commandline(G_APP_INFO(app));
    out->exec = cl ? QString::fromUtf8(cl) : QString();
    out->terminal = g_desktop_app_info_get_boolean(app, "Terminal");
    g_object_unref(app);
    return !out->exec.isEmpty();
}

QByteArray contentTypeOf(const QString& host) {
    GFile* f = g_file_new_for_path(QFile::encodeName(host).constData());
    GFileInfo* info = g_file_query_info(f, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE, G_FILE_QUERY_INFO_NONE,
                                        nullptr, nullptr);
    QByteArray type;
    if (info) {
        if (const char* t = g_file_info_get_content_type(info)) type = t;
        g_object_unref(info);
    }
    g_object_unref(f);
    return type;
}

// Plan for opening a file with an application's Exec line; error 31 when it cannot run.
LaunchPlan planForApp(const AppCommand& app, const QString& host, const QString& workDir) {
    LaunchPlan plan;
    QStringList argv = expandDesktopExec(app.exec, host);
    if (argv.isEmpty() || findProgram(argv.front()).isEmpty()) {
        plan.error = 31;
        return plan;
    }
    if (app.terminal) {
        const QString term = findProgram(QStringLiteral("x-terminal-emulator"));
        if (!term.isEmpty()) argv = QStringList{term, QStringLiteral("-e")} + argv;
    }
    plan.program = findProgram(argv.takeFirst());
    plan.args = argv;
    plan.workDir = workDir;
    return plan;
}

LaunchPlan planForFolder(const QString& host) {
    AppCommand app;
    if (defaultApp("inode/directory", &app)) {
        LaunchPlan plan = planForApp(app, host, host);
        if (!plan.error) return plan;
    }
    // No folder handler registered with the desktop: let xdg-open find one.
    LaunchPlan plan;
    plan.program = findProgram(QStringLiteral("xdg-open"));
    if (plan.program.isEmpty()) {
        plan.error = 31;
        return plan;
    }
    plan.args = QStringList{host};
    plan.workDir = host;
    return plan;
}

LaunchPlan plan(const QString& operation, const QString& winFile, const QString& parameters,
                const QString& directory, int depth) {
    LaunchPlan p;
    const QString op = operation.toLower();
    if (!op.isEmpty() && op != u"open" && op != u"explore") {
        p.error = 31;
        return p;
    }
    const QString host = winFile.isEmpty() ? QString() : hostPath(winFile);
    const QFileInfo fi(host);
    if (host.isEmpty() || !fi.exists()) {
        p.error = !host.isEmpty() && QFileInfo(fi.absolutePath()).isDir() ? 2 : 3;
        return p;
    }
    if (fi.isDir()) return planForFolder(fi.absoluteFilePath());
    if (op == u"explore") {
        p.error = 31;
        return p;
    }

    QString workDir = fi.absolutePath();
    if (!directory.isEmpty()) {
        const QString d = hostPath(directory);
        if (!d.isEmpty() && QFileInfo(d).isDir()) workDir = d;
    }

    if (fi.suffix().compare(u"lnk", Qt::CaseInsensitive) == 0) {
        const ShortcutTarget t = readShortcut(fi.absoluteFilePath());
        if (!t.ok || depth > 8) {
            p.error = 11; // bad format
            return p;
        }
        QString params = t.arguments;
        if (!parameters.isEmpty())
            params += (params.isEmpty() ? QString() : QStringLiteral(" ")) + parameters;
        return plan(operation, t.path, params, directory, depth + 1);
    }

    // A desktop entry (what a desktop's application menu hands over when an application is
    // dragged out of it) starts its application.
    if (fi.suffix().compare(u"desktop", Qt::CaseInsensitive) == 0) {
        AppCommand app;
        if (desktopEntry(fi.absoluteFilePath(), &app)) return planForApp(app, QString(), workDir);
    }

    if (isRunnable(fi.absoluteFilePath())) {
        p.program = fi.absoluteFilePath();
        p.args = hostArgs(splitWords(parameters));
        p.workDir = workDir;
        return p;
    }

    AppCommand app;
    const QByteArray type = contentTypeOf(fi.absoluteFilePath());
    if (type.isEmpty() || !defaultApp(type, &app)) {
        p.error = 31;
        return p;
    }
    return planForApp(app, fi.absoluteFilePath(), workDir);
}

// A NUL-ended string in the code page, or UTF-16 when wide, at offset in bytes.
QString cString(const QByteArray& b, qsizetype at, bool wide) {
    if (at < 0 || at >= b.size()) return {};
    if (!wide) {
        const qsizetype end = b.indexOf('\0', at);
        return fromAnsi(b.mid(at, end < 0 ? -1 : end - at));
    }
    QString s;
    for (qsizetype i = at; i + 1 < b.size(); i += 2) {
        const char16_t c = char16_t(uchar(b[i]) | (uchar(b[i + 1]) << 8));
        if (!c) break;
        s += QChar(c);
    }
    return s;
}

} // namespace

Launcher& launcher() {
    return g_launcher ? *g_launcher : g_real;
}
void setLauncher(Launcher* l) {
    g_launcher = l;
}

int RecordingLauncher::shellExecute(const QString& operation, const QString& file, const QString& parameters,
                                    const QString& directory, int showCmd) {
    executed.push_back({operation, file, parameters, directory, showCmd});
    return shellExecuteResult;
}

int RecordingLauncher::shell(const QString& commandLine, int windowStyle) {
    shelled.push_back({commandLine, windowStyle});
    return int(shelled.size());
}

CommandLine splitCommandLine(const QString& commandLine) {
    CommandLine cl;
    qsizetype i = 0;
    const qsizetype n = commandLine.size();
    while (i < n && isSpace(commandLine[i]))
        ++i;
    if (i < n && commandLine[i] == u'"') {
        const qsizetype end = commandLine.indexOf(u'"', i + 1);
        cl.program = commandLine.mid(i + 1, end < 0 ? -1 : end - i - 1);
        i = end < 0 ? n : end + 1;
    } else {
        const qsizetype start = i;
        while (i < n && !isSpace(commandLine[i]))
            ++i;
        cl.program = commandLine.mid(start, i - start);
    }
    cl.args = splitWords(commandLine, i);
    return cl;
}

QStringList expandDesktopExec(const QString& exec, const QString& hostFile) {
    gchar** argv = nullptr;
    gint argc = 0;
    if (!g_shell_parse_argv(exec.toUtf8().constData(), &argc, &argv, nullptr)) return {};
    QStringList words;
    for (gint k = 0; k < argc; ++k)
        words << QString::fromUtf8(argv[k]);
    g_strfreev(argv);

    const QString uri =
        hostFile.isEmpty() ? QString() : QUrl::fromLocalFile(hostFile).toString(QUrl::FullyEncoded);
    bool fileUsed = false;
    QStringList out;
    for (const QString& w : words) {
        // A code standing alone is one word (or none); %i stands for two words we do not have.
        if (w == u"%f" || w == u"%F" || w == u"%u" || w == u"%U") {
            if (!hostFile.isEmpty()) out << (w[1].toLower() == u'f' ? hostFile : uri);
            fileUsed = true;
            continue;
        }
        if (w == u"%i") continue;
        QString e;
        for (qsizetype i = 0; i < w.size(); ++i) {
            if (w[i] != u'%' || i + 1 >= w.size()) {
                e += w[i];
                continue;
            }
            const QChar code = w[++i];
            if (code == u'%') {
                e += u'%';
            } else if (code == u'f' || code == u'F') {
                e += hostFile;
                fileUsed = true;
            } else if (code == u'u' || code == u'U') {
                e += uri;
                fileUsed = true;
            }
            // %c, %k and the deprecated codes are dropped.
        }
        if (!e.isEmpty() || w.isEmpty()) out << e;
    }
    if (!fileUsed && !hostFile.isEmpty()) out << hostFile;
    return out;
}

bool isRunnable(const QString& hostFile) {
    const QFileInfo fi(hostFile);
    if (!fi.isFile() || !fi.isExecutable()) return false;
    QFile f(hostFile);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(4);
    return head == QByteArray("\x7f"
                              "ELF",
                              4) ||
           head.startsWith("#!");
}

ShortcutTarget readShortcut(const QString& hostLnk) {
    ShortcutTarget t;
    QFile f(hostLnk);
    if (!f.open(QIODevice::ReadOnly)) return t;
    const QByteArray b = f.read(1 << 20);
    auto u16 = [&](qsizetype at) -> qint64 {
        if (at < 0 || at + 2 > b.size()) return -1;
        return uchar(b[at]) | (uchar(b[at + 1]) << 8);
    };
    auto u32 = [&](qsizetype at) -> qint64 {
        if (at < 0 || at + 4 > b.size()) return -1;
        return qint64(quint32(uchar(b[at]) | (uchar(b[at + 1]) << 8) | (uchar(b[at + 2]) << 16) |
                              (quint32(uchar(b[at + 3])) << 24)));
    };
    static const char clsid[16] = {0x01,       0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   char(0xC0), 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    if (u32(0) != 0x4C || b.mid(4, 16) != QByteArray(clsid, 16)) return t;
    const qint64 flags = u32(20);
    const bool unicode = flags & 0x80;
    qsizetype at = 0x4C;
    if (flags & 0x1) { // item id list: skipped
        const qint64 size = u16(at);
        if (size < 0) return t;
        at += 2 + size;
    }
    QString path;
    if (flags & 0x2) { // link info
        const qsizetype li = at;
        const qint64 size = u32(li), headerSize = u32(li + 4), infoFlags = u32(li + 8);
        if (size < 0x1C || headerSize < 0x1C || li + size > b.size()) return t;
        if (infoFlags & 0x1) {
            const bool wideOffsets = headerSize >= 0x24;
            const qint64 baseW = wideOffsets ? u32(li + 28) : 0, suffixW = wideOffsets ? u32(li + 32) : 0;
            QString base = baseW > 0 ? cString(b, li + baseW, true) : cString(b, li + u32(li + 16), false);
            const QString suffix =
                suffixW > 0 ? cString(b, li + suffixW, true) : cString(b, li + u32(li + 24), false);
            if (!suffix.isEmpty() && !base.endsWith(u'\\')) base += u'\\';
            path = base + suffix;
        }
        at += size;
    }
    // String data, in their fixed order; each a count of characters and the characters.
    QString relative, arguments;
    for (int bit : {0x4, 0x8, 0x10, 0x20, 0x40}) {
        if (!(flags & bit)) continue;
        const qint64 count = u16(at);
        if (count < 0) break;
        const qsizetype bytes = count * (unicode ? 2 : 1);
        if (at + 2 + bytes > b.size()) break;
        const QByteArray raw = b.mid(at + 2, bytes);
        QString s;
        if (unicode) {
            for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
                s += QChar(char16_t(uchar(raw[i]) | (uchar(raw[i + 1]) << 8)));
        } else {
            s = fromAnsi(raw);
        }
        if (bit == 0x8) relative = s;
        if (bit == 0x20) arguments = s;
        at += 2 + bytes;
    }
    if (path.isEmpty() && !relative.isEmpty()) {
        const QString dir = windowsPath(QFileInfo(hostLnk).absolutePath());
        path = fullPath(dir + (dir.endsWith(u'\\') ? QString() : QStringLiteral("\\")) + relative);
    }
    if (path.isEmpty()) return t;
    t.ok = true;
    t.path = path;
    t.arguments = arguments;
    return t;
}

LaunchPlan launchPlan(const QString& operation, const QString& winFile, const QString& parameters,
                      const QString& directory) {
    return plan(operation, winFile, parameters, directory, 0);
}

LaunchPlan shellPlan(const QString& commandLine) {
    const CommandLine cl = splitCommandLine(commandLine);
    if (cl.program.isEmpty()) {
        throw RuntimeError(ErrInvalidCall, QStringLiteral("プロシージャの呼び出し、または引数が不正です。"));
    }
    QString host = hostPath(cl.program);
    // As on Windows, a program named without an extension may be an .exe file.
    if ((host.isEmpty() || !QFileInfo(host).isFile()) && !cl.program.section(u'\\', -1).contains(u'.')) {
        const QString withExe = hostPath(cl.program + QStringLiteral(".exe"));
        if (!withExe.isEmpty() && QFileInfo(withExe).isFile()) host = withExe;
    }
    if (host.isEmpty() || !QFileInfo(host).isFile()) {
        throw RuntimeError(ErrFileNotFound, QStringLiteral("ファイルが見つかりません。"));
    }
    if (!isRunnable(host)) {
        throw RuntimeError(ErrInvalidCall, QStringLiteral("プロシージャの呼び出し、または引数が不正です。"));
    }
    LaunchPlan p;
    p.program = QFileInfo(host).absoluteFilePath();
    p.args = hostArgs(cl.args);
    const QString cur = hostPath(CurDir());
    p.workDir = !cur.isEmpty() && QFileInfo(cur).isDir() ? cur : QFileInfo(host).absolutePath();
    return p;
}

} // namespace plat
