// The arrangement xwd draws black: a grey window and, over it, a red pop-up of the same
// process, with no window manager. Prints "shown" once both are on the server's screen.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class Filled : public QWidget {
public:
    Filled(QColor colour, Qt::WindowFlags flags) : QWidget(nullptr, flags), colour_(colour) {}

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    Filled window(QColor(0xc0, 0xc0, 0xc0), Qt::Window);
    window.setGeometry(20, 20, 200, 150);
    window.show();
    Filled popup(QColor(0xff, 0x00, 0x00), Qt::Popup);
    popup.setGeometry(60, 60, 80, 40);
    QTimer::singleShot(0, [&] {
        popup.show();
        popup.repaint();
        window.repaint();
        // Everything asked of the server is done before the caller looks.
        QGuiApplication::sync();
        std::puts("shown");
        std::fflush(stdout);
    });
    return application.exec();
}
