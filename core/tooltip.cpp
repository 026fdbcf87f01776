#include "tooltip.h"
#include "platform/screen.h"
#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPointer>

namespace {

class TipPicture : public QWidget {
  public:
    using QWidget::QWidget;
    QString text;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(255, 255, 192));
        p.setFont(font());
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, width(), height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }
};

QPointer<frmToolTip> g_tip;

} // namespace

frmToolTip::frmToolTip(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                          Qt::WindowStaysOnTopHint) {
    setObjectName("frmToolTip");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    picToolTip = new TipPicture(this);
    picToolTip->setObjectName("picToolTip");
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSizeF(10.8);
    picToolTip->setFont(f);
    tmrToolTip = new QTimer(this);
    tmrToolTip->setInterval(50);
    connect(tmrToolTip, &QTimer::timeout, this, &frmToolTip::tmrToolTip_Timer);
}

QString frmToolTip::paddedText(const QString& text) {
    return " " + text.trimmed() + "  ";
}

void frmToolTip::ShowTip(const QString& text) {
    tmrToolTip->stop();
    if (text.isEmpty()) {
        tipShown = 0;
        hide();
        return;
    }
    tipText = text;
    // A box hidden while its tick was drawing it is marked shown but is not on screen: the
    // same text must bring it back.
    if (text != lastTip || !isVisible()) tipShown = 0;
    lastTip = text;
    tmrToolTip->start();
}

void frmToolTip::tmrToolTip_Timer() {
    if (tipShown == -1) return;
    const QString s = paddedText(tipText);
    const QFontMetricsF fm(picToolTip->font());
    const int w = int(fm.horizontalAdvance(s) + 0.5);
    const int h = int(fm.height() * 1.1 + 0.5);
    picToolTip->setGeometry(0, 0, w, h);
    const QPoint pt = plat::GetCursorPos();
    setGeometry(int(pt.x() - 0.1 * w), pt.y() + h, w, h);
    show();
    QApplication::processEvents();
    auto* pic = static_cast<TipPicture*>(picToolTip);
    pic->text = s;
    shown_ = s;
    pic->update();
    tipShown = -1;
}

frmToolTip* tipWindow() {
    if (!g_tip) g_tip = new frmToolTip();
    return g_tip;
}

void ShowTip(const QString& text) {
    tipWindow()->ShowTip(text);
}

void destroyToolTip() {
    delete g_tip.data();
}
