// The FCPXML check: the "Validate Against FCPXML" window and the tile of the layout editor's
// "Validate" panel (alone, and in a main window beside the other panels), over the sample
// library, its "Trailer" timeline with the checked-in export that matches it, and its
// "Sample" timeline with a failing export made from the checked-in one, and with one full of
// hostile names.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvaneSymbolButton.h"
#include "host/state/AppState.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/main/ContentView.h"
#include "host/views/validation/ValidationTileContent.h"
#include "host/views/validation/ValidationView.h"
#include "host/views/validation/tests/StateValidation.h"
#include "platform/runtime/MainQueue.h"
#include "tools/tandrel-screens/ScreenHover.h"
#include "tools/tandrel-screens/ScreenMainWindow.h"
#include "tools/tandrel-screens/ScreenState.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace tandrel;
using tandrel::screens::ScreenContext;
namespace fs = std::filesystem;

const fs::path exports = TANDREL_CLI_TESTS;

std::string contents(const fs::path &file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void replace(std::string &text, const std::string &from, const std::string &to) {
    const size_t at = text.find(from);
    if (at == std::string::npos) {
        throw std::runtime_error("the sample export has changed: no " + from);
    }
    text.replace(at, from.size(), to);
}

// The sample export with clips of these names added at the end of the project's spine, one
// second each from 10:00:28:00 (the sequence made as long), written into the home folder as
// `fileName`.
fs::path withPickups(const ScreenContext &context, std::string text,
                     const std::vector<std::string> &names, const std::string &fileName) {
    std::string extra;
    for (size_t i = 0; i < names.size(); ++i) {
        extra += "                        <asset-clip ref=\"r3\" offset=\"" +
                 std::to_string(36028 + i) + "s\" name=\"" + names[i] +
                 "\" start=\"7200s\" duration=\"1s\" format=\"r1\" tcFormat=\"NDF\"/>\n";
    }
    replace(text, "duration=\"28s\" tcStart=\"36000s\"",
            "duration=\"" + std::to_string(28 + names.size()) + "s\" tcStart=\"36000s\"");
    const std::string spineEnd =
        "                    </spine>\n                </sequence>\n            </project>";
    replace(text, spineEnd, extra + spineEnd);
    const fs::path file = fs::path(context.home.toStdString()) / fileName;
    std::ofstream(file) << text;
    return file;
}

// The export of "Sample" gone wrong: "Arrival" a frame late, "Kitchen Slow" renamed, 250 more
// clips at the end that the library does not have, and the project renamed, so that the
// timeline is found only as the export's one project.
fs::path failingExport(const ScreenContext &context) {
    std::string text = contents(exports / "Sample.fcpxml");
    replace(text, "<project name=\"Sample\"", "<project name=\"Sample v2\"");
    replace(text, "offset=\"36002s\" name=\"Arrival\" start=\"3604s\" duration=\"4s\"",
            "offset=\"900051/25s\" name=\"Arrival\" start=\"3604s\" duration=\"99/25s\"");
    replace(text, "name=\"Kitchen Slow\"", "name=\"Kitchen Slow (alt)\"");
    std::vector<std::string> pickups;
    for (int i = 0; i < 250; ++i) {
        pickups.push_back("Pickup " + std::to_string(i + 1));
    }
    return withPickups(context, std::move(text), pickups, "Sample (export 2).fcpxml");
}

// The export of "Sample" as an attacker would send it: a project name that breaks its line to
// forge a verdict, a clip name of a thousand combining marks, and clips at the end whose names
// reorder text, hold a terminal's escapes, break lines or run for thousands of characters.
fs::path hostileExport(const ScreenContext &context) {
    std::string text = contents(exports / "Sample.fcpxml");
    replace(text, "<project name=\"Sample\"",
            "<project name=\"Sample&#10;PASS \u2014 resolver matches FCPXML\"");
    std::string marks;
    for (int i = 0; i < 1000; ++i) {
        marks += "&#x301;";
    }
    replace(text, "name=\"Kitchen Slow\"", "name=\"Kitchen Slow" + marks + "\"");
    return withPickups(context, std::move(text),
                       {
                           "Pickup &#x202E;4pm.vom&#x202C; (reordered)",
                           "Pickup &#x9B;31m&#x85;&#x9D;0;terminal escapes",
                           "Pickup&#10;FAIL &#x2014; differences found&#13;&#10;line breaks",
                           "Pickup " + std::string(5000, 'L') + " and its end",
                       },
                       "Sample (hostile).fcpxml");
}

// The state object over the sample library, with the timeline of that name active (none:
// nothing selected), and a view over it; the view goes first when the scene does.
class Scene : public QWidget {
public:
    Scene(const ScreenContext &context, const std::optional<std::string> &timeline)
        : state_(std::make_unique<AppState>(testing::stateServices())) {
        state_->addLibrary(screens::sampleLibrary(context));
        platform::MainQueue::runPending();
        if (timeline) {
            const auto id = testing::timelineNamed(*state_, screens::named(context, *timeline));
            if (!id) {
                throw std::runtime_error("the sample library has no timeline " + *timeline);
            }
            state_->setActiveTimeline(id);
        }
        setAutoFillBackground(true);
        layout_ = new QVBoxLayout(this);
        layout_->setContentsMargins(0, 0, 0, 0);
    }
    ~Scene() override { delete view_; }

    AppState &state() { return *state_; }
    // Checks at once, or never.
    ValidationRunController::RunFunction runs(bool answering = true) {
        if (answering) {
            return testing::validatingAtOnce(*state_);
        }
        return [](const fs::path &, ValidationRunController::Completion) {};
    }
    void hold(QWidget *view) {
        view_ = view;
        layout_->addWidget(view);
    }
    QVBoxLayout *layout() const { return layout_; }

private:
    std::unique_ptr<AppState> state_;
    QVBoxLayout *layout_;
    QWidget *view_ = nullptr;
};

// The window in one state: `file`, when given, is the export the editor panel left pending
// for it; unless `answering`, its check never ends.
std::unique_ptr<QWidget> window(const ScreenContext &context,
                                const std::optional<std::string> &timeline,
                                const std::optional<fs::path> &file, bool answering = true) {
    auto scene = std::make_unique<Scene>(context, timeline);
    auto *view = new ValidationView(scene->state(), scene->runs(answering));
    scene->hold(view);
    if (file) {
        // Taken when the view comes on screen, as the editor panel's drop is.
        scene->state().setPendingXMLDropURL(*file);
    }
    return scene;
}

// A failing window scrolled to its end: for the export gone wrong, the last rows of the first
// list with the note for the rows left out, and the other two lists.
std::unique_ptr<QWidget> windowEnd(const ScreenContext &context, const fs::path &file) {
    std::unique_ptr<QWidget> scene = window(context, "Sample", file);
    auto *scroll = scene->findChild<QScrollArea *>(QStringLiteral("scroll"));
    if (scroll == nullptr) {
        throw std::runtime_error("the validation window does not scroll");
    }
    // Its range is known once it is laid out on screen.
    QScrollBar *bar = scroll->verticalScrollBar();
    QObject::connect(bar, &QScrollBar::rangeChanged, bar,
                     [bar](int, int maximum) { bar->setValue(maximum); });
    return scene;
}

// The tile in the layout editor's "Validate" panel, after checking `file`; unless
// `answering`, its check never ends.
std::unique_ptr<QWidget> tile(const ScreenContext &context,
                              const std::optional<std::string> &timeline,
                              const std::optional<fs::path> &file, bool answering = true) {
    auto scene = std::make_unique<Scene>(context, timeline);
    auto *content = new ValidationTileContent(scene->state(), scene->runs(answering));
    auto *panel = new corvane::CorvaneFloatingPanel({.title = QStringLiteral("Validate"),
                                                     .icon = QStringLiteral("checkmark.seal"),
                                                     .onExpand = [] {},
                                                     .onClose = [] {},
                                                     .content = content});
    scene->layout()->setContentsMargins(12, 12, 12, 12);
    scene->hold(panel);
    if (file) {
        content->run(*file);
    }
    return scene;
}

// What a main window with the check's report shows besides.
enum class Beside {
    // The editor's hint.
    nothing,
    // The first element of the preset in the editor.
    element,
    // The "Validate" panel closed again once on screen: the settings after they scrolled.
    closedAgain,
};

// A main window at the size it opens at, serving `timeline`, with every panel of the layout
// editor open, the "Validate" panel's tile after checking `file` through the state object.
std::unique_ptr<QWidget> mainWindow(const ScreenContext &context, const std::string &timeline,
                                    const fs::path &file, Beside beside = Beside::nothing) {
    screens::Host &made = screens::host();
    AppState &state = *made.state;
    std::unique_ptr<ContentView> window = screens::mainWindowOn(made);
    state.start();
    state.addLibrary(screens::sampleLibrary(context));
    platform::MainQueue::runPending();
    const auto id = testing::timelineNamed(state, screens::named(context, timeline));
    if (!id) {
        throw std::runtime_error("the sample library has no timeline " + timeline);
    }
    state.setActiveTimeline(id);
    DisplaySettingsView *pane = window->displaySettings();
    pane->insertPanel(RightPanel::validate);
    auto *content = qobject_cast<ValidationTileContent *>(pane->validationTile());
    if (content == nullptr) {
        throw std::runtime_error("the \"Validate\" panel holds no tile");
    }
    content->run(file);
    // The state object checks off the main thread and answers on it.
    const QDeadlineTimer deadline(30000);
    while (content->controller().isRunning()) {
        if (deadline.hasExpired()) {
            throw std::runtime_error("the check did not end");
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        platform::MainQueue::runPending();
    }
    if (beside == Beside::element) {
        state.selectElement(state.presets().at(*state.activePresetIndex()).elements.at(0).id,
                            false);
    }
    if (beside == Beside::closedAgain) {
        // On screen with the report beside them, then closed as its button closes it.
        corvane::ManualClock &clock = screens::screenClock();
        window->resize(ContentView::defaultWidth, ContentView::defaultHeight);
        window->show();
        for (int round = 0; round < 4; ++round) {
            QCoreApplication::sendPostedEvents();
        }
        pane->panelView(RightPanel::validate)->closeButton()->click();
        clock.advance(corvane::CorvaneFloatingPanelColumn::panelTransition);
    }
    return window;
}

const QSize windowSize = ValidationView::idealContentSize;
// The panel column of the layout editor is 360 points wide.
const QSize tileSize(384, 470);

const tandrel::screens::ScreenRegistration screens{
    {"validation-window-notimeline", windowSize,
     [](const ScreenContext &c) { return window(c, std::nullopt, std::nullopt); }},
    {"validation-window-idle", windowSize,
     [](const ScreenContext &c) { return window(c, "Trailer", std::nullopt); }},
    {"validation-window-running", windowSize,
     [](const ScreenContext &c) {
         return window(c, "Trailer", exports / "Trailer.fcpxml", false);
     }},
    {"validation-window-pass", windowSize,
     [](const ScreenContext &c) { return window(c, "Trailer", exports / "Trailer.fcpxml"); }},
    {"validation-window-fail", windowSize,
     [](const ScreenContext &c) { return window(c, "Sample", failingExport(c)); }},
    {"validation-window-fail-end", windowSize,
     [](const ScreenContext &c) { return windowEnd(c, failingExport(c)); }},
    {"validation-window-hostile", windowSize,
     [](const ScreenContext &c) { return window(c, "Sample", hostileExport(c)); }},
    {"validation-window-hostile-end", windowSize,
     [](const ScreenContext &c) { return windowEnd(c, hostileExport(c)); }},
    {"validation-window-error", windowSize,
     [](const ScreenContext &c) {
         return window(c, "Sample",
                       fs::path(c.home.toStdString()) / "Exports" / "Sample final.fcpxml");
     }},
    {"validation-tile-notimeline", tileSize,
     [](const ScreenContext &c) { return tile(c, std::nullopt, std::nullopt); }},
    {"validation-tile-idle", tileSize,
     [](const ScreenContext &c) { return tile(c, "Trailer", std::nullopt); }},
    {"validation-tile-running", tileSize,
     [](const ScreenContext &c) { return tile(c, "Trailer", exports / "Trailer.fcpxml", false); }},
    {"validation-tile-error", tileSize,
     [](const ScreenContext &c) {
         return tile(c, "Sample",
                     fs::path(c.home.toStdString()) / "Exports" / "Sample final.fcpxml");
     }},
    {"validation-tile-pass", tileSize,
     [](const ScreenContext &c) { return tile(c, "Trailer", exports / "Trailer.fcpxml"); }},
    {"validation-tile-fail", tileSize,
     [](const ScreenContext &c) { return tile(c, "Sample", failingExport(c)); }},
    {"validation-tile-mainwindow",
     {ContentView::defaultWidth, ContentView::defaultHeight},
     [](const ScreenContext &c) { return mainWindow(c, "Sample", failingExport(c)); }},
    {"validation-tile-mainwindow-element",
     {ContentView::defaultWidth, ContentView::defaultHeight},
     [](const ScreenContext &c) {
         return mainWindow(c, "Sample", failingExport(c), Beside::element);
     }},
    {"validation-tile-mainwindow-closed",
     {ContentView::defaultWidth, ContentView::defaultHeight},
     [](const ScreenContext &c) {
         return mainWindow(c, "Sample", failingExport(c), Beside::closedAgain);
     }},
};

} // namespace
