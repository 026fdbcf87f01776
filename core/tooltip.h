#pragma once
// The tooltip box: a borderless window of its own, pale yellow with a black frame, shown just
// below the pointer. Everything talks to it through ShowTip: a text shows it, "" hides it.
#include <QString>
#include <QTimer>
#include <QWidget>

class frmToolTip : public QWidget {
    Q_OBJECT
  public:
    explicit frmToolTip(QWidget* parent = nullptr);
    void ShowTip(const QString& text);
    void tmrToolTip_Timer();

    int tipShown = 0; // 0 or -1
    QString lastTip;
    QString tipText;
    QTimer* tmrToolTip;
    QWidget* picToolTip;
    QString shownText() const { return shown_; } // the padded text drawn last

    // The padded text and its box size in pixels.
    static QString paddedText(const QString& text);

  private:
    QString shown_;
};

// The tooltip of the running program (created on first use).
frmToolTip* tipWindow();
void ShowTip(const QString& text);
void destroyToolTip();
