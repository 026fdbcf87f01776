#include "datafiles.h"
#include <cmath>
#include <limits>

namespace core {

QString Str(long long n) {
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}

double Val(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == QChar(0x3000)))
            ++i;
    };
    skipBlanks();
    if (i + 1 < n && text[i] == '&' && (text[i + 1] == 'H' || text[i + 1] == 'h')) {
        long long v = 0;
        int digits = 0;
        for (i += 2; i < n && digits < 16; ++i, ++digits) {
            int d = QString("0123456789ABCDEF").indexOf(text[i].toUpper());
            if (d < 0) break;
            v = v * 16 + d;
        }
        return double(v);
    }
    QString num;
    if (i < n && (text[i] == '+' || text[i] == '-')) num += text[i++];
    skipBlanks();
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128)
        num += text[i++], digits = true;
    if (i < n && text[i] == '.') {
        num += text[i++];
        while (i < n && text[i].isDigit() && text[i].unicode() < 128)
            num += text[i++], digits = true;
    }
    if (!digits) return 0.0;
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        int j = i + 1;
        QString exp = "e";
        if (j < n && (text[j] == '+' || text[j] == '-')) exp += text[j++];
        bool expDigits = false;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128)
            exp += text[j++], expDigits = true;
        if (expDigits) num += exp;
    }
    bool ok = false;
    double v = num.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

long long roundVal(const QString& text) {
    double v = std::nearbyint(Val(text)); // the default rounding mode rounds halves to even
    if (v > double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (v < double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return (long long)v;
}

int intVal(const QString& text) {
    return int(roundVal(text));
}

QString pageFileName(int n) {
    return QStringLiteral("znP%1.ini").arg(n);
}

Settings parseSettings(const QStringList& lines) {
    auto line = [&](int i) { return i < lines.size() ? lines[i] : QString(); };
    Settings s;
    s.pageCount = intVal(line(0));
    s.optExtractDir = intVal(line(1));
    s.width = intVal(line(2));
    s.left = intVal(line(3));
    s.backColor = long(roundVal(line(4)));
    s.optMouseIcon = intVal(line(5));
    s.optRunStyle = intVal(line(6));
    s.optAutoHide = intVal(line(7));
    s.optNoTips = intVal(line(8));
    return s;
}

QStringList formatSettings(const Settings& s) {
    return {Str(s.pageCount),    Str(s.optExtractDir), Str(s.width),       Str(s.left),     Str(s.backColor),
            Str(s.optMouseIcon), Str(s.optRunStyle),   Str(s.optAutoHide), Str(s.optNoTips)};
}

std::optional<PageData> parsePage(const QStringList& lines) {
    if (lines.size() < 2) return std::nullopt;
    const int h = intVal(lines[0]);
    PageData page;
    page.name = lines[1];
    if (h == EmptyPageMarker) return page;
    if (h < 0 || h >= MaxButtons) return std::nullopt;
    if (lines.size() < 2 + 4 * (h + 1)) return std::nullopt;
    page.buttons.reserve(size_t(h + 1));
    for (int i = 0; i <= h; ++i) {
        const int at = 2 + 4 * i;
        page.buttons.push_back({lines[at], lines[at + 1], lines[at + 2], intVal(lines[at + 3])});
    }
    return page;
}

QStringList formatPage(const QString& name, const std::vector<ButtonEntry>& buttons) {
    QStringList out;
    if (buttons.empty()) return {QString::number(EmptyPageMarker), name};
    out << Str((long long)buttons.size() - 1) << name;
    for (const ButtonEntry& b : buttons)
        out << b.path << b.iconFile << b.caption << Str(b.iconIndex);
    return out;
}

QStringList defaultSettingsLines() {
    return {QStringLiteral("0")};
}
QStringList defaultPageLines() {
    return {QStringLiteral("999"), QStringLiteral("ページ１")};
}

} // namespace core
