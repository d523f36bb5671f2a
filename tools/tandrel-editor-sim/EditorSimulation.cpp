#include "tools/tandrel-editor-sim/EditorSimulation.h"

#include "core/support/Log.h"
#include "core/support/UnicodeText.h"

#include "extension/XMLDropZoneView.h"
#include "platform/pasteboard/DragPasteboard.h"
#include "platform/runtime/MainQueue.h"
#include "tools/support/PrintLine.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <thread>

namespace tandrel {

namespace {

// Handles what the last command set going: work for the main queue, queued calls, layout.
void settle() {
    platform::MainQueue::runPending();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

EditorSimulation::EditorSimulation(Options options)
    : editor_(std::make_shared<platform::SimulatedFCPXHost>()), window_(std::make_unique<QWidget>()) {
    if (options.registersHost) {
        platform::ProExtensionRegisterHost(editor_);
    }
    TandrelFCPExtensionViewController::Services services =
        TandrelFCPExtensionViewController::Services::standard();
    if (!options.launchesHost) {
        services.launchHostApp = nullptr;
    }
    window_->setWindowTitle("TandrelFCPExtension");
    auto *layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    panel_ = new TandrelFCPExtensionViewController(std::move(services));
    layout->addWidget(panel_);
    connect(panel_, &TandrelFCPExtensionViewController::displayChanged, this,
            &EditorSimulation::printChanges);
    printChanges();
}

EditorSimulation::~EditorSimulation() {
    window_.reset();
    platform::ProExtensionRegisterHost(nullptr);
}

void EditorSimulation::change(const std::function<void(platform::SimulatedTimeline &)> &change) {
    if (!fromThread_) {
        change(timeline());
        return;
    }
    std::thread editorThread([&] { change(timeline()); });
    editorThread.join();
}

bool EditorSimulation::drop(const QString &xml) {
    XMLDropZoneView &zone = *panel_->dropZone();
    const platform::DragPasteboard data(
        {{{XMLDropZoneView::fcpxmlPasteboardType, xml.toUtf8()}}});
    const QPoint middle = zone.rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &enter);
    QDropEvent dropped(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &dropped);
    return dropped.isAccepted();
}

bool EditorSimulation::pick(int index) {
    QComboBox &popUp = *panel_->presetPopUp();
    if (!popUp.isEnabled() || index < 0 || index >= popUp.count()) {
        return false;
    }
    popUp.setCurrentIndex(index);
    emit popUp.activated(index);
    return true;
}

QString EditorSimulation::shown(const std::string &field) const {
    if (field == "sequence") {
        return panel_->sequenceLabel()->text();
    }
    if (field == "timecode") {
        return panel_->timecodeLabel()->text();
    }
    return panel_->dropStatusLabel()->text();
}

void EditorSimulation::printChanges() {
    const QComboBox &popUp = *panel_->presetPopUp();
    QStringList items;
    for (int i = 0; i < popUp.count(); ++i) {
        items << (i == popUp.currentIndex() && popUp.isEnabled() ? "*" : "") + popUp.itemText(i);
    }
    // Each line as the terminal shows it: what the panel shows holds names from outside.
    const auto line = [](const std::string &text) {
        return withStrayControlsShown(elidedLine(text, maxLogLineCharacters));
    };
    const std::vector<std::string> now{
        line("sequence: " + shown("sequence").toStdString()),
        line("timecode: " + shown("timecode").toStdString()),
        line("presets: " + items.join(" | ").toStdString()),
        line("drop-status: " + shown("drop-status").toStdString()),
    };
    for (size_t i = 0; i < now.size(); ++i) {
        if (printed_.size() != now.size() || printed_[i] != now[i]) {
            printLine(now[i]);
        }
    }
    printed_ = now;
}

void EditorSimulation::run(std::vector<SimCommand> commands,
                           std::function<void(int status)> finished) {
    commands_ = std::move(commands);
    next_ = 0;
    finished_ = std::move(finished);
    // After the panel's own first turn: its connection to the editor.
    QTimer::singleShot(0, this, [this] {
        settle();
        runNext();
    });
}

void EditorSimulation::runNext() {
    if (next_ == commands_.size()) {
        finished_(0);
        return;
    }
    const SimCommand &command = commands_[next_++];
    if (const std::optional<int> status = carryOut(command)) {
        finished_(*status);
        return;
    }
    if (command.kind == SimCommand::Kind::wait) {
        QTimer::singleShot(static_cast<int>(command.number), this, [this] {
            settle();
            runNext();
        });
        return;
    }
    settle();
    QTimer::singleShot(0, this, [this] { runNext(); });
}

std::optional<int> EditorSimulation::carryOut(const SimCommand &command) {
    const auto refuse = [&](const std::string &why) {
        std::fprintf(stderr, "tandrel-editor-sim: line %d: %s: %s\n", command.line,
                     shownLine(command.text, shownNameCharacters).c_str(),
                     withStrayControlsShown(why).c_str());
        return 2;
    };
    using Kind = SimCommand::Kind;
    switch (command.kind) {
    case Kind::sequence: {
        const auto sequence = std::make_shared<platform::SimulatedSequence>(
            command.name, command.time, command.format);
        change([&](platform::SimulatedTimeline &timeline) { timeline.setActiveSequence(sequence); });
        break;
    }
    case Kind::noSequence:
        change([](platform::SimulatedTimeline &timeline) { timeline.setActiveSequence(nullptr); });
        break;
    case Kind::playhead:
        change([&](platform::SimulatedTimeline &timeline) { timeline.setPlayheadTime(command.time); });
        break;
    case Kind::timeRange:
        change([](platform::SimulatedTimeline &timeline) { timeline.changeSequenceTimeRange(); });
        break;
    case Kind::fromThread:
        fromThread_ = command.on;
        break;
    case Kind::drop: {
        QFile file(QString::fromStdString(command.file));
        if (!file.open(QIODevice::ReadOnly)) {
            return refuse("cannot read " + command.file + ": " + file.errorString().toStdString());
        }
        if (!drop(QString::fromUtf8(file.readAll()))) {
            return refuse("the drop zone refused it: the file holds no text");
        }
        break;
    }
    case Kind::pick:
        if (!pick(static_cast<int>(command.number - 1))) {
            return refuse("the pop-up has no item " + std::to_string(command.number) + " to pick");
        }
        break;
    case Kind::expect: {
        const std::string shownText = shown(command.field).toStdString();
        const bool prefix = command.expected.ends_with('*');
        const std::string wanted =
            prefix ? command.expected.substr(0, command.expected.size() - 1) : command.expected;
        if (prefix ? !shownText.starts_with(wanted) : shownText != wanted) {
            std::fprintf(
                stderr, "tandrel-editor-sim: line %d: expected %s \"%s\", the panel shows \"%s\"\n",
                command.line, command.field.c_str(),
                shownLine(command.expected, shownNameCharacters).c_str(),
                withStrayControlsShown(elidedLine(shownText, maxLogLineCharacters)).c_str());
            return 1;
        }
        break;
    }
    case Kind::wait:
        break;
    }
    return std::nullopt;
}

} // namespace tandrel
