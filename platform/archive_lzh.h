#pragma once
// Inner parts of the archive library: member names, the staging folder, the two decoders
// and the final move into the destination.
#include "platform/archive.h"
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <optional>

namespace plat::lzh {

// Outcome of one step: a status from UnlhaStatus and a text for the log.
struct Result {
    int status = UnlhaOk;
    QString message;
    bool ok() const { return status == UnlhaOk; }
    static Result fail(int status, const QString& message) { return Result{status, message}; }
};

// Splits a stored member name into the components of a path inside the destination.
// "\" and "/" both separate; a drive ("C:\x", "c:x"), leading separators, empty and "."
// components are dropped. Nothing (std::nullopt) when a component is "..".
std::optional<QStringList> memberComponents(const QString& name);

// Checks the target of a link that sits `depth` folders below the destination. Accepted:
// relative targets whose ".." components all lead the path and do not climb above the
// destination. Returns the cleaned target ("/" separated), or nothing when it could point
// outside.
std::optional<QString> safeLinkTarget(const QString& target, int depth);

// CP932 bytes as text; a byte that does not decode becomes "_".
QString decodeCp932(const QByteArray& bytes);

// The CRC-16 of LZH archives (polynomial 0xA001, reflected).
quint16 crc16(quint16 crc, const void* data, std::size_t size);

// The staging folder: members are unpacked here first. Tracks what it holds so that names
// differing only in case meet the same file or folder, as on the original file system.
class Stage {
  public:
    explicit Stage(const QString& hostRoot);
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    Result addDirectory(const QString& name);
    // mtime: seconds since 1970, 0 when unknown.
    Result beginFile(const QString& name, qint64 mtime);
    Result write(const void* data, std::size_t size);
    Result endFile();
    // Links are made by finish(), after every file, so no member is written through one.
    Result addSymlink(const QString& name, const QString& target);
    Result finish();

    int memberCount() const { return members_; }

  private:
    enum class Kind { Directory, File, Link };
    struct Entry {
        QString path; // relative, "/" separated, as spelled on disk
        Kind kind;
    };
    struct PendingLink {
        QString key;
        QString path;
        QString target;
    };

    Result folders(const QStringList& components, int count, QString* relative);
    Result claim(const QString& relative, const QString& name, Kind kind, QString* path);
    QString host(const QString& relative) const;

    QString root_;
    QHash<QString, Entry> entries_; // key: case-folded relative path
    QList<PendingLink> links_;
    int fd_ = -1;
    QString openPath_;
    qint64 openMtime_ = 0;
    int members_ = 0;
};

// Whether some member uses a method that only liblhasa decodes (-lh1-, -lh4-, -lzs-, -lz5-,
// -lhx-, -pm*- ...). Archives that liblhasa does not recognise go to libarchive.
bool needsLhasa(const QString& hostArchive);
Result readWithLibarchive(const QString& hostArchive, Stage& stage);
Result readWithLhasa(const QString& hostArchive, Stage& stage);

// Moves everything under stageRoot into dest. Existing files are replaced (the old ones go to
// backupRoot); folders are merged. On any failure every step is undone. skipName: an entry of
// dest that is never matched (the staging folder itself when it had to live there).
Result mergeInto(const QString& stageRoot, const QString& backupRoot, const QString& dest,
                 const QString& skipName);

} // namespace plat::lzh
