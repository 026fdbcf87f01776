// A tiny X client that drags one file: it shows a window at (600, 300) and starts a drag of the
// file named on its command line as soon as the left button goes down in it.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

class Source : public QWidget {
  public:
    explicit Source(QString file) : file_(std::move(file)) {}

  protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(file_)});
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
        // The target fetches the data after the drop: stay a little longer.
        QTimer::singleShot(3000, qApp, &QApplication::quit);
    }

  private:
    QString file_;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    Source w(QString::fromLocal8Bit(argv[1]));
    w.setWindowTitle("dragsource");
    w.setGeometry(600, 300, 200, 150);
    w.show();
    return app.exec();
}
