// tandrel-editor-sim: plays the editor around the editor panel.
//   tandrel-editor-sim [--script FILE] [--screenshot FILE] [--no-editor] [--no-host]
// The editor has its own host with one timeline and shows the panel in a window. Without a
// script, a second window moves the timeline by hand: open or close a sequence, move the
// playhead, change the sequence's length, from the main thread or another. With --script FILE
// it runs the script's commands (see SimScript.h) and ends: 0 when every expectation was met,
// 1 naming the first that was not, 2 on a script it cannot run. --screenshot FILE writes the
// panel as a PNG after the script (at once without one, and ends). --no-editor plays an editor
// that registers no host; --no-host never opens the host application (tests always pass it).
// What the panel shows is printed as it changes. The bridge lives in the app group's folder,
// $XDG_DATA_HOME/group.com.ostrevale.tandrel.

#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "tools/tandrel-editor-sim/EditorSimulation.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

using namespace tandrel;

struct Options {
    std::optional<QString> script;
    std::optional<QString> screenshot;
    bool registersHost = true;
    bool launchesHost = true;
};

int usage() {
    std::fputs("usage: tandrel-editor-sim [--script FILE] [--screenshot FILE] [--no-editor] "
               "[--no-host]\n",
               stderr);
    return 2;
}

std::optional<Options> parse(const QStringList &arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if ((argument == "--script" || argument == "--screenshot") && i + 1 < arguments.size()) {
            (argument == "--script" ? options.script : options.screenshot) = arguments[++i];
        } else if (argument == "--no-editor") {
            options.registersHost = false;
        } else if (argument == "--no-host") {
            options.launchesHost = false;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// The editor's controls, for a person playing it.
class Controls : public QWidget {
public:
    explicit Controls(EditorSimulation &simulation) : simulation_(simulation) {
        setWindowTitle("Editor");
        auto *form = new QFormLayout(this);
        auto *name = new QLineEdit("Sample");
        auto *frameDuration = new QLineEdit("1/25");
        auto *dropFrame = new QCheckBox("Drop frame");
        auto *open = new QPushButton("Open sequence");
        auto *close = new QPushButton("Close sequence");
        auto *playhead = new QLineEdit("90000/25");
        auto *move = new QPushButton("Move playhead");
        auto *range = new QPushButton("Sequence length changed");
        auto *fromThread = new QCheckBox("Call the panel from another thread");
        form->addRow("Sequence", name);
        form->addRow("Frame duration", frameDuration);
        form->addRow("", dropFrame);
        auto *sequenceButtons = new QHBoxLayout;
        sequenceButtons->addWidget(open);
        sequenceButtons->addWidget(close);
        form->addRow("", sequenceButtons);
        form->addRow("Playhead", playhead);
        form->addRow("", move);
        form->addRow("", range);
        form->addRow("", fromThread);
        connect(open, &QPushButton::clicked, this, [=, this] {
            command(QString("sequence \"%1\" %2 %3")
                        .arg(name->text(), frameDuration->text(), dropFrame->isChecked() ? "1" : "0"));
        });
        connect(close, &QPushButton::clicked, this, [this] { command("no-sequence"); });
        connect(move, &QPushButton::clicked, this,
                [=, this] { command("playhead " + playhead->text()); });
        connect(range, &QPushButton::clicked, this, [this] { command("time-range"); });
        connect(fromThread, &QCheckBox::toggled, this,
                [this](bool on) { simulation_.setFromThread(on); });
    }

private:
    // The control's change as a line of a script, so that it reads the same way.
    void command(const QString &line) {
        try {
            simulation_.run(SimScript::parse(line.toStdString()), [](int) {});
        } catch (const SimScriptError &error) {
            std::fprintf(stderr, "tandrel-editor-sim: %s\n", error.what());
        }
    }

    EditorSimulation &simulation_;
};

} // namespace

int main(int argc, char **argv) {
    corvane::installFonts();
    QApplication application(argc, argv);
    // The editor's dark look.
    corvane::installPalette(application);
    const std::optional<Options> options = parse(QApplication::arguments());
    if (!options) {
        return usage();
    }
    std::vector<SimCommand> commands;
    if (options->script) {
        QFile file(*options->script);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "tandrel-editor-sim: cannot read %s: %s\n",
                         options->script->toLocal8Bit().data(),
                         file.errorString().toLocal8Bit().data());
            return 2;
        }
        try {
            commands = SimScript::parse(file.readAll().toStdString());
        } catch (const SimScriptError &error) {
            std::fprintf(stderr, "tandrel-editor-sim: %s: %s\n",
                         options->script->toLocal8Bit().data(), error.what());
            return 2;
        }
    }

    EditorSimulation simulation({options->registersHost, options->launchesHost});
    simulation.window().show();
    if (!options->script && !options->screenshot) {
        Controls controls(simulation);
        controls.show();
        return QApplication::exec();
    }
    int status = 0;
    simulation.run(std::move(commands), [&](int finished) {
        status = finished;
        if (status == 0 && options->screenshot &&
            !simulation.panel().grab().save(*options->screenshot, "PNG")) {
            std::fprintf(stderr, "tandrel-editor-sim: cannot write %s\n",
                         options->screenshot->toLocal8Bit().data());
            status = 2;
        }
        QApplication::exit(status);
    });
    QApplication::exec();
    return status;
}
