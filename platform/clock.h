#pragma once
// The time source. The real clock reads the time of day; tests install a virtual clock that
// moves only when asked, so that waits take no real time.
#include <QTime>
#include <functional>

namespace plat {

class Clock {
  public:
    virtual ~Clock() = default;
    // Seconds since midnight (the runtime's Timer), with fractions.
    virtual double timer() = 0;
    // Time of day for the clock strip.
    virtual QTime timeOfDay() = 0;
    // Called by waiting loops between two rounds of event processing: the real clock sleeps a
    // few milliseconds, the virtual clock advances by a step.
    virtual void idle() = 0;
};

class VirtualClock : public Clock {
  public:
    explicit VirtualClock(double startSeconds = 12 * 3600.0, double stepSeconds = 0.05)
        : now_(startSeconds), step_(stepSeconds) {}
    double timer() override { return now_; }
    QTime timeOfDay() override;
    void idle() override;
    void advance(double seconds);
    void set(double secondsSinceMidnight) { now_ = secondsSinceMidnight; }
    // Called after every idle step (tests watch the splash through it).
    std::function<void()> onIdle;

  private:
    double now_;
    double step_;
};

Clock& clock();
// Installs a clock (not owned); nullptr goes back to the real clock.
void setClock(Clock* c);

} // namespace plat
