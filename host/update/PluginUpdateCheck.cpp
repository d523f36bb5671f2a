#include "host/update/PluginUpdateCheck.h"

#include "core/support/Log.h"
#include "core/support/Numeric.h"
#include "host/update/PluginUpdateInstaller.h"
#include "platform/bundle/Bundle.h"
#include "wrapper/PluginVersionMarker.h"

#include <algorithm>
#include <system_error>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "update");
}

std::optional<PluginVersionMarker> markerAt(const std::optional<std::filesystem::path> &location) {
    return location ? PluginVersionMarker::read(*location) : std::nullopt;
}

} // namespace

std::optional<std::int64_t> PluginUpdateCheck::buildNumber(std::string_view text) {
    return parseDecimalInt64(text);
}

std::optional<std::int64_t> PluginUpdateCheck::outdatedBuild(const Inputs &inputs) {
    const std::int64_t hostBuild = buildNumber(inputs.hostBuild).value_or(0);
    const auto marker = markerAt(inputs.markerLocation);
    if (!marker) {
        return std::nullopt;
    }
    const auto installed = buildNumber(marker->build);
    if (!installed || *installed >= hostBuild) {
        return std::nullopt;
    }
    // A marker lags behind an application installed by hand and not yet run, or one an older
    // wrapper recorded: the application's own build counts too.
    const auto own = platform::Bundle(inputs.installedApplication).infoString("CFBundleVersion");
    const auto ownBuild = own ? buildNumber(*own) : std::nullopt;
    if (ownBuild && *ownBuild >= hostBuild) {
        return std::nullopt;
    }
    return ownBuild ? std::max(*installed, *ownBuild) : *installed;
}

PluginUpdateCheck::State PluginUpdateCheck::stateAfterSuccess(const Inputs &inputs) {
    if (auto build = platform::Bundle(inputs.installedApplication).infoString("CFBundleVersion")) {
        return State::installed(std::move(*build));
    }
    if (auto marker = markerAt(inputs.markerLocation)) {
        return State::installed(std::move(marker->build));
    }
    return State::installed("?");
}

PluginUpdateCheck::State PluginUpdateCheck::stateAfterFailure(const std::exception_ptr &failure) {
    // The user reads what happened in a few words; the details (the server's or a tool's
    // words, names of temporary files) are for whoever reads the log.
    const auto logged = [](const char *description) {
        log()->warn("The plug-in update failed: {}", description);
    };
    try {
        std::rethrow_exception(failure);
    } catch (const PluginUpdateInstaller::InstallError &error) {
        logged(error.what());
        if (error.errorCase() ==
            PluginUpdateInstaller::InstallError::Case::appManagementPermissionDenied) {
            return State::needsAppManagementPermission();
        }
        return State::failed(error.reason());
    } catch (const std::system_error &error) {
        logged(error.what());
        return State::failed("the update's temporary files could not be written");
    } catch (const std::exception &error) {
        // A failed transfer, or the downloaded file that could not be kept.
        logged(error.what());
        return State::failed("the download failed");
    } catch (...) {
        logged("an exception of unknown type");
        return State::failed("an unexpected error occurred");
    }
}

void PluginUpdateCheck::run(const Inputs &inputs, const Installer &installer,
                            const std::function<void(const State &)> &publish) {
    const auto installedBuild = outdatedBuild(inputs);
    if (!installedBuild) {
        publish(State::upToDate());
        return;
    }
    publish(State::installing());
    installer(*installedBuild, [inputs, publish](const std::exception_ptr &failure) {
        publish(failure ? stateAfterFailure(failure) : stateAfterSuccess(inputs));
    });
}

} // namespace tandrel
