// The archive library: command line, the staging folder beside the destination, and the
// move of the finished members into it.
#include "platform/archive.h"
#include "platform/archive_lzh.h"
#include "platform/drives.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

QString g_lastError;

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

bool lstatPath(const QString& path, struct stat* st) {
    return ::lstat(QFile::encodeName(path).constData(), st) == 0;
}

// Names in a folder, read without following links.
QStringList entriesOf(const QString& dir) {
    QStringList names;
    DIR* d = ::opendir(QFile::encodeName(dir).constData());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names << QFile::decodeName(e->d_name);
    }
    ::closedir(d);
    return names;
}

// The entry of `dir` that a member called `name` meets: the same name, or else one that
// differs only in case.
QString matchIn(const QStringList& names, const QString& name, const QString& skipName) {
    if (names.contains(name) && name != skipName) return name;
    for (const QString& n : names)
        if (n != skipName && n.compare(name, Qt::CaseInsensitive) == 0) return n;
    return {};
}

// Moves with an undo list: every rename is recorded so that a failure can put the
// destination back as it was.
class Mover {
  public:
    Mover(const QString& backupRoot) : backup_(backupRoot) {}

    lzh::Result merge(const QString& src, const QString& dst, const QString& skipName) {
        const QStringList existing = entriesOf(dst);
        for (const QString& name : entriesOf(src)) {
            const QString from = src + u'/' + name;
            struct stat incoming;
            if (!lstatPath(from, &incoming))
                return lzh::Result::fail(UnlhaWriteFailed,
                                         QStringLiteral("%1: %2").arg(from, errnoText(errno)));
            const QString match = matchIn(existing, name, skipName);
            struct stat present;
            const bool exists = !match.isEmpty() && lstatPath(dst + u'/' + match, &present);
            if (exists && S_ISDIR(present.st_mode) != S_ISDIR(incoming.st_mode))
                return lzh::Result::fail(UnlhaRefused,
                                         QStringLiteral("%1 exists as a %2")
                                             .arg(dst + u'/' + match, S_ISDIR(present.st_mode)
                                                                          ? QStringLiteral("folder")
                                                                          : QStringLiteral("file")));
            if (exists && S_ISDIR(incoming.st_mode)) {
                const lzh::Result r = merge(from, dst + u'/' + match, QString());
                if (!r.ok()) return r;
                continue;
            }
            if (exists) {
                const QString aside = backup_ + u'/' + QString::number(++backups_);
                if (!move(dst + u'/' + match, aside))
                    return lzh::Result::fail(
                        UnlhaWriteFailed, QStringLiteral("%1: %2").arg(dst + u'/' + match, errnoText(errno)));
            }
            if (!move(from, dst + u'/' + name))
                return lzh::Result::fail(UnlhaWriteFailed,
                                         QStringLiteral("%1: %2").arg(dst + u'/' + name, errnoText(errno)));
        }
        return {};
    }

    void undo() {
        for (auto it = done_.crbegin(); it != done_.crend(); ++it)
            ::rename(QFile::encodeName(it->second).constData(), QFile::encodeName(it->first).constData());
        done_.clear();
    }

  private:
    bool move(const QString& from, const QString& to) {
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
            return false;
        done_.append({from, to});
        return true;
    }

    QString backup_;
    int backups_ = 0;
    QList<std::pair<QString, QString>> done_;
};

// A private folder for the unpacked members: beside the destination when it shares its
// file system (so the final moves are renames), else inside it.
QString makeStagingFolder(const QString& dest, QString* skipName) {
    struct stat destStat, parentStat;
    const QString parent = QFileInfo(dest).dir().absolutePath();
    const bool beside = dest != u"/" && ::stat(QFile::encodeName(dest).constData(), &destStat) == 0 &&
                        ::stat(QFile::encodeName(parent).constData(), &parentStat) == 0 &&
                        destStat.st_dev == parentStat.st_dev;
    for (const QString& base : beside ? QStringList{parent, dest} : QStringList{dest}) {
        QByteArray templ = QFile::encodeName(base + QStringLiteral("/.unlha-XXXXXX"));
        if (::mkdtemp(templ.data())) {
            const QString made = QFile::decodeName(templ);
            *skipName = base == dest ? QFileInfo(made).fileName() : QString();
            return made;
        }
    }
    return {};
}

int fail(QString* error, int status, const QString& message) {
    if (error) *error = message;
    return status;
}

} // namespace

std::optional<UnlhaCommand> parseUnlhaCommand(const QString& commandLine, QString* error) {
    struct Token {
        QString text;
        bool quoted;
    };
    QList<Token> tokens;
    const auto bad = [&](const QString& why) -> std::optional<UnlhaCommand> {
        if (error) *error = why;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < commandLine.size();) {
        const QChar c = commandLine[i];
        if (c == u' ' || c == u'\t') {
            ++i;
        } else if (c == u'"') {
            const qsizetype end = commandLine.indexOf(u'"', i + 1);
            if (end < 0) return bad(QStringLiteral("missing closing quote"));
            tokens.append({commandLine.mid(i + 1, end - i - 1), true});
            i = end + 1;
            if (i < commandLine.size() && commandLine[i] != u' ' && commandLine[i] != u'\t')
                return bad(QStringLiteral("text glued to a quoted path"));
        } else {
            qsizetype end = i;
            while (end < commandLine.size() && commandLine[end] != u' ' && commandLine[end] != u'\t')
                ++end;
            const QString word = commandLine.mid(i, end - i);
            if (word.contains(u'"')) return bad(QStringLiteral("stray quote in %1").arg(word));
            tokens.append({word, false});
            i = end;
        }
    }
    if (tokens.isEmpty() || tokens[0].quoted || tokens[0].text.compare(u"x", Qt::CaseInsensitive) != 0)
        return bad(QStringLiteral("command must be x"));
    qsizetype next = 1;
    while (next < tokens.size() && !tokens[next].quoted && tokens[next].text.startsWith(u'-'))
        ++next;
    const QList<Token> paths = tokens.mid(next);
    if (paths.size() != 2) return bad(QStringLiteral("expected an archive and a destination"));
    for (const Token& t : paths)
        if (!t.quoted) return bad(QStringLiteral("path %1 is not in quotes").arg(t.text));
    if (paths[0].text.isEmpty() || paths[1].text.isEmpty()) return bad(QStringLiteral("empty path"));
    if (!paths[1].text.endsWith(u'\\')) return bad(QStringLiteral("destination must end with \\"));
    return UnlhaCommand{paths[0].text, paths[1].text};
}

int extractLzh(const QString& hostArchive, const QString& hostDest, QString* error) {
    const QFileInfo archiveInfo(hostArchive);
    if (!archiveInfo.isFile() || !archiveInfo.isReadable())
        return fail(error, UnlhaNoArchive, QStringLiteral("archive %1 not found").arg(hostArchive));
    const QFileInfo destInfo(hostDest);
    if (!destInfo.isDir())
        return fail(error, UnlhaNoDestination, QStringLiteral("folder %1 not found").arg(hostDest));
    const QString dest = destInfo.canonicalFilePath();

    QString skipName;
    const QString staging = makeStagingFolder(dest, &skipName);
    if (staging.isEmpty())
        return fail(error, UnlhaWriteFailed,
                    QStringLiteral("cannot make a work folder for %1: %2").arg(dest, errnoText(errno)));
    const QString unpacked = staging + QStringLiteral("/new");
    const QString replaced = staging + QStringLiteral("/old");

    lzh::Result r;
    if (!QDir().mkdir(unpacked) || !QDir().mkdir(replaced)) {
        r = lzh::Result::fail(UnlhaWriteFailed, QStringLiteral("cannot make %1").arg(unpacked));
    } else {
        lzh::Stage stage(unpacked);
        r = lzh::needsLhasa(hostArchive) ? lzh::readWithLhasa(hostArchive, stage)
                                         : lzh::readWithLibarchive(hostArchive, stage);
        if (r.ok()) r = stage.finish();
        if (r.ok()) {
            Mover mover(replaced);
            r = mover.merge(unpacked, dest, skipName);
            if (!r.ok()) mover.undo();
        }
    }
    QDir(staging).removeRecursively();
    return r.ok() ? UnlhaOk : fail(error, r.status, r.message);
}

int Unlha(const QString& commandLine) {
    QString error;
    int status = UnlhaOk;
    if (const auto command = parseUnlhaCommand(commandLine, &error)) {
        QString destination = command->destination;
        // "C:\" stays the root; "C:\TEMP\" names the folder C:\TEMP.
        while (destination.size() > 3 && destination.endsWith(u'\\'))
            destination.chop(1);
        const QString archive = hostPath(command->archive);
        const QString dest = hostPath(destination);
        if (archive.isEmpty())
            status =
                fail(&error, UnlhaNoArchive, QStringLiteral("archive %1 not found").arg(command->archive));
        else if (dest.isEmpty())
            status = fail(&error, UnlhaNoDestination,
                          QStringLiteral("folder %1 not found").arg(command->destination));
        else
            status = extractLzh(archive, dest, &error);
    } else {
        status = UnlhaBadCommand;
    }
    g_lastError = status == UnlhaOk ? QString() : error;
    return status;
}

QString lastUnlhaError() {
    return g_lastError;
}

} // namespace plat
