#pragma once
// The main window: the narrow panel pinned to the top-left corner of the screen.
//
// From top to bottom: the clock strip Ltime, the menu button main, and the viewport back in
// which the taller picture table carries one column of buttons btn(0), btn(1), ...; VScroll1
// scrolls table when the column does not fit. The window also owns the shared state of the
// page on screen (the button table, page count, current page and settings).
#include "core/datafiles.h"
#include "platform/dragdrop.h"
#include "platform/icons.h"
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class QMenu;
class QAction;
class Splash;

namespace core {

// A surface that reports mouse presses and moves to the window (the window surface, back,
// table and the clock strip).
class Surface : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
    std::function<void(int button, int shift, int x, int y)> onMouseDown;
    std::function<void(int button, int shift, int x, int y)> onMouseMove;

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
};

// One launcher button: shows a picture, no text.
class PanelButton : public QPushButton {
    Q_OBJECT
  public:
    PanelButton(int index, QWidget* parent);
    int index() const { return index_; }
    void setPicture(const QPixmap& picture);
    QPixmap picture() const { return picture_; }
    std::function<void(int index, int button, int shift, int x, int y)> onMouseDown;
    std::function<void(int index, int button, int shift, int x, int y)> onMouseMove;

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

  private:
    int index_;
    QPixmap picture_;
};

// Mouse button values of the handlers.
constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;

// Mouse pointer values.
constexpr int vbDefault = 0;
constexpr int vbArrow = 1;
constexpr int vbCustom = 99;

// The variants of the archive extraction flow, by caller.
enum class ExtractVariant { Click, Register, Drop, Change };

class FileZelnori : public QWidget {
    Q_OBJECT
  public:
    explicit FileZelnori(QWidget* parent = nullptr);
    ~FileZelnori() override;

    // ---- shared state of the page on screen ----
    std::array<QString, 1000> btnPath;
    std::array<QString, 1000> btnIconFile;
    std::array<QString, 1000> btnCaption;
    std::array<int, 1000> btnIconIndex{};
    int btnCount = 0;
    int pageCount = 1;
    int curPage = 1;
    int optExtractDir = 0;
    int optMouseIcon = 1;
    int optRunStyle = 1;
    int optAutoHide = 0;
    int optNoTips = 0;
    int panelMinHeight = 0;
    QString pageFile;
    int selBtn = 0;

    // Hidden value holders of the window.
    QString wdir;  // Windows directory
    QString sdir;  // System directory
    QString Text1; // last dropped name

    // ---- controls ----
    Surface* Ltime = nullptr;
    QPushButton* main = nullptr;
    Surface* back = nullptr;
    Surface* table = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QTimer* Timer2 = nullptr;
    std::vector<PanelButton*> btn; // btn[0] always exists; loaded elements follow
    QImage pic1;                   // 36 x 36 scratch picture for icon drawing
    QPixmap pic2;                  // its image, handed to buttons

    // ---- menus ----
    QMenu* Rightbot = nullptr;
    QMenu* Bt = nullptr;
    QMenu* kmenu = nullptr;
    // Rightbot
    QAction *filein = nullptr, *foldin = nullptr, *Cnewfile = nullptr, *ken1 = nullptr, *irun = nullptr,
            *ONHELP2 = nullptr, *ver = nullptr, *end = nullptr, *exwin2 = nullptr;
    // Bt
    QAction *Gfilecaption = nullptr, *filechange = nullptr, *del = nullptr, *Btchange = nullptr,
            *tch = nullptr, *chico = nullptr, *Ccopyfile = nullptr, *Cidofile = nullptr, *Cdelfile = nullptr,
            *rnm = nullptr, *ken2 = nullptr, *CViewer = nullptr, *Ckabe = nullptr, *Dkabe = nullptr,
            *SETPRINT = nullptr, *CPRINT = nullptr, *Cshortkat = nullptr, *Kzuke = nullptr, *Czoku = nullptr,
            *ONHELP3 = nullptr, *ver2 = nullptr, *prop = nullptr;
    // kmenu
    QAction *filein3 = nullptr, *foldin3 = nullptr, *Cnewfile3 = nullptr, *ken3 = nullptr, *pagein = nullptr,
            *pnchange = nullptr, *pagedel = nullptr, *conpane = nullptr, *skof = nullptr, *progman = nullptr,
            *winfile = nullptr, *exp = nullptr, *orun = nullptr, *ONHELP = nullptr, *ver3 = nullptr,
            *end3 = nullptr, *exwin = nullptr;
    std::array<QAction*, 10> Pchange{}; // 1 to 9
    QAction *MAnotepad = nullptr, *MAwrite = nullptr, *MDdefrag = nullptr, *MDdrvspace = nullptr,
            *MDscandisk = nullptr, *MAcalc = nullptr, *MAcdplayer = nullptr, *MAmplayer = nullptr,
            *MApbrush = nullptr, *MAtaskman = nullptr, *MAdialer = nullptr;

    // Pops a menu up at the pointer. Tests install popupHook to look at the menu instead.
    void PopupMenu(QMenu* menu);
    std::function<void(QMenu*)> popupHook;
    // Called when the program ends (after the files are written). Default: leave the event loop.
    std::function<void()> onEnd;

    // ---- window properties in the runtime's units ----
    int Width() const { return widthTw_; } // twips
    void setWidth(int twips);
    int Left() const { return leftTw_; } // twips
    void setLeft(int twips);
    int Top() const { return topTw_; }
    void setTop(int twips);
    int Height() const { return heightTw_; }
    void setHeight(int twips);
    int ScaleWidth() const;  // inner width, pixels
    int ScaleHeight() const; // inner height, pixels
    long BackColor() const { return backColor_; }
    void setBackColor(long bgr);
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& c) { setWindowTitle(c); }
    int H() const; // height of a button
    // Mouse pointer of btn(0) (copied by buttons loaded later) and its custom icon (2 fish, 3 cat).
    int btnMousePointer = vbDefault;
    int btnMouseIcon = 0;
    void applyButtonPointer(PanelButton* b) const;

    // ---- startup (the load handler) ----
    // Runs the whole start. False when another copy is running: the program ends at once.
    bool Form_Load();
    Splash* splash() const { return splash_; }

    // ---- data files ----
    void CreateDefaultFiles();
    QString ReadPageName(int n);
    void ReadPage(int n);  // page switch and deletion form
    void WritePage(int n); // throws plat::RuntimeError when the file cannot be written
    void WriteSettings();  // throws plat::RuntimeError
    void MakeWindowsDirCurrent();
    std::vector<ButtonEntry> entries() const;

    // ---- panel ----
    void LoadButton(int k);
    void UnloadButton(int k);
    void GrowPanel();
    void ShrinkPanel(int e);
    void VScroll1_Change();
    void VScroll1_Scroll();
    void Timer2_Timer();
    void Form_MouseDown(int button, int shift, int x, int y);
    void Form_MouseMove(int button, int shift, int x, int y);
    void back_MouseDown(int button, int shift, int x, int y);
    void back_MouseMove(int button, int shift, int x, int y);
    void table_MouseDown(int button, int shift, int x, int y);
    void table_MouseMove(int button, int shift, int x, int y);
    void Ltime_MouseDown(int button, int shift, int x, int y);
    void Ltime_MouseMove(int button, int shift, int x, int y);
    void end_Click();
    void end3_Click();
    // The unload: settings and the page on screen are written, then the program ends.
    // interactive: a failed save asks whether to end anyway (menu, close box); from outside
    // (signals, session end) it is only reported. Returns false when the user chose to stay.
    bool Form_Unload(bool interactive = true);
    // Scroll bar value kept within its maximum, table moved to match.
    void clampScroll();

    // ---- buttons: launching, archives, icons, registration, menus ----
    void btn_Click(int index);
    void ExtractArchive(const QString& path, ExtractVariant variant, plat::HDROP drop = 0);
    void SetButtonIcon(const QString& path);
    void clearPic1();
    void drawPic1(plat::HICON h);
    void transferPicture(int k); // pic1 -> pic2 -> btn(k)
    void restoreButtonIcon(int i);
    void RegisterFile(const QString& path);
    void filein_Click();
    void foldin_Click();
    void WinMsg1_Message(unsigned msg, plat::HDROP wParam);
    void addControl(int k);
    void growPanelSteps12();
    void growPanelStep3();
    bool isDuplicate(const QString& path, bool systemModal);
    // A page holds at most 999 buttons; a further one is refused with a message.
    bool pageFull(bool systemModal);
    // Registers a folder button (dialog and drop). False when refused.
    bool registerFolder(const QString& path, bool systemModal);
    // Registers a file button whose path is known not to be an archive. False when refused.
    bool registerPlainFile(const QString& path, bool systemModal);
    void btn_MouseDown(int index, int button, int shift, int x, int y);
    void btn_MouseMove(int index, int button, int shift, int x, int y);
    void main_Click();
    void main_MouseMove(int button, int shift, int x, int y);
    void Gfilecaption_Click();
    void ver_Click();
    void ONHELP_Click();

    // ---- pages ----
    void pagein_Click();
    void Pchange_Click(int index);
    void pnchange_Click();
    void pagedel_Click();
    void clearPanel();
    void resetPanel();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void createControls();
    void createMenus();
    void initialLayout();
    void placeWindow();
    void closeSplash();
    void finishEmptyFirstPage();
    void finishLoadedFirstPage(int h, int dropped);
    void layoutAfterLoad();
    // Loads entries into slots; startup adds the splash texts and its own growth test.
    int loadEntries(const std::vector<ButtonEntry>& entries, bool startup);
    void showEmptyPage(const QString& name);
    // The page file of page n, parsed; nullopt when it is missing, unreadable or ends early.
    std::optional<PageData> readPageFile(int n);
    void applyMousePointerSetting(int value);
    void reportSaveError(const QString& file, const QString& why);

    int widthTw_ = 1000;
    int leftTw_ = 0;
    int topTw_ = 0;
    int heightTw_ = 0;
    long backColor_ = 0x800000;
    Splash* splash_ = nullptr;
    bool ended_ = false;
};

// CenterForm: places a form in the middle of the screen.
void CenterForm(QWidget* form);
// Wait: processes window events until the given seconds have passed on the clock.
void Wait(double seconds);

// The main window of the running program (nullptr before it exists).
FileZelnori* mainWindow();

} // namespace core
