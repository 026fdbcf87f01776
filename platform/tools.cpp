// Windows' own tools as small scripts in C:\WINDOWS that start their nearest Linux relative.
#include "tools.h"
#include "drives.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <vector>

namespace plat {

namespace {

struct Candidate {
    const char* program;
    const char* args; // fixed words before the caller's, "" for none
};

struct Tool {
    const char* file;
    std::vector<Candidate> candidates;
    bool homeFallback = false; // xdg-open of the home folder when no candidate is found
};

// The file manager stands in for both the file manager and the explorer.
const std::vector<Candidate> fileManagers = {{"nautilus", ""}, {"dolphin", ""},    {"thunar", ""},
                                             {"pcmanfm", ""},  {"pcmanfm-qt", ""}, {"nemo", ""},
                                             {"caja", ""}};

// In the order the menu shows them; the first installed candidate wins.
const std::vector<Tool>& tools() {
    static const std::vector<Tool> table = {
        {"control.exe",
         {{"gnome-control-center", ""},
          {"systemsettings", ""},
          {"xfce4-settings-manager", ""},
          {"mate-control-center", ""},
          {"cinnamon-settings", ""},
          {"lxqt-config", ""}}},
        {"progman.exe",
         {{"xfce4-appfinder", ""}, {"rofi", "-show drun"}, {"wofi", "--show drun"}, {"krunner", ""}}},
        {"winfile.exe", fileManagers, true},
        {"explorer.exe", fileManagers, true},
        {"notepad.exe",
         {{"gedit", ""},
          {"gnome-text-editor", ""},
          {"kate", ""},
          {"mousepad", ""},
          {"pluma", ""},
          {"xed", ""},
          {"leafpad", ""},
          {"featherpad", ""}}},
        {"write.exe", {{"libreoffice", "--writer"}, {"abiword", ""}}},
        {"defrag.exe", {}},
        {"drvspace.exe", {}},
        {"scandskw.exe", {{"gnome-disks", ""}, {"partitionmanager", ""}}},
        {"calc.exe",
         {{"gnome-calculator", ""}, {"kcalc", ""}, {"galculator", ""}, {"xcalc", ""}, {"qalculate-gtk", ""}}},
        {"cdplayer.exe", {{"kscd", ""}}},
        {"mplayer.exe",
         {{"vlc", ""},
          {"mpv", "--player-operation-mode=pseudo-gui"},
          {"totem", ""},
          {"celluloid", ""},
          {"smplayer", ""}}},
        {"pbrush.exe", {{"kolourpaint", ""}, {"pinta", ""}, {"mtpaint", ""}, {"gimp", ""}}},
        {"taskman.exe",
         {{"gnome-system-monitor", ""},
          {"plasma-systemmonitor", ""},
          {"ksysguard", ""},
          {"xfce4-taskmanager", ""},
          {"lxtask", ""}}},
        {"dialer.exe", {{"gnome-ppp", ""}, {"kppp", ""}}},
    };
    return table;
}

// A word for sh: as it is when harmless, else in single quotes.
QString shQuote(const QString& s) {
    static const QString safe = QStringLiteral("/._-+=:,%@");
    bool plain = !s.isEmpty();
    for (QChar c : s) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && !safe.contains(c)) plain = false;
    }
    if (plain) return s;
    QString q = s;
    q.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + q + u'\'';
}

QString markerPath() {
    return dataHome() + QStringLiteral("/.tool-stand-ins");
}

// Existing entry of that name in the folder, whatever its case.
bool existsAnyCase(const QDir& dir, const QString& name) {
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

bool writeScript(const QString& path, const QString& body) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
    const QByteArray bytes = body.toUtf8();
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                     QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                     QFileDevice::ExeOther);
    return ok;
}

// An executable of that name in one of the folders (never the process's own PATH).
QString findIn(const QString& name, const QStringList& dirs) {
    return dirs.isEmpty() ? QString() : QStandardPaths::findExecutable(name, dirs);
}

} // namespace

QStringList knownTools() {
    QStringList names;
    for (const Tool& t : tools())
        names << QString::fromLatin1(t.file);
    return names;
}

void installToolStandIns() {
    installToolStandIns(QString::fromLocal8Bit(qgetenv("PATH")));
}

void installToolStandIns(const QString& searchPath) {
    if (QFileInfo::exists(markerPath())) return;
    const QString windows = hostPath(GetWindowsDirectory());
    if (windows.isEmpty() || !QFileInfo(windows).isDir()) return;
    const QStringList dirs = searchPath.split(u':', Qt::SkipEmptyParts);
    const QDir dir(windows);

    for (const Tool& t : tools()) {
        const QString name = QString::fromLatin1(t.file);
        if (existsAnyCase(dir, name)) continue;
        QString line;
        for (const Candidate& c : t.candidates) {
            const QString program = findIn(QString::fromLatin1(c.program), dirs);
            if (program.isEmpty()) continue;
            line = QStringLiteral("exec ") + shQuote(program);
            if (*c.args) line += u' ' + QString::fromLatin1(c.args);
            line += QStringLiteral(" \"$@\"");
            break;
        }
        if (line.isEmpty() && t.homeFallback) {
            const QString open = findIn(QStringLiteral("xdg-open"), dirs);
            if (!open.isEmpty())
                line = QStringLiteral("exec ") + shQuote(open) + QStringLiteral(" \"${1:-$HOME}\"");
        }
        if (line.isEmpty()) continue;
        writeScript(dir.filePath(name), QStringLiteral("#!/bin/sh\n") + line + u'\n');
    }

    QFile marker(markerPath());
    if (marker.open(QIODevice::WriteOnly))
        marker.write("The tool stand-ins in C:\\WINDOWS were installed once.\n");
}

} // namespace plat
