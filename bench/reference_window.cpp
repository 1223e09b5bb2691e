// A yardstick for the whole-program figures: the least a Qt window can do that looks like
// the game to the machine. A main window with a menu bar and a picture the size of the
// field; the first key starts a 50 ms precise timer that repaints two 22-pixel cells, as
// a game tick repaints head and tail. It reports the same start-up moments as the game.
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace {

void trace(const char* what)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch()).count();
    std::fprintf(stderr, "kestrum: %s %lld\n", what, static_cast<long long>(ns));
}

// The first expose of a window is its mapping.
class MappedTrace : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!done_ && event->type() == QEvent::Expose && qobject_cast<QWindow*>(watched)) {
            done_ = true;
            trace("mapped");
        }
        return false;
    }

private:
    bool done_ = false;
};

class Field : public QWidget {
public:
    Field()
    {
        setFocusPolicy(Qt::StrongFocus);
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(50);
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
        if (!drawn_) {
            drawn_ = true;
            QTimer::singleShot(0, this, [] { trace("field drawn"); });
        }
    }
    void keyPressEvent(QKeyEvent*) override
    {
        if (!timer_.isActive())
            timer_.start();
    }

private:
    QTimer timer_;
    int tick_ = 0;
    bool drawn_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kestrum"));
    window.menuBar()->addMenu(QStringLiteral("File"));
    window.menuBar()->addMenu(QStringLiteral("Options"));
    auto* field = new Field;
    window.setCentralWidget(field);
    window.setFixedSize(1024, 739);
    MappedTrace mapped;
    app.installEventFilter(&mapped);
    window.show();
    field->setFocus();
    return app.exec();
}
