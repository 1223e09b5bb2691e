// A yardstick for the whole-program figures: the least a Qt window can do that looks like
// the game to the machine. A main window with a menu bar and a picture the size of the
// field; the first key starts a precise timer (50 ms, or the interval given as the only
// argument) that repaints two 22-pixel cells, as a game tick repaints head and tail. It
// reports the same start-up moments and frame count as the game.
//   reference_window [FRAME_MS]
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include "app/Trace.h"

#include <algorithm>
#include <cstdlib>

namespace {

class Field : public QWidget {
public:
    explicit Field(int frameMs)
    {
        setObjectName(QStringLiteral("field"));
        setFocusPolicy(Qt::StrongFocus);
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(frameMs);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            ++tick_;
            update(QRegion(100 + tick_ % 20 * 22, 100, 22, 22) + QRegion(400, 400 + tick_ % 10 * 22, 22, 22));
        });
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        for (const QRect& r : event->region())
            p.fillRect(r, tick_ % 2 ? QColor(30, 90, 30) : QColor(40, 110, 40));
    }
    void keyPressEvent(QKeyEvent*) override
    {
        if (!timer_.isActive())
            timer_.start();
    }

private:
    QTimer timer_;
    int tick_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kestrum"));
    window.menuBar()->addMenu(QStringLiteral("File"));
    window.menuBar()->addMenu(QStringLiteral("Options"));
    const int frameMs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    kestrum::trace::StartupTrace startup("field");
    kestrum::trace::FrameCounter frames;
    app.installEventFilter(&startup);
    auto* field = new Field(frameMs);
    frames.watch(field);
    window.setCentralWidget(field);
    window.setFixedSize(1024, 739);
    window.show();
    field->setFocus();
    return app.exec();
}
