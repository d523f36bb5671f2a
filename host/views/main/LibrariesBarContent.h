#pragma once

#include "core/support/Uuid.h"
#include "host/query/WatchedLibrary.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// The rules of the libraries bar: each row's status, its remove button's name, and the
// library a remove button stands for.
struct LibrariesBarContent {
    enum class Status {
        // Read: a green check, also when an older error is still noted.
        loaded,
        // Never read, or read with an event database that cannot be read: a red triangle,
        // whose tooltip says why.
        failed,
        // Being read: a small spinner.
        reading,
    };

    static Status status(const WatchedLibrary &library);
    // Why a failed row failed, for its tooltip: the load's error, or each event database that
    // cannot be read, a line each (at most maxFailureLines of them, then how many more);
    // empty for the other rows. Each error and path is shown as every outside text is
    // (shownName).
    static std::string failure(const WatchedLibrary &library);
    static constexpr size_t maxFailureLines = 10;
    // The accessible name of the row's remove button, the library's name shown.
    static std::string removeLabel(const WatchedLibrary &library);
    // Where the library with this id is now; rows look it up at the click, so a row removes
    // its own library however the list changed since it was drawn.
    static std::optional<size_t> indexOf(const std::vector<WatchedLibrary> &libraries,
                                         const Uuid &id);
};

} // namespace tandrel
