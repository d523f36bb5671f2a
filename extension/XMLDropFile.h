#pragma once

#include "platform/runtime/Clock.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tandrel {

// The file through which the editor panel hands an FCPXML dropped on it to the host:
// "drop-<time>.fcpxml" in the folder "GroundTruthDrops" of the app group's folder, named by
// the time of the drop in UTC to the second; a later drop within the same second gets
// "drop-<time>-2.fcpxml", "-3" and so on, so that no drop replaces another the host may not
// have taken yet. The file is written whole, through a hidden temporary
// file, so the host, which takes the newest visible file of the folder, never takes one still
// being written; only then is the host told. The panel shows the outcome's text. A drop
// describes the user's project: it and the folder made for it are the user's alone (0600,
// 0700); the host runs as the user.
class XMLDropFile {
public:
    struct Services {
        std::shared_ptr<const platform::Clock> clock;
        // Tells the host that a drop is complete (the bridge's xmlDropped).
        std::function<void()> announce;

        // The system clock and the bridge's notification.
        static Services standard();
    };

    struct Outcome {
        // For the panel's status line: "Saved drop-….fcpxml (n chars)", "Failed to save: …"
        // or "Couldn't reach the shared container".
        std::string statusText;
        // The file written; nothing when the drop was not saved.
        std::optional<std::filesystem::path> file;
    };

    explicit XMLDropFile(Services services = Services::standard());

    // "drop-2026-12-08T02-03-25Z.fcpxml" for 2026-12-08 02:03:25.9 UTC as the first drop of
    // that second, "drop-2026-12-08T02-03-25Z-2.fcpxml" as the second.
    static std::string fileName(platform::Clock::WallTime time, int dropOfTheSecond = 1);

    // Writes the text as UTF-8, unchanged, under the first name of its second that no entry
    // of the folder has, creating the folder when missing, and announces it once it is in
    // place. A failure announces nothing.
    Outcome save(const QString &xml) const;

private:
    Services services_;
};

} // namespace tandrel
