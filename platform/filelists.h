#pragma once
// The toolkit's drive list, folder list and file list controls over the drive mapping.
// Paths are Windows paths; entries are found through plat::Dir rules (hidden and system
// files only when asked).
#include <QComboBox>
#include <QListWidget>
#include <QString>

namespace plat {

// DriveListBox: Drive is "c:" style (lower-case letter and colon); Change fires when it changes.
class DriveListBox : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveListBox(QWidget* parent = nullptr);
    QString drive() const;
    void setDrive(const QString& drive); // accepts "C", "c:", "C:\path"
    void refresh();
  signals:
    void Change();
};

// DirListBox: Path is the open folder. The list holds the path's ancestors (opened) and its
// sub-folders. ListIndex -1 is Path itself, -2 its parent and so on; 0..ListCount-1 the
// sub-folders. List(i) is a full path. Change fires when Path changes.
class DirListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit DirListBox(QWidget* parent = nullptr);
    QString path() const;
    void setPath(const QString& winPath); // throws RuntimeError 76 for a missing folder
    int listCount() const;                // sub-folders
    int listIndex() const;
    void setListIndex(int index);
    QString list(int index) const;
    void refresh();
  signals:
    void Change();
    void Click();

  private:
    QString path_;
    QStringList ancestors_;
    QStringList subdirs_;
    int listIndex_ = -1;
    void rebuild();
};

// FileListBox: the files of Path matching Pattern ("*.*" by default, several separated by ";").
class FileListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit FileListBox(QWidget* parent = nullptr);
    QString path() const;
    void setPath(const QString& winPath);
    QString pattern() const;
    void setPattern(const QString& pattern);
    // The runtime's Hidden and System properties (named so as not to clash with QWidget's).
    bool hiddenFiles() const { return hidden_; }
    void setHiddenFiles(bool on);
    bool systemFiles() const { return system_; }
    void setSystemFiles(bool on);
    int listCount() const;
    int listIndex() const;
    void setListIndex(int index);
    QString list(int index) const; // file name
    QString fileName() const;      // the selected name, "" when none
    void refresh();
  signals:
    void PathChange();
    void PatternChange();
    void Click();

  private:
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    bool hidden_ = false;
    bool system_ = false;
};

} // namespace plat
