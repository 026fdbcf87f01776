#pragma once
// The data files: number forms, the settings file and the page files, as plain functions.
//
// zns14.ini: nine lines (pages, ask for the extraction folder, width, left edge, colour,
// mouse pointer, launch style, auto-hide, no tooltips). znP<n>.ini: the highest button index
// (or "999" for an empty page), the page name, then four lines per button (target, icon file,
// caption, icon index). Numbers carry a blank where a minus sign would stand.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace core {

constexpr int EmptyPageMarker = 999;
constexpr int MaxButtons = 999; // indexes 0 to 998: 999 is the empty-page marker
constexpr int MaxPages = 9;
inline const QString SettingsFile = QStringLiteral("zns14.ini");

// " 3", " 0", "-1".
QString Str(long long n);
// Lenient number reading: leading blanks skipped, the longest leading decimal number taken
// (sign, digits, one point, exponent), anything else reads 0. Also "&H" hex as the runtime did.
double Val(const QString& text);
// Val rounded to the nearest integer (halves to even, as the runtime's conversion did) and
// kept within the range of a 32-bit integer.
long long roundVal(const QString& text);
int intVal(const QString& text);

// "znP" + n + ".ini"
QString pageFileName(int n);

struct Settings {
    int pageCount = 1;
    int optExtractDir = 0;
    int width = 1000;          // twips
    int left = 0;              // twips
    long backColor = 0x800000; // &H00800000, dark blue
    int optMouseIcon = 1;      // line 6 as read (pointer value when not 2 or 3)
    int optRunStyle = 1;
    int optAutoHide = 0;
    int optNoTips = 0;
};

// Missing lines read 0, as an empty line does.
Settings parseSettings(const QStringList& lines);
QStringList formatSettings(const Settings& s);

struct ButtonEntry {
    QString path;
    QString iconFile;
    QString caption;
    int iconIndex = 0;
};

struct PageData {
    QString name;
    std::vector<ButtonEntry> buttons;
};

// Parses a page file. A file that ends early (also the single line "999" of a page that has
// not been saved yet) gives nullopt; the caller shows it as an empty page without a name.
std::optional<PageData> parsePage(const QStringList& lines);
QStringList formatPage(const QString& name, const std::vector<ButtonEntry>& buttons);

// The first-start files.
QStringList defaultSettingsLines(); // {"0"}
QStringList defaultPageLines();     // {"999", "ページ１"}

} // namespace core
