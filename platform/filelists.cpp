// The drive, folder and file list controls.
#include "filelists.h"
#include "drives.h"
#include "errors.h"
#include "files.h"
#include <QFileInfo>
#include <QIcon>
#include <algorithm>

namespace plat {

namespace {

const QString kPathNotFound = QStringLiteral("パスが見つかりません。");

// "C:\" stays, "C:\WINDOWS\" loses its trailing separator.
QString trimmed(const QString& p) {
    QString s = p;
    while (s.size() > 3 && s.endsWith(u'\\'))
        s.chop(1);
    return s;
}

QString join(const QString& dir, const QString& name) {
    return dir.endsWith(u'\\') ? dir + name : dir + u'\\' + name;
}

// A drive alone ("c:", "C") means that drive's current folder.
QString resolveFolder(const QString& winPath) {
    const QString p = winPath.trimmed();
    if ((p.size() == 1 && p[0].isLetter()) || (p.size() == 2 && p[0].isLetter() && p[1] == u':')) {
        return trimmed(CurDir(p.left(1)));
    }
    return trimmed(fullPath(p));
}

void requireFolder(const QString& winPath) {
    const QString host = hostPath(winPath);
    if (host.isEmpty() || !QFileInfo(host).isDir()) throw RuntimeError(ErrPathNotFound, kPathNotFound);
}

bool lessNoCase(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

QString currentFolder() {
    try {
        return trimmed(CurDir());
    } catch (const RuntimeError&) {
        return QStringLiteral("C:\\");
    }
}

} // namespace

// ---- DriveListBox ----

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    refresh();
    const QString cur = currentFolder();
    if (!cur.isEmpty()) {
        QSignalBlocker block(this);
        setCurrentIndex(findData(cur.left(1).toLower()));
    }
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit Change(); });
}

QString DriveListBox::drive() const {
    const QString letter = currentData().toString();
    return letter.isEmpty() ? QString() : letter + u':';
}

void DriveListBox::setDrive(const QString& drive) {
    const QString letter = drive.trimmed().left(1).toLower();
    const int index = letter.isEmpty() ? -1 : findData(letter);
    if (index < 0) throw RuntimeError(ErrDeviceUnavailable, QStringLiteral("デバイスが準備されていません。"));
    setCurrentIndex(index); // fires Change when it is another drive
}

void DriveListBox::refresh() {
    QSignalBlocker block(this);
    const QString keep = currentData().toString();
    clear();
    for (const QString& letter : driveLetters()) {
        const QString root = driveRoot(letter[0]);
        // Drives other than C: show the folder they stand for, like a volume label.
        QString text = letter + u':';
        if (letter != u"c") text += QStringLiteral(" [") + root + u']';
        addItem(QIcon::fromTheme(QStringLiteral("drive-harddisk")), text, letter);
    }
    const int index = findData(keep);
    if (index >= 0) setCurrentIndex(index);
}

// ---- DirListBox ----

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    path_ = currentFolder();
    rebuild();
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int r = row(item);
        const int n = int(ancestors_.size());
        listIndex_ = r - n;
        emit Click();
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int r = row(item);
        const int n = int(ancestors_.size());
        const QString target = list(r - n);
        if (!target.isEmpty()) setPath(target);
    });
}

QString DirListBox::path() const {
    return path_;
}

void DirListBox::setPath(const QString& winPath) {
    const QString p = resolveFolder(winPath);
    requireFolder(p);
    const bool changed = p.compare(path_, Qt::CaseInsensitive) != 0;
    path_ = p;
    rebuild();
    if (changed) emit Change();
}

int DirListBox::listCount() const {
    return int(subdirs_.size());
}
int DirListBox::listIndex() const {
    return listIndex_;
}

void DirListBox::setListIndex(int index) {
    const int n = int(ancestors_.size());
    if (index < -n || index >= listCount())
        throw RuntimeError(ErrInvalidCall, QStringLiteral("プロシージャの呼び出し、または引数が不正です。"));
    listIndex_ = index;
    setCurrentRow(index + n);
    emit Click();
}

QString DirListBox::list(int index) const {
    const int n = int(ancestors_.size());
    if (index >= 0) return index < listCount() ? subdirs_[index] : QString();
    return index >= -n ? ancestors_[n + index] : QString();
}

void DirListBox::refresh() {
    // The folder may have gone meanwhile: fall back to the nearest one still there.
    QString p = path_;
    while (true) {
        const QString host = hostPath(p);
        if (!host.isEmpty() && QFileInfo(host).isDir()) break;
        const qsizetype cut = p.lastIndexOf(u'\\');
        if (cut < 0 || p.size() <= 3) break;
        p = trimmed(p.left(cut + 1));
    }
    if (p != path_) {
        path_ = p;
        rebuild();
        emit Change();
    } else {
        rebuild();
    }
}

void DirListBox::rebuild() {
    ancestors_.clear();
    subdirs_.clear();
    // C:\WINDOWS\SYSTEM -> C:\, C:\WINDOWS, C:\WINDOWS\SYSTEM
    if (path_.size() >= 2) {
        const QString root = path_.left(2) + u'\\';
        ancestors_ << root;
        const QStringList parts = path_.mid(3).split(u'\\', Qt::SkipEmptyParts);
        QString at = root;
        for (const QString& part : parts) {
            at = join(at, part);
            ancestors_ << at;
        }
    }
    QStringList names;
    try {
        for (const QString& name : Dir(join(path_, QStringLiteral("*.*")), vbDirectory)) {
            if (name == u"." || name == u"..") continue;
            try {
                if (GetAttr(join(path_, name)) & vbDirectory) names << name;
            } catch (const RuntimeError&) {
            }
        }
    } catch (const RuntimeError&) {
    }
    std::sort(names.begin(), names.end(), lessNoCase);
    for (const QString& name : names)
        subdirs_ << join(path_, name);

    QSignalBlocker block(this);
    clear();
    const QIcon open =
        QIcon::fromTheme(QStringLiteral("folder-open"), QIcon::fromTheme(QStringLiteral("folder")));
    const QIcon closed = QIcon::fromTheme(QStringLiteral("folder"));
    int depth = 0;
    for (const QString& a : ancestors_) {
        const QString shown = depth == 0 ? a.toLower() : a.section(u'\\', -1);
        addItem(new QListWidgetItem(open, QString(depth * 2, u' ') + shown));
        ++depth;
    }
    for (const QString& name : names)
        addItem(new QListWidgetItem(closed, QString(depth * 2, u' ') + name));
    listIndex_ = -1;
    setCurrentRow(int(ancestors_.size()) - 1);
}

// ---- FileListBox ----

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    path_ = currentFolder();
    refresh();
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { emit Click(); });
}

QString FileListBox::path() const {
    return path_;
}

void FileListBox::setPath(const QString& winPath) {
    const QString p = resolveFolder(winPath);
    requireFolder(p);
    path_ = p;
    refresh();
    emit PathChange();
}

QString FileListBox::pattern() const {
    return pattern_;
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern.isEmpty() ? QStringLiteral("*.*") : pattern;
    refresh();
    emit PatternChange();
}

void FileListBox::setHiddenFiles(bool on) {
    hidden_ = on;
    refresh();
}

void FileListBox::setSystemFiles(bool on) {
    system_ = on;
    refresh();
}

int FileListBox::listCount() const {
    return count();
}
int FileListBox::listIndex() const {
    return currentRow();
}

void FileListBox::setListIndex(int index) {
    if (index < -1 || index >= count())
        throw RuntimeError(ErrInvalidCall, QStringLiteral("プロシージャの呼び出し、または引数が不正です。"));
    setCurrentRow(index);
    emit Click();
}

QString FileListBox::list(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

QString FileListBox::fileName() const {
    return listIndex() >= 0 ? list(listIndex()) : QString();
}

void FileListBox::refresh() {
    const int mask = (hidden_ ? vbHidden : 0) | (system_ ? vbSystem : 0);
    QStringList names;
    for (const QString& part : pattern_.split(u';', Qt::SkipEmptyParts)) {
        const QString pat = part.trimmed();
        if (pat.isEmpty()) continue;
        try {
            for (const QString& name : Dir(join(path_, pat), mask)) {
                if (!names.contains(name)) names << name;
            }
        } catch (const RuntimeError&) {
        }
    }
    std::sort(names.begin(), names.end(), lessNoCase);
    QSignalBlocker block(this);
    const QString keep = fileName();
    clear();
    const QIcon doc = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    for (const QString& name : names)
        addItem(new QListWidgetItem(doc, name));
    const int index = names.indexOf(keep);
    setCurrentRow(keep.isEmpty() ? -1 : index);
}

} // namespace plat
