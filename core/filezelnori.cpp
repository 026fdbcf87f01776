#include "filezelnori.h"
#include "core/cursors.h"
#include "core/splash.h"
#include "core/tooltip.h"
#include "platform/drives.h"
#include "platform/instance.h"
#include "platform/screen.h"
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QUrl>

namespace core {

namespace {
FileZelnori* g_main = nullptr;

int shiftState(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier) s |= 1;
    if (m & Qt::ControlModifier) s |= 2;
    if (m & Qt::AltModifier) s |= 4;
    return s;
}

int buttonValue(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return vbLeftButton;
    case Qt::RightButton:
        return vbRightButton;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int buttonsValue(Qt::MouseButtons b) {
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

// Colours are kept as the runtime's Long: red in the low byte.
QColor fromBgr(long v) {
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}
} // namespace

FileZelnori* mainWindow() {
    return g_main;
}

// ---- Surface ----

void Surface::mousePressEvent(QMouseEvent* e) {
    if (onMouseDown)
        onMouseDown(buttonValue(e->button()), shiftState(e->modifiers()), int(e->position().x()),
                    int(e->position().y()));
    else
        QLabel::mousePressEvent(e);
}

void Surface::mouseMoveEvent(QMouseEvent* e) {
    if (onMouseMove)
        onMouseMove(buttonsValue(e->buttons()), shiftState(e->modifiers()), int(e->position().x()),
                    int(e->position().y()));
    QLabel::mouseMoveEvent(e);
}

// ---- PanelButton ----

PanelButton::PanelButton(int index, QWidget* parent) : QPushButton(parent), index_(index) {
    setObjectName(QStringLiteral("btn(%1)").arg(index));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    // Presses and moves the button does not use itself stay here: the table under it would
    // hide the button's tooltip and pop up the panel menu over the button menu.
    setAttribute(Qt::WA_NoMousePropagation);
}

void PanelButton::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PanelButton::mousePressEvent(QMouseEvent* e) {
    if (onMouseDown)
        onMouseDown(index_, buttonValue(e->button()), shiftState(e->modifiers()), int(e->position().x()),
                    int(e->position().y()));
    QPushButton::mousePressEvent(e);
}

void PanelButton::mouseMoveEvent(QMouseEvent* e) {
    if (onMouseMove)
        onMouseMove(index_, buttonsValue(e->buttons()), shiftState(e->modifiers()), int(e->position().x()),
                    int(e->position().y()));
    QPushButton::mouseMoveEvent(e);
}

void PanelButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    opt.icon = QIcon();
    style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
    if (!picture_.isNull()) {
        // The 36 x 36 face is centred; a pressed button shifts it by one pixel.
        QPoint at((width() - picture_.width()) / 2, (height() - picture_.height()) / 2);
        if (isDown()) at += QPoint(1, 1);
        p.setClipRect(rect().adjusted(2, 2, -2, -2));
        p.drawPixmap(at, picture_);
    }
}

// ---- FileZelnori ----

FileZelnori::FileZelnori(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    g_main = this;
    setObjectName("FileZelnori");
    setAcceptDrops(true);
    setMouseTracking(true);
    setAutoFillBackground(true);
    onEnd = [] { QCoreApplication::quit(); };
    pic1 = QImage(36, 36, QImage::Format_ARGB32_Premultiplied);
    pic1.fill(Qt::transparent);
    createControls();
    createMenus();
    setBackColor(0x800000);
    setWidth(1000);
}

FileZelnori::~FileZelnori() {
    if (g_main == this) g_main = nullptr;
    delete splash_;
    plat::releaseSingleInstance();
}

void FileZelnori::createControls() {
    using plat::twipsToPx;
    Ltime = new Surface(this);
    Ltime->setObjectName("Ltime");
    Ltime->setAutoFillBackground(true);
    QPalette lp = Ltime->palette();
    lp.setColor(QPalette::Window, fromBgr(0xC00000));
    lp.setColor(QPalette::WindowText, fromBgr(0x00FFFF));
    Ltime->setPalette(lp);
    Ltime->setAlignment(Qt::AlignCenter);
    Ltime->setMouseTracking(true);
    Ltime->resize(twipsToPx(900), twipsToPx(216));
    Ltime->onMouseDown = [this](int b, int s, int x, int y) { Ltime_MouseDown(b, s, x, y); };
    Ltime->onMouseMove = [this](int b, int s, int x, int y) { Ltime_MouseMove(b, s, x, y); };

    main = new QPushButton(QStringLiteral("ぬもメニュ"), this);
    main->setObjectName("main");
    main->resize(twipsToPx(930), twipsToPx(300));
    main->setMouseTracking(true);
    main->setFocusPolicy(Qt::NoFocus);
    connect(main, &QPushButton::clicked, this, [this] { main_Click(); });
    main->installEventFilter(this);
    // Each control reports its own mouse events; none reach the surface under it.
    for (QWidget* c : {static_cast<QWidget*>(Ltime), static_cast<QWidget*>(main)})
        c->setAttribute(Qt::WA_NoMousePropagation);

    back = new Surface(this);
    back->setObjectName("back");
    back->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    back->setMouseTracking(true);
    back->onMouseDown = [this](int b, int s, int x, int y) { back_MouseDown(b, s, x, y); };
    back->onMouseMove = [this](int b, int s, int x, int y) { back_MouseMove(b, s, x, y); };

    table = new Surface(back);
    table->setObjectName("table");
    table->setAutoFillBackground(true);
    QPalette tp = table->palette();
    tp.setColor(QPalette::Window, fromBgr(0xE0E0E0));
    table->setPalette(tp);
    table->setMouseTracking(true);
    table->onMouseDown = [this](int b, int s, int x, int y) { table_MouseDown(b, s, x, y); };
    table->onMouseMove = [this](int b, int s, int x, int y) { table_MouseMove(b, s, x, y); };
    back->setAttribute(Qt::WA_NoMousePropagation);
    table->setAttribute(Qt::WA_NoMousePropagation);

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName("VScroll1");
    VScroll1->setRange(0, 0);
    VScroll1->setSingleStep(40);
    VScroll1->setPageStep(40);
    VScroll1->resize(twipsToPx(228), VScroll1->height());
    VScroll1->hide();
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
    connect(VScroll1, &QScrollBar::sliderMoved, this, [this] { VScroll1_Scroll(); });

    auto* b0 = new PanelButton(0, table);
    b0->setGeometry(0, twipsToPx(12), twipsToPx(480), twipsToPx(468));
    b0->onMouseDown = [this](int i, int b, int s, int x, int y) { btn_MouseDown(i, b, s, x, y); };
    b0->onMouseMove = [this](int i, int b, int s, int x, int y) { btn_MouseMove(i, b, s, x, y); };
    connect(b0, &QPushButton::clicked, this, [this] { btn_Click(0); });
    btn.push_back(b0);

    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(100);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
}

bool FileZelnori::eventFilter(QObject* watched, QEvent* event) {
    if (watched == main && event->type() == QEvent::MouseMove) {
        auto* e = static_cast<QMouseEvent*>(event);
        main_MouseMove(buttonsValue(e->buttons()), shiftState(e->modifiers()), int(e->position().x()),
                       int(e->position().y()));
    }
    return QWidget::eventFilter(watched, event);
}

int FileZelnori::H() const {
    return btn[0]->height();
}

void FileZelnori::setWidth(int twips) {
    widthTw_ = twips;
    setFixedWidth(std::max(1, plat::twipsToPx(twips)));
}

void FileZelnori::setLeft(int twips) {
    leftTw_ = twips;
    move(plat::twipsToPx(leftTw_), plat::twipsToPx(topTw_));
}

void FileZelnori::setTop(int twips) {
    topTw_ = twips;
    move(plat::twipsToPx(leftTw_), plat::twipsToPx(topTw_));
}

void FileZelnori::setHeight(int twips) {
    heightTw_ = twips;
    setFixedHeight(std::max(1, plat::twipsToPx(twips)));
}

int FileZelnori::ScaleWidth() const {
    return width();
}
int FileZelnori::ScaleHeight() const {
    return height();
}

void FileZelnori::setBackColor(long bgr) {
    backColor_ = bgr;
    QPalette p = palette();
    p.setColor(QPalette::Window, fromBgr(bgr));
    setPalette(p);
}

void FileZelnori::applyButtonPointer(PanelButton* b) const {
    if (btnMousePointer == vbCustom && (btnMouseIcon == 2 || btnMouseIcon == 3))
        b->setCursor(programCursor(btnMouseIcon));
    else if (btnMousePointer == vbDefault)
        b->unsetCursor();
    else
        b->setCursor(pointerShape(btnMousePointer));
}

void FileZelnori::PopupMenu(QMenu* menu) {
    if (popupHook) {
        popupHook(menu);
        return;
    }
    menu->exec(plat::GetCursorPos());
}

void FileZelnori::mousePressEvent(QMouseEvent* e) {
    Form_MouseDown(buttonValue(e->button()), shiftState(e->modifiers()), int(e->position().x()),
                   int(e->position().y()));
}

void FileZelnori::mouseMoveEvent(QMouseEvent* e) {
    Form_MouseMove(buttonsValue(e->buttons()), shiftState(e->modifiers()), int(e->position().x()),
                   int(e->position().y()));
}

void FileZelnori::closeEvent(QCloseEvent* e) {
    if (ended_ || Form_Unload(true))
        e->accept();
    else
        e->ignore();
}

void FileZelnori::dragEnterEvent(QDragEnterEvent* e) {
    if (isEnabled() && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void FileZelnori::dropEvent(QDropEvent* e) {
    QStringList items;
    for (const QUrl& u : e->mimeData()->urls())
        if (u.isLocalFile()) items << plat::windowsPath(u.toLocalFile());
    if (items.isEmpty()) return;
    e->acceptProposedAction();
    WinMsg1_Message(0x233, plat::makeDrop(items));
}

std::vector<ButtonEntry> FileZelnori::entries() const {
    std::vector<ButtonEntry> out;
    for (int i = 0; i < btnCount; ++i)
        out.push_back({btnPath[i], btnIconFile[i], btnCaption[i], btnIconIndex[i]});
    return out;
}

void CenterForm(QWidget* form) {
    const QSize s = plat::screenSizePx();
    form->move((s.width() - form->width()) / 2, (s.height() - form->height()) / 2);
}

} // namespace core
