// The program that opens a file, answered from the desktop's own data through GIO:
// shared-mime-info for the file's type, mimeapps.list and the .desktop files for its program.
// GIO first: its headers use names that Qt defines as macros.
#include <gio/gio.h>

#include "platform/drives.h"
#include "platform/shell.h"
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstring>
#include <sys/stat.h>

namespace plat {

namespace {

// Bytes of the file's start that the type sniffing sees.
constexpr qint64 kSniffBytes = 4096;

template <typename T> struct GFreeLater {
    T* p;
    ~GFreeLater() { g_free(p); }
};

// Programs open themselves: Windows programs by their name, Linux ones by their exec bit.
bool isProgram(const QString& host, const struct stat& st) {
    static const QStringList kWindowsPrograms{"exe", "com", "bat", "pif"};
    if (kWindowsPrograms.contains(QFileInfo(host).suffix().toLower())) return true;
    if ((st.st_mode & S_IXUSR) == 0) return false;
    QFile f(host);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(4);
    return head.startsWith("\x7f"
                           "ELF") ||
           head.startsWith("#!");
}

// The program of an application: the first word of its command line (quotes removed, an
// "env VAR=value" prefix skipped) resolved through PATH.
QString programOf(GAppInfo* app) {
    QByteArray word;
    if (const char* commandLine = g_app_info_get_commandline(app)) {
        gint argc = 0;
        gchar** argv = nullptr;
        if (g_shell_parse_argv(commandLine, &argc, &argv, nullptr)) {
            int i = 0;
            if (i < argc && qstrcmp(argv[i], "env") == 0)
                for (++i; i < argc && (argv[i][0] == '-' || std::strchr(argv[i], '=')); ++i) {
                }
            if (i < argc) word = argv[i];
            g_strfreev(argv);
        }
    }
    if (word.isEmpty())
        if (const char* exe = g_app_info_get_executable(app)) word = exe;
    if (word.isEmpty()) return {};
    GFreeLater<gchar> found{g_find_program_in_path(word.constData())};
    return found.p ? QFile::decodeName(found.p) : QString();
}

} // namespace

QString FindExecutable(const QString& winFile) {
    if (winFile.trimmed().isEmpty()) return {};
    const QString host = hostPath(winFile);
    if (host.isEmpty()) return {};
    const QByteArray hostName = QFile::encodeName(host);
    struct stat st {};
    if (::stat(hostName.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    if (isProgram(host, st)) return windowsPath(QFileInfo(host).absoluteFilePath());

    QByteArray head;
    QFile f(host);
    if (f.open(QIODevice::ReadOnly)) head = f.read(kSniffBytes);
    gboolean uncertain = FALSE;
    GFreeLater<gchar> type{g_content_type_guess(hostName.constData(),
                                                reinterpret_cast<const guchar*>(head.constData()),
                                                gsize(head.size()), &uncertain)};
    if (!type.p) return {};

    GAppInfo* app = g_app_info_get_default_for_type(type.p, FALSE);
    if (!app) return {};
    const QString program = programOf(app);
    g_object_unref(app);
    if (program.isEmpty()) return {};
    return windowsPath(program);
}

} // namespace plat
