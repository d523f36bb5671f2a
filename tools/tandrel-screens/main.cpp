// tandrel-screens: writes one PNG per registered screen (a view in one state, at its size),
// drawn offscreen, for people to look at. Each screen is drawn by a child process of this
// same program (--render), so that every screen starts from a fresh process with its own
// private XDG folders.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "designkit/CorvaneScrollIndicators.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>

using tandrel::screens::Screen;
using tandrel::screens::ScreenContext;
using tandrel::screens::ScreenRegistry;

namespace {

constexpr const char *usage =
    "usage: tandrel-screens --out DIR [--library LIB] [--home DIR] [--jobs N] [NAME...]\n"
    "       tandrel-screens --list\n"
    "Writes DIR/NAME.png for every registered screen, or for the NAMEs given.\n"
    "  --library LIB  the sample library bundle the screens may read\n"
    "  --home DIR     where each screen's private XDG folders go (DIR/NAME/...), emptied\n"
    "                 before the screen is drawn; a temporary folder when not given\n"
    "  --jobs N       screens drawn side by side (default: TANDREL_JOBS, else one per core)\n"
    "  --list         prints the names of the registered screens\n";

struct Options {
    QString out;
    QString library;
    QString home;
    int jobs = 0;
    bool list = false;
    QString render; // the one screen a child process draws
    QStringList names;
};

std::optional<Options> parse(int argc, char **argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tandrel-screens: %s needs a value\n", argv[i]);
                return std::nullopt;
            }
            return QString::fromLocal8Bit(argv[++i]);
        };
        std::optional<QString> given;
        if (argument == QLatin1String("--list")) {
            options.list = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            std::exit(0);
        } else if (argument == QLatin1String("--out") || argument == QLatin1String("--library") ||
                   argument == QLatin1String("--home") || argument == QLatin1String("--jobs") ||
                   argument == QLatin1String("--render")) {
            if (!(given = value())) {
                return std::nullopt;
            }
            if (argument == QLatin1String("--out")) {
                options.out = *given;
            } else if (argument == QLatin1String("--library")) {
                options.library = *given;
            } else if (argument == QLatin1String("--home")) {
                options.home = *given;
            } else if (argument == QLatin1String("--render")) {
                options.render = *given;
            } else {
                bool ok = false;
                options.jobs = given->toInt(&ok);
                if (!ok || options.jobs < 1) {
                    std::fprintf(stderr, "tandrel-screens: --jobs takes a number above 0\n");
                    return std::nullopt;
                }
            }
        } else if (argument.startsWith(QLatin1String("-"))) {
            std::fprintf(stderr, "tandrel-screens: unknown option %s\n", argv[i]);
            return std::nullopt;
        } else {
            options.names << argument;
        }
    }
    if (!options.list && options.out.isEmpty()) {
        std::fprintf(stderr, "tandrel-screens: --out DIR is needed\n");
        return std::nullopt;
    }
    return options;
}

void setPrivateFolders(const QString &home) {
    const QDir root(home);
    const std::pair<const char *, const char *> folders[] = {
        {"XDG_DATA_HOME", "data"},   {"XDG_CONFIG_HOME", "config"},  {"XDG_CACHE_HOME", "cache"},
        {"XDG_STATE_HOME", "state"}, {"XDG_RUNTIME_DIR", "runtime"},
    };
    for (const auto &[variable, folder] : folders) {
        const QString path = root.absoluteFilePath(QLatin1String(folder));
        QDir().mkpath(path);
        setenv(variable, QFile::encodeName(path).constData(), 1);
    }
    // The runtime folder holds sockets: only its owner may enter.
    QFile::setPermissions(root.absoluteFilePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QtMessageHandler standardMessages = nullptr;

// The offscreen platform says so for every window it shows; nobody needs to read it.
void quietOffscreenNotes(QtMsgType type, const QMessageLogContext &context,
                         const QString &message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints"))) {
        return;
    }
    if (standardMessages != nullptr) {
        standardMessages(type, context, message);
    }
}

// Every scroll view shown that would scroll with the desktop's bar and its arrow buttons
// rather than the kit's indicators, named by its class and object names up to its window.
QStringList desktopScrollBars() {
    QStringList found;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) {
            continue;
        }
        QList<QAbstractScrollArea *> areas = window->findChildren<QAbstractScrollArea *>();
        if (auto *itself = qobject_cast<QAbstractScrollArea *>(window)) {
            areas.push_back(itself);
        }
        for (const QAbstractScrollArea *area : areas) {
            const bool scrolls = area->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff ||
                                 area->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
            if (!area->isVisible() || !scrolls || corvane::hasCorvaneScrollIndicators(area)) {
                continue;
            }
            QStringList path;
            for (const QWidget *at = area; at != nullptr; at = at->parentWidget()) {
                path.prepend(QString::fromLatin1(at->metaObject()->className()) +
                             (at->objectName().isEmpty() ? QString() : u'#' + at->objectName()));
            }
            found << path.join(u'/');
        }
    }
    return found;
}

// Child process: builds one screen, shows it offscreen and writes what it draws. A screen
// that shows a scroll view with the desktop's scroll bar fails: every view scrolls with the
// kit's look.
int render(int argc, char **argv, const Options &options) {
    const Screen *screen = ScreenRegistry::shared().find(options.render);
    if (screen == nullptr) {
        std::fprintf(stderr, "no screen named %s\n", qPrintable(options.render));
        return 2;
    }
    std::optional<QTemporaryDir> temporary;
    QString home = options.home;
    if (home.isEmpty()) {
        home = temporary.emplace().path();
    }
    setPrivateFolders(home);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    standardMessages = qInstallMessageHandler(quietOffscreenNotes);
    corvane::installFonts();
    QApplication application(argc, argv);
    corvane::installPalette(application);

    std::unique_ptr<QWidget> widget;
    try {
        widget = screen->build(ScreenContext{options.library, QDir(home).absolutePath()});
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    if (!widget) {
        std::fprintf(stderr, "the builder made no widget\n");
        return 1;
    }
    widget->resize(screen->size);
    widget->show();
    // Layouts, and work the builder posted for the shown window, settle in a few rounds.
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    if (const QStringList bars = desktopScrollBars(); !bars.isEmpty()) {
        std::fprintf(stderr, "scrolls with the desktop's scroll bar, not the kit's: %s\n",
                     qPrintable(bars.join(QStringLiteral(", "))));
        return 1;
    }
    if (widget->size() != screen->size) {
        std::fprintf(stderr, "warning: drawn at %dx%d, not %dx%d: its content needs more room\n",
                     widget->width(), widget->height(), screen->size.width(),
                     screen->size.height());
    }
    const QImage image = widget->grab().toImage();
    QSaveFile file(QDir(options.out).absoluteFilePath(screen->name + QStringLiteral(".png")));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(file.fileName()),
                     qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}

int defaultJobs() {
    bool ok = false;
    const int jobs = qEnvironmentVariableIntValue("TANDREL_JOBS", &ok);
    return ok && jobs > 0 ? jobs : std::max(1, QThread::idealThreadCount());
}

// Parent process: draws every selected screen in a child of its own, a few at a time.
int renderAll(int argc, char **argv, const Options &options) {
    QCoreApplication application(argc, argv);
    std::vector<const Screen *> selected;
    if (options.names.isEmpty()) {
        selected = ScreenRegistry::shared().screens();
    }
    for (const QString &name : options.names) {
        const Screen *screen = ScreenRegistry::shared().find(name);
        if (screen == nullptr) {
            std::fprintf(stderr, "tandrel-screens: no screen named %s (--list shows them)\n",
                         qPrintable(name));
            return 2;
        }
        selected.push_back(screen);
    }
    if (!options.library.isEmpty() && !QFileInfo::exists(options.library)) {
        std::fprintf(stderr, "tandrel-screens: no library at %s\n", qPrintable(options.library));
        return 2;
    }
    const QString out = QDir(options.out).absolutePath();
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "tandrel-screens: cannot make %s\n", qPrintable(out));
        return 1;
    }
    QTemporaryDir temporary;
    const QString homeRoot =
        QDir(options.home.isEmpty() ? temporary.path() : options.home).absolutePath();
    const QString library =
        options.library.isEmpty() ? QString() : QFileInfo(options.library).absoluteFilePath();
    const int jobs = options.jobs > 0 ? options.jobs : defaultJobs();

    size_t next = 0;
    int running = 0;
    int failures = 0;
    QEventLoop loop;
    std::function<void()> startMore = [&] {
        while (running < jobs && next < selected.size()) {
            const Screen *screen = selected[next++];
            QDir home(QDir(homeRoot).absoluteFilePath(screen->name));
            home.removeRecursively();
            QDir().mkpath(home.path());
            QStringList arguments{QStringLiteral("--render"), screen->name,
                                  QStringLiteral("--out"),    out,
                                  QStringLiteral("--home"),   home.path()};
            if (!library.isEmpty()) {
                arguments << QStringLiteral("--library") << library;
            }
            auto *child = new QProcess(&application);
            QObject::connect(
                child, &QProcess::finished, &application,
                [&, child, screen](int code, QProcess::ExitStatus status) {
                    const QString said =
                        QString::fromLocal8Bit(child->readAllStandardError()).trimmed();
                    const bool ok = status == QProcess::NormalExit && code == 0;
                    std::printf("%s %s.png\n", ok ? "wrote " : "FAILED", qPrintable(screen->name));
                    for (const QString &line : said.split(u'\n', Qt::SkipEmptyParts)) {
                        std::printf("    %s\n", qPrintable(line));
                    }
                    std::fflush(stdout);
                    failures += ok ? 0 : 1;
                    child->deleteLater();
                    --running;
                    startMore();
                    if (running == 0) {
                        loop.quit();
                    }
                });
            child->start(QCoreApplication::applicationFilePath(), arguments);
            if (!child->waitForStarted()) {
                std::printf("FAILED %s.png\n    %s\n", qPrintable(screen->name),
                            qPrintable(child->errorString()));
                ++failures;
                delete child;
                continue;
            }
            ++running;
        }
    };
    startMore();
    if (running > 0) {
        loop.exec();
    }
    std::printf("%zu screens in %s, %d failed\n", selected.size(), qPrintable(out), failures);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (options->list) {
        for (const Screen *screen : ScreenRegistry::shared().screens()) {
            std::printf("%s\n", qPrintable(screen->name));
        }
        return 0;
    }
    if (!options->render.isEmpty()) {
        return render(argc, argv, *options);
    }
    return renderAll(argc, argv, *options);
}
