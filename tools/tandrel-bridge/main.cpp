// tandrel-bridge: the editor panel's side of the bridge to the host, without the editor.
//   tandrel-bridge presets                    the presets the host published, "*" on the active
//   tandrel-bridge select [--sequence NAME] [--preset ID]
//                                             publishes the panel's selection (no sequence: none
//                                             open in the editor)
//   tandrel-bridge drop FILE                  saves FILE as an FCPXML dropped on the panel and
//                                             prints the panel's status text
//   tandrel-bridge watch [--count N]          prints the name of each notification of the
//                                             bridge as it arrives; ends after N of them
// The bridge lives in the app group's folder, $XDG_DATA_HOME/group.com.ostrevale.tandrel.

#include "extension/XMLDropFile.h"
#include "host/bridge/ExtensionBridge.h"
#include "platform/notify/DarwinNotifyCenter.h"
#include "tools/support/PrintLine.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

namespace {

using namespace tandrel;

int usage() {
    std::fputs("usage: tandrel-bridge presets\n"
               "       tandrel-bridge select [--sequence NAME] [--preset ID]\n"
               "       tandrel-bridge drop FILE\n"
               "       tandrel-bridge watch [--count N]\n",
               stderr);
    return 2;
}

int presets() {
    const ExtensionBridge::PublishedPresets published = ExtensionBridge::readPresets();
    if (published.presets.empty()) {
        printLine("No presets (open Embrik)");
    }
    for (const ExtensionBridge::PresetSummary &preset : published.presets) {
        printLine((preset.id == published.activePresetID ? "* " : "  ") + preset.id.uuidString() +
                  "  " + preset.name);
    }
    return 0;
}

int select(const QStringList &arguments) {
    std::optional<std::string> sequence;
    std::optional<Uuid> preset;
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        if (arguments[i] == "--sequence" && i + 1 < arguments.size()) {
            sequence = arguments[++i].toStdString();
        } else if (arguments[i] == "--preset" && i + 1 < arguments.size()) {
            const std::string id = arguments[++i].toStdString();
            preset = Uuid::fromString(id);
            if (!preset) {
                std::fprintf(stderr, "tandrel-bridge: not a preset id: %s\n",
                             shownLogLine(id).c_str());
                return 2;
            }
        } else {
            return usage();
        }
    }
    ExtensionBridge::publishActiveSelection(sequence, preset);
    return 0;
}

int drop(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tandrel-bridge: cannot read %s: %s\n", path.toLocal8Bit().data(),
                     file.errorString().toLocal8Bit().data());
        return 2;
    }
    const XMLDropFile::Outcome outcome = XMLDropFile().save(QString::fromUtf8(file.readAll()));
    printLine(outcome.statusText);
    return outcome.file ? 0 : 1;
}

int watch(std::optional<long> count) {
    if (!platform::DarwinNotifyCenter::isAvailable()) {
        std::fputs("tandrel-bridge: there is no D-Bus session bus to watch\n", stderr);
        return 1;
    }
    static std::mutex lock;
    static long seen = 0;
    for (const ExtensionBridge::DarwinNotification notification :
         ExtensionBridge::DarwinNotification::allCases()) {
        ExtensionBridge::observeDarwinNotification(notification, [notification, count] {
            std::lock_guard guard(lock);
            if (count && seen >= *count) {
                return;
            }
            printLine(std::string(notification.rawValue()));
            if (count && ++seen == *count) {
                QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                          Qt::QueuedConnection);
            }
        });
    }
    // Postings from here on arrive.
    std::fputs("watching\n", stderr);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    if (command == "presets" && arguments.size() == 2) {
        return presets();
    }
    if (command == "select") {
        return select(arguments);
    }
    if (command == "drop" && arguments.size() == 3) {
        return drop(arguments[2]);
    }
    if (command == "watch" && arguments.size() == 2) {
        return watch(std::nullopt);
    }
    if (command == "watch" && arguments.size() == 4 && arguments[2] == "--count") {
        bool isNumber = false;
        const long count = arguments[3].toLong(&isNumber);
        if (isNumber && count > 0) {
            return watch(count);
        }
    }
    return usage();
}
