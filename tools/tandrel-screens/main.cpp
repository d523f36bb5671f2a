// tandrel-screens: writes one PNG per registered screen (a view in one state, at its size),
// drawn offscreen, for people to look at. Each screen is drawn by a child process of this
// same program (--render), so that every screen starts from a fresh process with its own
// private XDG folders.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "core/support/UnicodeText.h"
#include "designkit/CorvaneScrollIndicators.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/views/common/ElidedLabel.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-screens/ScreenState.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <optional>

using tandrel::screens::Screen;
using tandrel::screens::ScreenContext;
using tandrel::screens::ScreenRegistry;

namespace {

constexpr const char *usage =
    "usage: tandrel-screens --out DIR [--library LIB] [--home DIR] [--jobs N] [--hostile] "
    "[NAME...]\n"
    "       tandrel-screens --list\n"
    "Writes DIR/NAME.png for every registered screen, or for the NAMEs given.\n"
    "  --library LIB  the sample library bundle the screens may read\n"
    "  --hostile      also draws each screen from the sample library named by an attacker\n"
    "                 (every name from the table of hostile texts) as DIR/NAME-hostile.png,\n"
    "                 fails a screen that draws a control raw or a name on two lines, and\n"
    "                 prints how long each took against its ordinary drawing\n"
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
    bool hostile = false;
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
        } else if (argument == QLatin1String("--hostile")) {
            options.hostile = true;
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

// How a child says how long it took to build, show and draw its screen, in milliseconds.
constexpr const char *drawnInTag = "drawn in ms:";

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

// What every shown widget hands Qt to draw that a hostile name would break: a control drawn
// raw (line breaks of the system's own texts aside), or a name's second line on a line of
// its own. A screen drawn from the hostile library fails with them.
QStringList hostileTextProblems() {
    QStringList problems;
    const auto check = [&](const QObject *where, const QString &text) {
        QString oneLine = text;
        oneLine.remove(QChar(u'\n'));
        const std::string shown = oneLine.toStdString();
        const QString named = QString::fromLatin1(where->metaObject()->className());
        if (tandrel::withStrayControlsShown(shown) != shown) {
            problems << named + QStringLiteral(" draws a control raw: ") +
                            QString::fromStdString(tandrel::shownLine(shown, 80));
        }
        if (text.contains(QStringLiteral("\nServing '")) ||
            text.contains(QStringLiteral("\nPASS"))) {
            problems << named + QStringLiteral(" shows a name on two lines: ") +
                            QString::fromStdString(tandrel::shownLine(shown, 80));
        }
    };
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) {
            continue;
        }
        QList<QWidget *> widgets = window->findChildren<QWidget *>();
        widgets.prepend(window);
        for (const QWidget *widget : widgets) {
            check(widget, widget->windowTitle());
            check(widget, widget->toolTip());
            check(widget, widget->accessibleName());
            if (const auto *label = qobject_cast<const QLabel *>(widget)) {
                check(widget, label->text());
            } else if (const auto *elided = qobject_cast<const tandrel::ElidedLabel *>(widget)) {
                check(widget, elided->shownText());
            } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
                check(widget, button->text());
            } else if (const auto *field = qobject_cast<const QLineEdit *>(widget)) {
                check(widget, field->text());
            } else if (const auto *popUp = qobject_cast<const QComboBox *>(widget)) {
                for (int i = 0; i < popUp->count(); ++i) {
                    check(widget, popUp->itemText(i));
                }
            }
            for (const QAction *action : widget->actions()) {
                check(widget, action->text());
            }
        }
        for (const auto *tooltip : window->findChildren<corvane::CorvaneTooltipModifier *>()) {
            check(tooltip, tooltip->text());
        }
    }
    return problems;
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

    const ScreenContext context{options.library, QDir(home).absolutePath(), options.hostile};
    // The tool's own work, before the screen's: the hostile table and what became of the
    // sample's names.
    tandrel::screens::hostileNaming(context);
    const auto started = std::chrono::steady_clock::now();
    std::unique_ptr<QWidget> widget;
    try {
        widget = screen->build(context);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    if (!widget) {
        std::fprintf(stderr, "the builder made no widget\n");
        return 1;
    }
    // A menu is as wide as its lines make it, where a screen's size is only what it needs in
    // the ordinary case.
    widget->resize(qobject_cast<QMenu *>(widget.get()) != nullptr
                       ? screen->size.expandedTo(widget->sizeHint())
                       : screen->size);
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
    if (widget->size() != screen->size && qobject_cast<QMenu *>(widget.get()) == nullptr) {
        std::fprintf(stderr, "warning: drawn at %dx%d, not %dx%d: its content needs more room\n",
                     widget->width(), widget->height(), screen->size.width(),
                     screen->size.height());
    }
    if (options.hostile) {
        if (const QStringList problems = hostileTextProblems(); !problems.isEmpty()) {
            for (const QString &problem : problems) {
                std::fprintf(stderr, "%s\n", qPrintable(problem));
            }
            return 1;
        }
    }
    const QImage image = widget->grab().toImage();
    std::fprintf(stderr, "%s %lld\n", drawnInTag,
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now() - started)
                                            .count()));
    QSaveFile file(
        QDir(options.out)
            .absoluteFilePath(screen->name +
                              (options.hostile ? QStringLiteral("-hostile") : QString()) +
                              QStringLiteral(".png")));
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

// One drawing of a screen: from the sample, or from the hostile library.
struct Drawing {
    const Screen *screen;
    bool hostile;
};

// Parent process: draws every selected screen in a child of its own, a few at a time (and,
// with --hostile, each again from the hostile library, then says how long each took).
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
    QString hostileLibrary;
    if (options.hostile) {
        const QString folder = QDir(homeRoot).absoluteFilePath(QStringLiteral("hostile-library"));
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        hostileLibrary = QFile::decodeName(QByteArray::fromStdString(
            tandrel::sample::SampleLibraryWriter::write(
                tandrel::sample::hostileSampleLibrary(tandrel::screens::hostileTextsTable()),
                QFile::encodeName(folder).toStdString())
                .string()));
    }
    std::vector<Drawing> drawings;
    for (const Screen *screen : selected) {
        drawings.push_back({screen, false});
        if (options.hostile) {
            drawings.push_back({screen, true});
        }
    }
    const int jobs = options.jobs > 0 ? options.jobs : defaultJobs();

    std::map<std::pair<QString, bool>, long long> times;
    size_t next = 0;
    int running = 0;
    int failures = 0;
    QEventLoop loop;
    std::function<void()> startMore = [&] {
        while (running < jobs && next < drawings.size()) {
            const Drawing drawing = drawings[next++];
            const QString name =
                drawing.screen->name + (drawing.hostile ? QStringLiteral("-hostile") : QString());
            QDir home(QDir(homeRoot).absoluteFilePath(name));
            home.removeRecursively();
            QDir().mkpath(home.path());
            QStringList arguments{QStringLiteral("--render"), drawing.screen->name,
                                  QStringLiteral("--out"),    out,
                                  QStringLiteral("--home"),   home.path()};
            const QString given = drawing.hostile ? hostileLibrary : library;
            if (!given.isEmpty()) {
                arguments << QStringLiteral("--library") << given;
            }
            if (drawing.hostile) {
                arguments << QStringLiteral("--hostile");
            }
            auto *child = new QProcess(&application);
            QObject::connect(
                child, &QProcess::finished, &application,
                [&, child, drawing, name](int code, QProcess::ExitStatus status) {
                    const QString said =
                        QString::fromLocal8Bit(child->readAllStandardError()).trimmed();
                    const bool ok = status == QProcess::NormalExit && code == 0;
                    QStringList lines;
                    for (const QString &line : said.split(u'\n', Qt::SkipEmptyParts)) {
                        if (line.startsWith(QLatin1String(drawnInTag))) {
                            times[{drawing.screen->name, drawing.hostile}] =
                                line.mid(qsizetype(std::strlen(drawnInTag))).trimmed().toLongLong();
                        } else {
                            lines << line;
                        }
                    }
                    std::printf("%s %s.png\n", ok ? "wrote " : "FAILED", qPrintable(name));
                    for (const QString &line : lines) {
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
                std::printf("FAILED %s.png\n    %s\n", qPrintable(name),
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
    if (options.hostile) {
        // Each screen's time from the hostile library against its own ordinary one.
        std::printf("\n%-56s %9s %9s %6s\n", "screen", "ordinary", "hostile", "ratio");
        double worst = 0;
        QString worstName;
        int slower = 0;
        for (const Screen *screen : selected) {
            const auto ordinary = times.find({screen->name, false});
            const auto hostile = times.find({screen->name, true});
            if (ordinary == times.end() || hostile == times.end()) {
                continue;
            }
            const double ratio =
                double(hostile->second) / double(std::max<long long>(1, ordinary->second));
            if (ratio > worst) {
                worst = ratio;
                worstName = screen->name;
            }
            slower += ratio > 2 ? 1 : 0;
            std::printf("%-56s %6lld ms %6lld ms %6.2f%s\n", qPrintable(screen->name),
                        ordinary->second, hostile->second, ratio, ratio > 2 ? "  SLOW" : "");
        }
        std::printf("worst ratio %.2f (%s); %d of %zu screens over twice their ordinary time\n",
                    worst, qPrintable(worstName), slower, selected.size());
    }
    std::printf("%zu screens in %s, %d failed\n", drawings.size(), qPrintable(out), failures);
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
