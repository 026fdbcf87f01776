// Startup of the main window: splash, placing the panel, the tool items, the settings and
// page 1.
#include "core/filezelnori.h"
#include "core/splash.h"
#include "core/tooltip.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/screen.h"
#include <QCoreApplication>

namespace core {

void Wait(double seconds) {
    plat::Clock& c = plat::clock();
    const double start = c.timer();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        double elapsed = c.timer() - start;
        if (elapsed < 0) elapsed += 86400.0; // past midnight
        if (elapsed >= seconds) break;
        c.idle();
    }
}

void FileZelnori::MakeWindowsDirCurrent() {
    plat::ChDrive(wdir.left(2));
    plat::ChDir(wdir);
}

bool FileZelnori::Form_Load() {
    // 1. One copy only.
    if (!plat::acquireSingleInstance()) return false;
    // 2. Dropped files reach dropEvent (accepted since the window was made).
    // 3. Tooltip state, hourglass over the window.
    tipWindow()->tipShown = 0;
    setCursor(Qt::WaitCursor);
    // 4. Splash, owned by this window so that it stays in front of the panel.
    splash_ = new Splash(this);
    splash_->Label1->clear();
    CenterForm(splash_);
    splash_->show();
    splash_->SSPanel1->setPercent(0);
    // 5. No input until one of the finish steps.
    setEnabled(false);
    // 7.
    splash_->Label1->setText(QStringLiteral("Load in Progress - Filling Backup"));
    // 8. The panel at the left edge, full screen height, provisional width.
    const QSize screen = plat::screenSizePx();
    setLeft(0);
    show();
    setTop(0);
    setHeight(plat::pxToTwips(screen.height()));
    setWidth((btn[0]->width() + VScroll1->width()) * 27);
    // 9.
    initialLayout();
    // 10, 11.
    wdir = plat::GetWindowsDirectory();
    sdir = plat::GetSystemDirectory();
    MakeWindowsDirCurrent();
    // 12. Tools whose program is in the Windows directory.
    const std::pair<const char*, QAction*> tools[] = {
        {"calc.exe", MAcalc},         {"cdplayer.exe", MAcdplayer}, {"defrag.exe", MDdefrag},
        {"drvspace.exe", MDdrvspace}, {"notepad.exe", MAnotepad},   {"mplayer.exe", MAmplayer},
        {"scandskw.exe", MDscandisk}, {"taskman.exe", MAtaskman},   {"write.exe", MAwrite},
        {"dialer.exe", MAdialer},     {"pbrush.exe", MApbrush},
    };
    for (const auto& [file, action] : tools)
        if (plat::DirExists(QString::fromLatin1(file), plat::vbNormal)) action->setEnabled(true);
    // 13, 14. The settings, made on the first start.
    if (!plat::DirExists(SettingsFile, plat::vbNormal)) CreateDefaultFiles();
    QStringList lines;
    try {
        lines = plat::readTextFile(SettingsFile);
    } catch (const plat::RuntimeError&) {
        lines.clear(); // an unreadable settings file starts like the first time
    }
    const Settings st = parseSettings(lines);
    pageCount = st.pageCount;
    // 15. First start.
    if (pageCount == 0) {
        pageCount = 1;
        // The first page's name as the new page file holds it, so that the first save keeps it.
        const QString name = ReadPageName(1);
        setCaption(name);
        Pchange[1]->setText(name);
        finishEmptyFirstPage();
        return true;
    }
    pageCount = std::clamp(pageCount, 1, MaxPages);
    // 16. The rest of the settings, applied in order.
    optExtractDir = st.optExtractDir;
    setWidth(st.width);
    setLeft(st.left);
    const int screenTw = plat::pxToTwips(screen.width());
    if (Left() > screenTw - Width()) setLeft(screenTw - Width());
    setBackColor(st.backColor);
    applyMousePointerSetting(st.optMouseIcon);
    optRunStyle = st.optRunStyle;
    optAutoHide = st.optAutoHide;
    optNoTips = st.optNoTips;
    // 17. Page names into the page menu.
    for (int n = 1; n <= pageCount; ++n)
        Pchange[size_t(n)]->setText(ReadPageName(n));
    // 18. Page 1.
    const std::optional<PageData> data = readPageFile(1);
    if (!data || data->buttons.empty()) {
        setCaption(data ? data->name : QString());
        finishEmptyFirstPage();
        return true;
    }
    setCaption(data->name);
    Pchange[1]->setText(data->name);
    const int dropped = loadEntries(data->buttons, true);
    finishLoadedFirstPage(int(data->buttons.size()) - 1, dropped);
    return true;
}

void FileZelnori::applyMousePointerSetting(int value) {
    if (value == 2 || value == 3) {
        btnMouseIcon = value;
        btnMousePointer = vbCustom;
        optMouseIcon = value;
    } else {
        optMouseIcon = 1;
        btnMouseIcon = 0;
        btnMousePointer = value;
    }
    applyButtonPointer(btn[0]);
}

// The last second of the splash, then the panel takes input.
void FileZelnori::closeSplash() {
    splash_->Label1->clear();
    splash_->Label3->setText(QStringLiteral("Thanks for waiting."));
    splash_->SSPanel1->setPercent(100);
    Wait(1);
    delete splash_;
    splash_ = nullptr;
    setEnabled(true);
    unsetCursor();
}

void FileZelnori::finishEmptyFirstPage() {
    Wait(1);
    setWidth(1000);
    Ltime->resize(ScaleWidth(), Ltime->height());
    main->resize(ScaleWidth(), main->height());
    closeSplash();
    btnCount = 0;
    curPage = 1;
    btn[0]->hide();
    optMouseIcon = 1;
    optRunStyle = 1;
    Timer2->start();
}

void FileZelnori::finishLoadedFirstPage(int h, int dropped) {
    layoutAfterLoad();
    closeSplash();
    btnCount = h + 1 - dropped;
    curPage = 1;
    Timer2->start();
}

void FileZelnori::layoutAfterLoad() {
    back->resize(btn[0]->width() + 13, back->height());
    table->resize(back->width() - 9, table->height());
    Ltime->resize(ScaleWidth(), Ltime->height());
    main->resize(ScaleWidth(), main->height());
    VScroll1->move(back->width(), VScroll1->y());
}

} // namespace core
