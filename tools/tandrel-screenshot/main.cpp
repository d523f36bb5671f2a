// tandrel-screenshot: what an X display shows, as a PNG, for people trying the windows by hand.
//   tandrel-screenshot OUT.png [X Y WIDTH HEIGHT]
// Reads the display named by $DISPLAY as its server holds it: the whole screen, or the
// rectangle given. xwd's reading of the root cannot stand in for it: reading through the
// windows' colormaps, it draws a window that lies over another of the same colormap black,
// and the windows of one Qt process share one (a pop-up over its own tool window, with no
// window manager), though the server shows it whole. Exits 0 with the file written, 1 when
// the display cannot be read or the file written, 2 on a wrong command line.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace {

int usage() {
    std::fputs("usage: tandrel-screenshot OUT.png [X Y WIDTH HEIGHT]\n", stderr);
    return 2;
}

struct Area {
    int x = 0;
    int y = 0;
    int width = -1;
    int height = -1;
};

std::optional<Area> area(const std::vector<std::string> &words) {
    if (words.empty()) {
        return Area{};
    }
    if (words.size() != 4) {
        return std::nullopt;
    }
    int numbers[4];
    for (size_t i = 0; i < 4; ++i) {
        const std::string &word = words[i];
        const auto [end, error] =
            std::from_chars(word.data(), word.data() + word.size(), numbers[i]);
        if (error != std::errc() || end != word.data() + word.size() || numbers[i] < 0 ||
            (i >= 2 && numbers[i] == 0)) {
            return std::nullopt;
        }
    }
    return Area{numbers[0], numbers[1], numbers[2], numbers[3]};
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty() || words.front().starts_with('-')) {
        return usage();
    }
    const std::string out = words.front();
    words.erase(words.begin());
    const std::optional<Area> wanted = area(words);
    if (!wanted) {
        return usage();
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("tandrel-screenshot: DISPLAY names no X display\n", stderr);
        return 1;
    }
    // The X server's own pixels, whatever platform the caller's environment names; a display
    // that cannot be reached ends the program with Qt's word for it.
    qputenv("QT_QPA_PLATFORM", "xcb");
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::fputs("tandrel-screenshot: the display has no screen\n", stderr);
        return 1;
    }
    const QPixmap shot = screen->grabWindow(0, wanted->x, wanted->y, wanted->width, wanted->height);
    if (shot.isNull()) {
        std::fputs("tandrel-screenshot: the screen could not be read\n", stderr);
        return 1;
    }
    if (!shot.save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "tandrel-screenshot: %s could not be written\n", out.c_str());
        return 1;
    }
    return 0;
}
