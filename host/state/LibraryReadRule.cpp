#include "host/state/LibraryReadRule.h"

namespace tandrel {

LibraryReadRule::Verdict LibraryReadRule::judge(const Read &read,
                                                std::chrono::milliseconds settle,
                                                std::chrono::milliseconds longestSavePause) {
    // The watcher reads it again once the save is over.
    if (read.midSave) {
        return {read.readBefore ? Take::nothing : Take::forNow, std::nullopt, false};
    }
    const bool lost = read.failed || read.lostDatabase;
    if (!lost && !read.lostChoice) {
        return {Take::whole, std::nullopt, false};
    }
    const std::chrono::milliseconds quietEnough = lost ? longestSavePause : settle;
    if (read.doubtedBefore && read.quiet >= quietEnough) {
        return {Take::whole, std::nullopt, false};
    }
    return {read.readBefore ? Take::nothing : Take::forNow, quietEnough, true};
}

} // namespace tandrel
