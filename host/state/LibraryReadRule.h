#pragma once

#include <chrono>
#include <optional>

namespace tandrel {

// Whether what one read of a watched library found is believed. A save may be caught between
// its steps: half written, or removed and not written anew yet, or written from its start
// with its old rest still behind. What such a read lacks may only not be there yet, so what
// the library had stays until the evidence settles: a second read that finds the same loss
// after the writes have been quiet long enough. A database gone or unreadable must have been
// so for longer than a save pauses; a timeline chosen from the library that a read of whole
// databases lacks, for the settle interval.
struct LibraryReadRule {
    struct Read {
        // The library was read before: what it had is there to keep.
        bool readBefore = false;
        // A database was read in the middle of a save.
        bool midSave = false;
        // The library's folder could not be read.
        bool failed = false;
        // A database the library had is not there now, or one cannot be read.
        bool lostDatabase = false;
        // The chosen timeline is the library's, and this read lacks it.
        bool lostChoice = false;
        // The read before this one found the same kind of loss, and was not believed.
        bool doubtedBefore = false;
        // How long the library's writes have been quiet.
        std::chrono::milliseconds quiet{0};
    };

    enum class Take {
        // What the read found is the library now.
        whole,
        // Shown for now (nothing else is known of the library), but not yet the library's:
        // the timeline restored from the last run and the lone-timeline rule wait.
        forNow,
        // Nothing: what the library had stays, and so does what is served from it.
        nothing,
    };

    struct Verdict {
        Take take = Take::whole;
        // Read again once the writes have been quiet this long; nothing when no second read is
        // due (it comes with the next change, if any).
        std::optional<std::chrono::milliseconds> readAgainAfterQuiet;
        // The read found a loss that is not believed yet.
        bool doubted = false;

        friend bool operator==(const Verdict &, const Verdict &) = default;
    };

    // `settle` is how long a settled save's writes are quiet, `longestSavePause` how long a
    // save may leave a database gone or unreadable.
    static Verdict judge(const Read &read, std::chrono::milliseconds settle,
                         std::chrono::milliseconds longestSavePause);
};

} // namespace tandrel
