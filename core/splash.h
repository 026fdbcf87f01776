#pragma once
// The splash window shown while the program starts: title, a red note, the status line and a
// progress bar drawn as a 3D panel filled from the left.
#include <QLabel>
#include <QWidget>

class ProgressPanel : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    int percent() const { return percent_; }
    void setPercent(int p);

  signals:
    // Every setting of the fill, also one that repeats the value shown.
    void percentSet(int percent);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    int percent_ = 0;
};

class Splash : public QWidget {
    Q_OBJECT
  public:
    explicit Splash(QWidget* owner = nullptr);
    QLabel* Label1; // status line
    QLabel* Label2; // program name and version
    QLabel* Label3; // "Please wait ..." / "Thanks for waiting."
    ProgressPanel* SSPanel1;
    QWidget* SSPanel2;

  protected:
    void paintEvent(QPaintEvent*) override;
};
