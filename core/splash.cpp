#include "splash.h"
#include "platform/screen.h"
#include <QPainter>
#include <QStyleOption>
#include <qdrawutil.h>

using plat::twipsToPx;

void ProgressPanel::setPercent(int p) {
    percent_ = std::clamp(p, 0, 100);
    repaint();
    emit percentSet(percent_);
}

void ProgressPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, palette().color(QPalette::Button));
    qDrawShadePanel(&p, r, palette(), true, 2);
    QRect inner = r.adjusted(3, 3, -3, -3);
    QRect fill = inner;
    fill.setWidth(inner.width() * percent_ / 100);
    p.fillRect(fill, QColor(0, 0, 128));
    const QString text = QString::number(percent_) + "%";
    // The percentage reads white over the bar and dark blue beside it.
    p.setPen(QColor(0, 0, 128));
    p.drawText(inner, Qt::AlignCenter, text);
    p.setClipRect(fill);
    p.setPen(Qt::white);
    p.drawText(inner, Qt::AlignCenter, text);
}

Splash::Splash(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName("Splash");
    setFixedSize(twipsToPx(4740), twipsToPx(2580));
    auto place = [](QWidget* w, int l, int t, int wd, int ht) {
        w->setGeometry(twipsToPx(l), twipsToPx(t), twipsToPx(wd), twipsToPx(ht));
    };
    SSPanel2 = new QWidget(this);
    place(SSPanel2, 36, 36, 4692, 2532);
    Label2 = new QLabel(QStringLiteral("ぬもZelnori Ver.1.40"), this);
    Label2->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 14));
    place(Label2, 120, 360, 4452, 372);
    Label2->setAlignment(Qt::AlignCenter);
    Label3 = new QLabel(QStringLiteral("Please wait ..."), this);
    Label3->setFont(QFont(QStringLiteral("Arial"), 8));
    Label3->setStyleSheet("color: red");
    place(Label3, 1920, 960, 1152, 216);
    Label1 = new QLabel(this);
    Label1->setFont(QFont(QStringLiteral("Arial"), 8));
    place(Label1, 120, 1320, 4452, 192);
    SSPanel1 = new ProgressPanel(this);
    place(SSPanel1, 132, 1680, 4452, 372);
}

void Splash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    qDrawShadePanel(&p, rect(), palette(), false, 2);
    qDrawShadePanel(&p, SSPanel2->geometry(), palette(), true, 1);
}
