#include "clock.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

namespace plat {

namespace {

class RealClock : public Clock {
  public:
    double timer() override { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }
    QTime timeOfDay() override { return QTime::currentTime(); }
    void idle() override { QThread::msleep(10); }
};

RealClock g_real;
Clock* g_clock = nullptr;

} // namespace

QTime VirtualClock::timeOfDay() {
    return QTime::fromMSecsSinceStartOfDay(int(now_ * 1000) % 86400000);
}

void VirtualClock::idle() {
    advance(step_);
    if (onIdle) onIdle();
}

void VirtualClock::advance(double seconds) {
    now_ += seconds;
    while (now_ >= 86400.0)
        now_ -= 86400.0;
}

Clock& clock() {
    return g_clock ? *g_clock : g_real;
}
void setClock(Clock* c) {
    g_clock = c;
}

} // namespace plat
