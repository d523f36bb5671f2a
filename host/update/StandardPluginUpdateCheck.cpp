#include "host/update/StandardPluginUpdateCheck.h"

#include "host/update/PluginUpdateInstaller.h"
#include "wrapper/PluginVersionMarker.h"

#include <optional>

namespace tandrel {

PluginUpdateCheckHook standardPluginUpdateCheck(std::string hostBuild) {
    return [hostBuild =
                std::move(hostBuild)](std::function<void(PluginUpdateCheck::State)> publish) {
        std::optional<std::filesystem::path> marker;
        try {
            marker = PluginVersionMarker::location();
        } catch (const std::exception &) {
            // No home folder, so no marker: nothing can be judged, the plug-in counts as up
            // to date.
        }
        const PluginUpdateInstaller installer(PluginUpdateInstaller::Configuration::standard());
        PluginUpdateCheck::run(
            {hostBuild, marker, installer.installedApplication()},
            [installer](std::int64_t installedBuild, std::function<void(std::exception_ptr)> done) {
                installer.installLatestPlugin(installedBuild, std::move(done));
            },
            [publish = std::move(publish)](const PluginUpdateCheck::State &state) {
                publish(state);
            });
    };
}

} // namespace tandrel
