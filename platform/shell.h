#pragma once
// The shell: which program opens a file, opening targets and starting programs.
//
// FindExecutable is answered from the desktop's own data (GIO: shared-mime-info, mimeapps.list,
// .desktop files) and is real in tests. Opening and starting reach outside the program, so they
// go through the Launcher service, which tests replace with RecordingLauncher.
#include <QString>
#include <QStringList>
#include <vector>

namespace plat {

enum ShowWindow { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };

// FindExecutableA: full path (Windows form, Z:\usr\bin\gedit) of the program that opens the file;
// empty for folders, for types without an application and for a path that does not exist.
QString FindExecutable(const QString& winFile);

// A Windows-style command line split into the program and its words, no shell involved:
// "C:\WINDOWS\notepad.exe C:\a b.txt" -> program C:\WINDOWS\notepad.exe, words; quotes group.
struct CommandLine {
    QString program;
    QStringList args;
};
CommandLine splitCommandLine(const QString& commandLine);

// What the real launcher starts for ShellExecute: a host program and its words, started
// detached and never through a shell. error is 0, or the failure code ShellExecute returns
// (2 file not found, 3 path not found, 11 unreadable shortcut, 31 no application).
struct LaunchPlan {
    int error = 0;
    QString program; // host path
    QStringList args;
    QString workDir; // host path
};
LaunchPlan launchPlan(const QString& operation, const QString& winFile, const QString& parameters,
                      const QString& directory);
// What the real launcher starts for Shell(commandLine). Throws RuntimeError 53 when the program
// does not exist, 5 when it is not a program.
LaunchPlan shellPlan(const QString& commandLine);

// The words of a desktop entry's Exec line with its field codes filled for one file (host path;
// empty for none). A line without a file code gets the file appended.
QStringList expandDesktopExec(const QString& exec, const QString& hostFile);
// Whether a host file runs by itself: executable bit and an ELF image or a "#!" script.
bool isRunnable(const QString& hostFile);

// The target of a Windows shortcut (.lnk) file: the path it points at (Windows form) and the
// words stored with it. ok is false when the file is no readable shell link.
struct ShortcutTarget {
    bool ok = false;
    QString path;
    QString arguments;
};
ShortcutTarget readShortcut(const QString& hostLnk);

class Launcher {
  public:
    virtual ~Launcher() = default;
    // ShellExecuteA(hwnd, NULL/"open", file, params, dir, show). Returns > 32 on success.
    virtual int shellExecute(const QString& operation, const QString& file, const QString& parameters,
                             const QString& directory, int showCmd) = 0;
    // The runtime's Shell(commandLine, windowStyle): returns a task id (> 0), throws RuntimeError 53
    // when the program does not exist.
    virtual int shell(const QString& commandLine, int windowStyle) = 0;
};

Launcher& launcher();
void setLauncher(Launcher* l); // not owned; nullptr restores the real one

class RecordingLauncher : public Launcher {
  public:
    struct Exec {
        QString operation, file, parameters, directory;
        int showCmd;
    };
    struct ShellCall {
        QString commandLine;
        int windowStyle;
    };
    std::vector<Exec> executed;
    std::vector<ShellCall> shelled;
    int shellExecuteResult = 42;
    int shellExecute(const QString& operation, const QString& file, const QString& parameters,
                     const QString& directory, int showCmd) override;
    int shell(const QString& commandLine, int windowStyle) override;
};

} // namespace plat
