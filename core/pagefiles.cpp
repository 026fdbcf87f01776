// Reading and writing the settings file and the page files of the page on screen.
#include "core/filezelnori.h"
#include "core/splash.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/icons.h"
#include "platform/screen.h"
#include <cmath>

namespace core {

void FileZelnori::CreateDefaultFiles() {
    MakeWindowsDirCurrent();
    plat::writeTextFile(SettingsFile, defaultSettingsLines());
    plat::writeTextFile(pageFileName(1), defaultPageLines());
}

QString FileZelnori::ReadPageName(int n) {
    MakeWindowsDirCurrent();
    try {
        const QStringList lines = plat::readTextFile(pageFileName(n));
        return lines.size() >= 2 ? lines[1] : QString();
    } catch (const plat::RuntimeError&) {
        return QString(); // a page whose file is gone reads as an empty page without a name
    }
}

void FileZelnori::WriteSettings() {
    MakeWindowsDirCurrent();
    Settings s;
    s.pageCount = pageCount;
    s.optExtractDir = optExtractDir;
    s.width = Width();
    s.left = Left();
    s.backColor = BackColor();
    s.optMouseIcon = optMouseIcon;
    s.optRunStyle = optRunStyle;
    s.optAutoHide = optAutoHide;
    s.optNoTips = optNoTips;
    plat::writeTextFile(SettingsFile, formatSettings(s));
}

void FileZelnori::WritePage(int n) {
    MakeWindowsDirCurrent();
    pageFile = pageFileName(n);
    plat::writeTextFile(pageFile, formatPage(Caption(), entries()));
}

void FileZelnori::showEmptyPage(const QString& name) {
    setCaption(name);
    setWidth(1000);
    Ltime->resize(ScaleWidth(), Ltime->height());
    main->resize(ScaleWidth(), main->height());
    setEnabled(true);
    unsetCursor();
    btnCount = 0;
    btn[0]->hide();
    optMouseIcon = 1;
    optRunStyle = 1;
}

std::optional<PageData> FileZelnori::readPageFile(int n) {
    MakeWindowsDirCurrent();
    pageFile = pageFileName(n);
    try {
        return parsePage(plat::readTextFile(pageFile));
    } catch (const plat::RuntimeError&) {
        return std::nullopt; // a page whose file is gone or unreadable shows as an empty page
    }
}

void FileZelnori::ReadPage(int n) {
    const std::optional<PageData> data = readPageFile(n);
    if (!data || data->buttons.empty()) {
        showEmptyPage(data ? data->name : QString());
        return;
    }
    setCaption(data->name);
    Pchange[size_t(curPage)]->setText(data->name);
    plat::setBusyCursor(true);
    const int dropped = loadEntries(data->buttons, false);
    layoutAfterLoad();
    setEnabled(true);
    unsetCursor();
    btnCount = int(data->buttons.size()) - dropped;
    plat::setBusyCursor(false);
}

int FileZelnori::loadEntries(const std::vector<ButtonEntry>& entries, bool startup) {
    const int h = int(entries.size()) - 1;
    int s = 0;
    for (int i = 0; i <= h; ++i) {
        const int k = i - s;
        const ButtonEntry& e = entries[size_t(i)];
        btnPath[size_t(k)] = e.path;
        btnIconFile[size_t(k)] = e.iconFile;
        btnCaption[size_t(k)] = e.caption;
        btnIconIndex[size_t(k)] = e.iconIndex;
        if (startup && splash_) splash_->Label1->setText(QStringLiteral("Load in Progress - ") + e.caption);
        // The button and its icon.
        if (k > 0)
            LoadButton(k);
        else
            btn[0]->show();
        restoreButtonIcon(k);
        // Growth: at startup the clock strip counts too.
        const int need = H() * (k + 1) + main->height() + (startup ? Ltime->height() : 0);
        if (ScaleHeight() <= need) GrowPanel();
        // The share is rounded to a whole percentage, as the panel's fill always was (2 of 3 is 67).
        if (startup && splash_)
            splash_->SSPanel1->setPercent(h == 0 ? 100 : int(std::nearbyint(double(i) / h * 100)));
        // Targets that vanished are dropped without a word.
        if (e.path.isEmpty() || !plat::DirExists(e.path, 62)) {
            if (k == 0) {
                btn[0]->hide();
                btn[0]->setPicture(QPixmap());
            } else {
                // The slot, not the entry's place in the file: with entries dropped before it the
                // file's number is larger and the panel would keep a button's height of scrolling.
                UnloadButton(k);
                ShrinkPanel(k);
            }
            ++s;
        }
    }
    return s;
}

} // namespace core
