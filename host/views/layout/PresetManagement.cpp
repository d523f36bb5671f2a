#include "host/views/layout/PresetManagement.h"

#include "core/support/Log.h"
#include "core/support/RegularFile.h"
#include "host/state/AppState.h"
#include "host/views/common/QtText.h"
#include "host/views/layout/PresetFileDialogs.h"

#include <QFile>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "presets");
}

} // namespace

PresetActions PresetActions::of(const DisplayConfig &preset) {
    return {.rename = !preset.isBuiltIn, .remove = !preset.isBuiltIn, .reset = preset.isBuiltIn};
}

PresetManagement::Services PresetManagement::Services::standard() {
    return {
        .dialogs = &PresetFileDialogs::system(),
        .alert =
            [](QWidget *parent, const QString &title, const QString &message) {
                auto *box =
                    new QMessageBox(QMessageBox::Warning, title, message, QMessageBox::Ok, parent);
                box->setAttribute(Qt::WA_DeleteOnClose);
                box->open();
            },
        .writeStep = {},
    };
}

PresetManagement::PresetManagement(AppState &state, Services services)
    : state_(state), active_(state), services_(std::move(services)) {}

void PresetManagement::duplicateActivePreset() {
    DisplayConfig copy = active_.preset();
    copy.id = Uuid::random();
    copy.name += copySuffix;
    copy.isBuiltIn = false;
    const Uuid id = copy.id;
    std::vector<DisplayConfig> presets = state_.presets();
    presets.push_back(std::move(copy));
    state_.setPresets(std::move(presets), id);
}

bool PresetManagement::deleteActivePreset() {
    const std::optional<std::size_t> index = active_.index();
    if (!index || state_.presets().size() < 2) {
        return false;
    }
    std::vector<DisplayConfig> presets = state_.presets();
    presets.erase(presets.begin() + static_cast<std::ptrdiff_t>(*index));
    // The first preset, not a neighbour: the list may have been long. One change, so that
    // nothing sees the list without an active preset.
    const Uuid first = presets.front().id;
    state_.setPresets(std::move(presets), first);
    return true;
}

bool PresetManagement::resetActivePresetToFactory() {
    const std::optional<std::size_t> index = active_.index();
    return index && resetPresetToFactory(state_.presets()[*index].id);
}

bool PresetManagement::resetPresetToFactory(const Uuid &id) {
    std::vector<DisplayConfig> presets = state_.presets();
    const auto current = std::ranges::find(presets, id, &DisplayConfig::id);
    if (current == presets.end()) {
        return false;
    }
    std::vector<DisplayConfig> factory = state_.factoryPresets();
    const auto match = std::ranges::find(factory, current->name, &DisplayConfig::name);
    if (match == factory.end()) {
        return false;
    }
    DisplayConfig restored = std::move(*match);
    restored.id = id;
    restored.isBuiltIn = true;
    *current = std::move(restored);
    state_.setPresets(std::move(presets));
    return true;
}

void PresetManagement::exportActivePreset(QWidget *parent) {
    const DisplayConfig preset = active_.preset();
    // Taken now: edits made while the panel is open are not in the file.
    const std::optional<std::string> data = AppState::exportPresetData(preset);
    if (!data || services_.dialogs == nullptr) {
        return;
    }
    services_.dialogs->chooseExportFile(
        parent, exportFileName(preset.name),
        [parent = QPointer<QWidget>(parent), bytes = QByteArray::fromStdString(*data),
         alert = services_.alert,
         step = services_.writeStep](std::optional<std::filesystem::path> file) {
            if (!file) {
                return;
            }
            if (const std::optional<QString> reason = PresetFileWriter::write(*file, bytes, step);
                reason && alert) {
                const QString name = QFile::decodeName(file->filename().string().c_str());
                alert(parent, QString::fromUtf8(exportFailedTitle),
                      exportFailedMessage(name, *reason));
            }
        });
}

void PresetManagement::importPresetFromFile(QWidget *parent) {
    if (services_.dialogs == nullptr) {
        return;
    }
    services_.dialogs->chooseImportFile(parent, [state = QPointer<AppState>(&state_)](
                                                    std::optional<std::filesystem::path> file) {
        if (!file || state == nullptr) {
            return;
        }
        // A shared file is outside input: a pipe or device behind the name, or a file of no
        // preset's size, must not stall or exhaust the host.
        const RegularFileRead read = readRegularFile(*file, maxImportBytes);
        if (read.status != RegularFileRead::Status::read) {
            log()->warn("Preset not imported from {}: {}", file->string(), read.error.message());
            return;
        }
        state->importPreset(read.bytes);
    });
}

QString PresetManagement::exportFileName(const std::string &presetName) {
    QString name = QString::fromStdString(presetName);
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return name + QStringLiteral(".json");
}

QString PresetManagement::exportFailedMessage(const QString &fileName, const QString &reason) {
    return QStringLiteral("Could not write \u201C") + fileName + QStringLiteral("\u201D: ") +
           reason;
}

QString PresetManagement::resetConfirmationTitle(const std::string &presetName) {
    return QStringLiteral("Reset \u201C") + shownText(presetName) +
           QStringLiteral("\u201D to its factory default?");
}

} // namespace tandrel
