// GLib first: its headers use names that Qt defines as macros.
#include <glib.h>

#include "platform/drives.h"
#include "platform/iconres.h"
#include "platform/icons.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unordered_map>

namespace plat {

namespace {

constexpr int kFaceSide = 32;
const QByteArray kShellLibraryHeader = "ZELNORI-SHELL-ICONS 1";

// The classic shell icons by index, each as freedesktop names (the first one the theme has
// is used).
const char* const kShellIcons[] = {
    "text-x-generic",                            // 0 document of an unknown type
    "text-x-generic x-office-document",          // 1 document
    "application-x-executable",                  // 2 program
    "folder",                                    // 3 closed folder
    "folder-open",                               // 4 open folder
    "media-floppy",                              // 5 5.25" floppy drive
    "media-floppy",                              // 6 3.5" floppy drive
    "drive-removable-media",                     // 7 removable drive
    "drive-harddisk",                            // 8 hard disk
    "folder-remote network-server",              // 9 network drive
    "network-offline folder-remote",             // 10 disconnected network drive
    "media-optical drive-optical",               // 11 CD-ROM drive
    "media-flash drive-removable-media",         // 12 RAM disk
    "network-workgroup",                         // 13 entire network
    "network-wired network-workgroup",           // 14 network
    "computer",                                  // 15 my computer
    "printer",                                   // 16 printer
    "network-workgroup",                         // 17 network neighbourhood
    "network-workgroup",                         // 18 workgroup
    "start-here folder",                         // 19 programs
    "folder-documents",                          // 20 documents
    "preferences-system",                        // 21 settings
    "system-search",                             // 22 find
    "help-browser",                              // 23 help
    "system-run",                                // 24 run
    "system-suspend system-log-out",             // 25 suspend
    "computer-laptop computer",                  // 26 docking station
    "system-shutdown",                           // 27 shut down
    "emblem-shared",                             // 28 shared
    "emblem-symbolic-link",                      // 29 shortcut
    "go-next",                                   // 30 big arrow
    "user-trash",                                // 31 recycle bin, empty
    "user-trash-full",                           // 32 recycle bin, full
    "network-wireless network-transmit-receive", // 33 dial-up networking
    "user-desktop",                              // 34 desktop
    "preferences-desktop preferences-system",    // 35 control panel
    "folder",                                    // 36 program group
    "printer",                                   // 37 printers folder
    "preferences-desktop-font",                  // 38 fonts
    "preferences-desktop-display",               // 39 taskbar
    "media-optical-audio audio-x-generic",       // 40 audio CD
};

// ---- handles ----------------------------------------------------------------------------------

struct IconRecord {
    std::vector<QImage> images; // smallest first
    QImage face;                // kFaceSide x kFaceSide
};

std::unordered_map<HICON, IconRecord>& table() {
    static std::unordered_map<HICON, IconRecord> t;
    return t;
}

// Handles look like the system's: large, even, never 0 or 1, never reused.
HICON nextHandle() {
    static HICON next = 0x10000;
    next += 4;
    return next;
}

const QImage* nearest(const std::vector<QImage>& images, int side) {
    const QImage* best = nullptr;
    int bestDistance = 0;
    for (const QImage& img : images) {
        const int distance = std::abs(img.width() - side);
        // On a tie the larger image wins: scaling down keeps more detail.
        if (!best || distance < bestDistance || (distance == bestDistance && img.width() > best->width())) {
            best = &img;
            bestDistance = distance;
        }
    }
    return best;
}

QImage scaledFace(const QImage& img, int side) {
    if (img.width() == side && img.height() == side) return img;
    return img.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

HICON newHandle(std::vector<QImage> images) {
    if (images.empty()) return 0;
    std::stable_sort(images.begin(), images.end(), [](const QImage& a, const QImage& b) {
        return qint64(a.width()) * a.height() < qint64(b.width()) * b.height();
    });
    IconRecord rec;
    rec.face = scaledFace(*nearest(images, kFaceSide), kFaceSide);
    rec.images = std::move(images);
    const HICON h = nextHandle();
    table().emplace(h, std::move(rec));
    return h;
}

// ---- drawings for icons the theme lacks -----------------------------------------------------

enum class Drawing { Document, Folder, Arrow, Program };

Drawing drawingFor(const QString& name) {
    if (name.startsWith(QLatin1String("folder")) || name.startsWith(QLatin1String("user-desktop")) ||
        name.startsWith(QLatin1String("start-here")))
        return Drawing::Folder;
    if (name == QLatin1String("emblem-symbolic-link") || name == QLatin1String("go-next"))
        return Drawing::Arrow;
    if (name.startsWith(QLatin1String("application-")) || name == QLatin1String("system-run"))
        return Drawing::Program;
    return Drawing::Document;
}

QImage drawFallback(Drawing kind, int side) {
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 32.0, side / 32.0);
    p.setPen(QPen(Qt::black, 1));
    switch (kind) {
    case Drawing::Document: {
        QPainterPath page;
        page.moveTo(6.5, 1.5);
        page.lineTo(20.5, 1.5);
        page.lineTo(26.5, 7.5);
        page.lineTo(26.5, 30.5);
        page.lineTo(6.5, 30.5);
        page.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(page);
        p.setBrush(QColor(192, 192, 192));
        p.drawPolygon(QPolygonF({QPointF(20.5, 1.5), QPointF(20.5, 7.5), QPointF(26.5, 7.5)}));
        p.setPen(QPen(QColor(128, 128, 128), 1));
        for (int y = 11; y <= 26; y += 3)
            p.drawLine(QPointF(9.5, y + 0.5), QPointF(23.5, y + 0.5));
        break;
    }
    case Drawing::Folder: {
        p.setBrush(QColor(255, 255, 128));
        p.drawPolygon(QPolygonF({QPointF(2.5, 7.5), QPointF(11.5, 7.5), QPointF(14.5, 10.5),
                                 QPointF(29.5, 10.5), QPointF(29.5, 27.5), QPointF(2.5, 27.5)}));
        p.setBrush(QColor(224, 192, 64));
        p.drawRect(QRectF(2.5, 12.5, 27, 15));
        break;
    }
    case Drawing::Arrow: {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.5, 18.5, 13, 13));
        QPainterPath arrow;
        arrow.moveTo(3.5, 29.5);
        arrow.cubicTo(3.5, 24.0, 5.5, 22.5, 8.0, 22.5);
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arrow);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygonF({QPointF(7.0, 19.5), QPointF(11.5, 22.5), QPointF(7.0, 25.5)}));
        break;
    }
    case Drawing::Program: {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 5.5, 27, 21));
        p.setBrush(QColor(0, 0, 128));
        p.drawRect(QRectF(2.5, 5.5, 27, 5));
        break;
    }
    }
    return img;
}

std::vector<QImage> fallbackImages(Drawing kind) {
    return {drawFallback(kind, 16), drawFallback(kind, 32), drawFallback(kind, 48)};
}

// ---- icons from the theme ---------------------------------------------------------------------

std::vector<QImage> iconToImages(const QIcon& icon) {
    QList<QSize> sizes = icon.availableSizes();
    QSet<int> sides;
    for (const QSize& s : sizes)
        if (s.width() >= 8 && s.width() <= 256) sides.insert(s.width());
    sides.insert(kFaceSide);
    QList<int> sorted(sides.begin(), sides.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<QImage> out;
    for (int side : sorted) {
        QImage img = icon.pixmap(QSize(side, side), 1.0).toImage();
        if (img.isNull()) continue;
        if (img.width() != side || img.height() != side) {
            // A non-square icon sits centred on a square, transparent face.
            QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
            square.fill(Qt::transparent);
            QPainter p(&square);
            p.drawImage((side - img.width()) / 2, (side - img.height()) / 2, img);
            p.end();
            img = square;
        }
        out.push_back(img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    return out;
}

std::vector<QImage> imageFileImages(const QString& path) {
    QFile f(path);
    if (QFileInfo(path).suffix().compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0 &&
        f.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = f.read(16 << 20);
        return iconres::decodeGroup(iconres::readIco(iconres::Bytes(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()))));
    }
    QImageReader reader(path);
    if (reader.size().isValid() && (reader.size().width() > 1024 || reader.size().height() > 1024))
        reader.setScaledSize(reader.size().scaled(256, 256, Qt::KeepAspectRatio));
    const QImage img = reader.read();
    if (img.isNull()) return {};
    return iconToImages(QIcon(QPixmap::fromImage(img)));
}

// Pictures in the old pixmaps folders, for Icon= names no theme carries.
QString pixmapFile(const QString& name) {
    QStringList roots;
    if (const char* home = g_get_user_data_dir()) roots << QString::fromLocal8Bit(home);
    for (const char* const* d = g_get_system_data_dirs(); d && *d; ++d)
        roots << QString::fromLocal8Bit(*d);
    roots << QStringLiteral("/usr/share");
    for (const QString& root : roots)
        for (const char* ext : {".png", ".xpm", ".svg", ""}) {
            const QString candidate = root + "/pixmaps/" + name + QLatin1String(ext);
            if (QFileInfo(candidate).isFile()) return candidate;
        }
    return {};
}

// The images of the first of the names the theme (or, for an absolute path, the disk) has,
// else the built-in drawing.
std::vector<QImage> namedIconImages(const QStringList& names, Drawing fallback) {
    for (QString name : names) {
        name = name.trimmed();
        if (name.isEmpty()) continue;
        if (QDir::isAbsolutePath(name)) {
            if (auto images = imageFileImages(name); !images.empty()) return images;
            continue;
        }
        for (const QString& candidate : {name, QFileInfo(name).completeBaseName()}) {
            if (candidate.isEmpty() || !QIcon::hasThemeIcon(candidate)) continue;
            if (auto images = iconToImages(QIcon::fromTheme(candidate)); !images.empty()) return images;
        }
        if (const QString file = pixmapFile(name); !file.isEmpty())
            if (auto images = imageFileImages(file); !images.empty()) return images;
    }
    return fallbackImages(fallback);
}

// ---- desktop entries ----------------------------------------------------------------------

struct KeyFile {
    GKeyFile* kf = g_key_file_new();
    ~KeyFile() { g_key_file_free(kf); }
    bool load(const QString& path) {
        return g_key_file_load_from_file(kf, QFile::encodeName(path).constData(), G_KEY_FILE_NONE, nullptr);
    }
    QString get(const char* key) const {
        char* v = g_key_file_get_string(kf, "Desktop Entry", key, nullptr);
        const QString s = v ? QString::fromUtf8(v) : QString();
        g_free(v);
        return s;
    }
    bool flag(const char* key) const { return g_key_file_get_boolean(kf, "Desktop Entry", key, nullptr); }
};

// The program an Exec line starts, resolved through PATH; empty when it is not found.
QString execProgram(const QString& exec) {
    gint argc = 0;
    gchar** argv = nullptr;
    if (!g_shell_parse_argv(exec.toUtf8().constData(), &argc, &argv, nullptr)) return {};
    QString resolved;
    int i = 0;
    // "env VAR=value program ..." starts program.
    if (i < argc && qstrcmp(argv[i], "env") == 0) {
        ++i;
        while (i < argc && (argv[i][0] == '-' || std::strchr(argv[i], '=')))
            ++i;
    }
    if (i < argc) {
        if (gchar* found = g_find_program_in_path(argv[i])) {
            resolved = QFile::decodeName(found);
            g_free(found);
        }
    }
    g_strfreev(argv);
    return resolved;
}

// Program path -> Icon= of the desktop entry that starts it. Rebuilt when an applications
// folder changes or PATH does.
class ProgramIconIndex {
  public:
    QString iconFor(const QString& program) {
        refreshIfStale();
        const QString abs = QFileInfo(program).absoluteFilePath();
        if (auto it = byPath_.constFind(abs); it != byPath_.constEnd()) return *it;
        const QString canonical = QFileInfo(program).canonicalFilePath();
        if (auto it = byCanonical_.constFind(canonical);
            !canonical.isEmpty() && it != byCanonical_.constEnd())
            return *it;
        return {};
    }

  private:
    struct Stamp {
        QString dir;
        qint64 mtime;
    };

    static qint64 mtimeOf(const QString& dir) {
        struct stat st {};
        if (::stat(QFile::encodeName(dir).constData(), &st) != 0) return -1;
        return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }

    static QStringList applicationDirs() {
        QStringList dirs;
        if (const char* home = g_get_user_data_dir()) dirs << QString::fromLocal8Bit(home) + "/applications";
        for (const char* const* d = g_get_system_data_dirs(); d && *d; ++d)
            dirs << QString::fromLocal8Bit(*d) + "/applications";
        return dirs;
    }

    void refreshIfStale() {
        const QByteArray path = qgetenv("PATH");
        bool stale = !built_ || path != path_;
        for (const Stamp& s : stamps_) {
            if (stale) break;
            stale = mtimeOf(s.dir) != s.mtime;
        }
        if (stale) rebuild(path);
    }

    void rebuild(const QByteArray& path) {
        built_ = true;
        path_ = path;
        stamps_.clear();
        byPath_.clear();
        byCanonical_.clear();
        QSet<QString> seenIds;
        for (const QString& root : applicationDirs()) {
            stamps_.push_back({root, mtimeOf(root)});
            if (!QFileInfo(root).isDir()) continue;
            QDirIterator dirs(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (dirs.hasNext())
                stamps_.push_back({dirs.next(), 0});
            for (Stamp& s : stamps_)
                s.mtime = mtimeOf(s.dir);
            QDirIterator files(root, {QStringLiteral("*.desktop")}, QDir::Files,
                               QDirIterator::Subdirectories);
            while (files.hasNext()) {
                const QString file = files.next();
                // Desktop file ids: the path below applications/ with "/" as "-"; earlier
                // folders shadow later ones.
                QString id = file.mid(root.size() + 1);
                id.replace('/', '-');
                if (seenIds.contains(id)) continue;
                seenIds.insert(id);
                KeyFile kf;
                if (!kf.load(file) || kf.flag("Hidden")) continue;
                if (kf.get("Type") != QLatin1String("Application")) continue;
                const QString icon = kf.get("Icon");
                const QString program = execProgram(kf.get("Exec"));
                if (icon.isEmpty() || program.isEmpty()) continue;
                byPath_.insert(QFileInfo(program).absoluteFilePath(), icon);
                const QString canonical = QFileInfo(program).canonicalFilePath();
                if (!canonical.isEmpty() && !byCanonical_.contains(canonical))
                    byCanonical_.insert(canonical, icon);
            }
        }
    }

    bool built_ = false;
    QByteArray path_;
    std::vector<Stamp> stamps_;
    QHash<QString, QString> byPath_, byCanonical_;
};

ProgramIconIndex& programIcons() {
    static ProgramIconIndex index;
    return index;
}

// ---- sources ---------------------------------------------------------------------------------

enum class Kind { Missing, Plain, IconFile, Module, ShellLibrary, DesktopEntry, Program, DamagedIconFile };

// A file mapped for reading, classified by its content and name.
class Source {
  public:
    explicit Source(const QString& winFile) {
        if (winFile.trimmed().isEmpty()) return;
        host_ = hostPath(winFile);
        if (host_.isEmpty()) return;
        struct stat st {};
        if (::stat(QFile::encodeName(host_).constData(), &st) != 0) return;
        if (!S_ISREG(st.st_mode)) {
            kind_ = Kind::Plain; // folders and devices exist but hold no icons
            return;
        }
        file_.setFileName(host_);
        if (!file_.open(QIODevice::ReadOnly)) return;
        if (file_.size() > 0) {
            if (uchar* m = file_.map(0, file_.size())) bytes_ = iconres::Bytes(m, std::size_t(file_.size()));
        }
        const QString suffix = QFileInfo(host_).suffix().toLower();
        const bool executable = (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
        if (bytes_.size() >= std::size_t(kShellLibraryHeader.size()) &&
            std::equal(kShellLibraryHeader.begin(), kShellLibraryHeader.end(), bytes_.begin()))
            kind_ = Kind::ShellLibrary;
        else if (iconres::looksLikeModule(bytes_))
            kind_ = Kind::Module;
        else if (iconres::looksLikeIco(bytes_))
            kind_ = Kind::IconFile;
        else if (QStringList{"ico", "icl", "exe", "dll", "cpl", "scr", "ocx"}.contains(suffix))
            kind_ = Kind::DamagedIconFile;
        else if (suffix == QLatin1String("desktop"))
            kind_ = Kind::DesktopEntry;
        else if (executable)
            kind_ = Kind::Program;
        else
            kind_ = Kind::Plain;
    }

    int count() const {
        switch (kind_) {
        case Kind::Missing:
        case Kind::Plain:
        case Kind::DamagedIconFile:
            return 0;
        case Kind::IconFile:
            return iconres::readIco(bytes_).empty() ? 0 : 1;
        case Kind::Module:
            return std::max(0, iconres::moduleGroupCount(bytes_));
        case Kind::ShellLibrary:
            return int(shellNames().size());
        case Kind::DesktopEntry:
            return desktopIcon().isEmpty() ? 0 : 1;
        case Kind::Program:
            return 1;
        }
        return 0;
    }

    HICON extract(int index) const {
        switch (kind_) {
        case Kind::Missing:
        case Kind::DamagedIconFile:
            return 0;
        case Kind::Plain:
            return 1;
        case Kind::IconFile:
            return index == 0 ? newHandle(iconres::decodeGroup(iconres::readIco(bytes_))) : 0;
        case Kind::Module:
            return newHandle(iconres::decodeGroup(iconres::moduleGroup(bytes_, index)));
        case Kind::ShellLibrary: {
            const QStringList names = shellNames();
            if (index >= names.size()) return 0;
            const QStringList alternatives = names[index].split(' ', Qt::SkipEmptyParts);
            if (alternatives.isEmpty()) return 0;
            return newHandle(namedIconImages(alternatives, drawingFor(alternatives.first())));
        }
        case Kind::DesktopEntry: {
            const QString icon = desktopIcon();
            if (index != 0 || icon.isEmpty()) return 0;
            return newHandle(namedIconImages({icon}, Drawing::Program));
        }
        case Kind::Program: {
            if (index != 0) return 0;
            const QString icon = programIcons().iconFor(host_);
            return newHandle(
                namedIconImages({icon, QStringLiteral("application-x-executable")}, Drawing::Program));
        }
        }
        return 0;
    }

  private:
    QStringList shellNames() const {
        const QByteArray text(reinterpret_cast<const char*>(bytes_.data()),
                              qsizetype(std::min<std::size_t>(bytes_.size(), 1 << 20)));
        QList<QByteArray> lines = text.split('\n');
        if (!lines.isEmpty()) lines.removeFirst(); // the header
        if (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
        QStringList names;
        for (const QByteArray& l : lines)
            names << QString::fromUtf8(l.trimmed());
        return names;
    }

    QString desktopIcon() const {
        KeyFile kf;
        return kf.load(host_) ? kf.get("Icon") : QString();
    }

    QString host_;
    QFile file_;
    iconres::Bytes bytes_;
    Kind kind_ = Kind::Missing;
};

} // namespace

HICON ExtractIcon(const QString& winFile, int index) {
    if (index < -1) return 0;
    const Source source(winFile);
    if (index == -1) return source.count();
    return source.extract(index);
}

void DrawIcon(QPainter& painter, int x, int y, HICON icon) {
    const auto it = table().find(icon);
    if (it == table().end()) return;
    const IconRecord& rec = it->second;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (ratio <= 1.0) {
        painter.drawImage(QPoint(x, y), rec.face);
    } else {
        // On a dense screen the larger images give a sharp face of the same size.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(x, y, kFaceSide, kFaceSide),
                          *nearest(rec.images, int(std::lround(kFaceSide * ratio))));
    }
    painter.restore();
}

void DestroyIcon(HICON icon) {
    table().erase(icon);
}

std::vector<QImage> iconImages(HICON icon) {
    const auto it = table().find(icon);
    return it == table().end() ? std::vector<QImage>() : it->second.images;
}

int liveIconCount() {
    return int(table().size());
}

void setupIconTheme(const QString& extraSearchPath) {
    QStringList paths = QIcon::themeSearchPaths();
    for (const char* sys : {"/usr/local/share/icons", "/usr/share/icons"})
        if (!paths.contains(QLatin1String(sys))) paths << QLatin1String(sys);
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));

    if (!extraSearchPath.isEmpty()) {
        paths.removeAll(extraSearchPath);
        paths.prepend(extraSearchPath);
        QIcon::setThemeSearchPaths(paths);
        const QStringList themes =
            QDir(extraSearchPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& theme : themes)
            if (QFileInfo::exists(extraSearchPath + "/" + theme + "/index.theme")) {
                QIcon::setThemeName(theme);
                return;
            }
    }
    QIcon::setThemeSearchPaths(paths);

    auto complete = [] {
        return QIcon::hasThemeIcon(QStringLiteral("folder")) &&
               QIcon::hasThemeIcon(QStringLiteral("text-x-generic"));
    };
    const QString desktopTheme = QIcon::themeName();
    if (!desktopTheme.isEmpty() && desktopTheme != QLatin1String("hicolor") && complete()) return;
    for (const QString& dir : paths)
        if (QFileInfo::exists(dir + "/Adwaita/index.theme")) {
            QIcon::setThemeName(QStringLiteral("Adwaita"));
            if (complete()) return;
            break;
        }
    // What hicolor lacks is drawn by the program itself.
    QIcon::setThemeName(QStringLiteral("hicolor"));
}

void installShellIconLibrary() {
    const QString host = hostPath(GetSystemDirectory() + QStringLiteral("\\shell32.dll"));
    if (host.isEmpty() || QFileInfo::exists(host)) return;
    QDir().mkpath(QFileInfo(host).absolutePath());
    QSaveFile f(host);
    if (!f.open(QIODevice::WriteOnly)) return;
    QByteArray text = kShellLibraryHeader + '\n';
    for (const char* names : kShellIcons)
        text += QByteArray(names) + '\n';
    f.write(text);
    f.commit();
}

} // namespace plat
