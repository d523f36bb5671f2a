#pragma once

#include "core/database/FCPDatabaseConnection.h"
#include "core/model/FrameRate.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace tandrel {

// The source-media facts of all watched libraries by media identifier. Shared by every
// timeline resolver and reloaded as a whole; not synchronised.
class AssetStore {
public:
    struct SourceAsset {
        std::string fileName;
        std::string mediaIdentifier;
        int64_t sourceStartFrames = 0;
        int64_t durationFrames = 0;
        std::optional<FrameRate> frameRate;
        bool isDropFrame = false;
        std::optional<std::string> videoFormatName;
        bool hasVideo = false;
        bool hasAudio = false;
        std::optional<double> audioSampleRate;

        friend bool operator==(const SourceAsset &, const SourceAsset &) = default;
    };

    size_t count() const { return assets_.size(); }
    std::optional<SourceAsset> resolve(std::string_view mediaIdentifier) const;
    // Fails with `queryFailed` only when the asset collections cannot be queried.
    void loadAssets(FCPDatabaseConnection &db);
    // Fails when the library folder cannot be listed, or with the first failure of
    // `loadAssets`; assets loaded before a failure stay.
    void loadAllAssets(const std::filesystem::path &libraryURL);
    void clear() { assets_.clear(); }

    // "num/den" (empty pieces between slashes dropped) to a pair with a non-zero denominator.
    static std::optional<std::pair<int64_t, int64_t>> parseFraction(std::string_view text);

private:
    std::unordered_map<std::string, SourceAsset> assets_;
};

} // namespace tandrel
