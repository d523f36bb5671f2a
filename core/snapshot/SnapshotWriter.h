#pragma once

#include "core/model/EditEntry.h"
#include "core/model/FCPMetadata.h"
#include "core/model/FrameRate.h"
#include "core/snapshot/SnapshotEncoder.h"
#include "core/snapshot/SnapshotEntry.h"
#include "core/snapshot/TandrelSnapshot.h"

#include <filesystem>
#include <vector>

namespace tandrel {

// Owns the snapshot file "Tandrel/current.json" in the application-support folder: writes it
// whole, removes it, and turns resolved edit entries into snapshot entries. Keeps no state (a
// caller that writes again and again may keep an encoder); runs on the caller's thread.
struct SnapshotWriter {
    // Replaces the file with the document, creating its folder when needed. Each text of it
    // is stored as far as the plug-in looks at it (SnapshotTexts): a name of megabytes would
    // make a file the plug-in refuses, or one it parses at length for nothing. Fails with
    // EncodingError when the document holds a number that is not finite, and with
    // std::system_error or std::runtime_error when the file cannot be written; the previous
    // file then stays as it was.
    static void write(const TandrelSnapshot &snapshot);
    // The same, encoded through `encoder`, which keeps what it can reuse for the next document
    // (the file's bytes are the same either way).
    static void writeEncoded(const TandrelSnapshot &snapshot, SnapshotEncoder &encoder);

    // Removes the file. A missing file or any other failure is dropped.
    static void clear() noexcept;

    // The snapshot entries of one edit entry: one per display segment, in order, or one over
    // the whole entry when it has none. All entries of an edit entry lie on one line of
    // source frames starting at its first source frame (its last, when reversed).
    //
    // Every time, frame and speed must be finite and every frame and time in 1/240000 s must
    // fit 64 bits. An edit entry outside those limits yields no entries (and a logged error):
    // no entry with a wrong value is written, and the rest of the timeline is still served.
    // Likewise an entry beyond the bounds the plug-in holds a snapshot to (SnapshotLimits: a
    // speed, start frame, time or stacked layer too far out) is left out and logged, since
    // the plug-in would refuse the whole document for it.
    static std::vector<SnapshotEntry> snapshotEntries(const EditEntry &from);

    // Where `write` puts the document, for the tools that say so.
    static std::filesystem::path legacySnapshotURL();

private:
    // The metadata record every stretch of the entry shares (the stretches' connected clips,
    // roles and layers are each stretch's own), its texts kept as the document keeps them.
    static FCPMetadata metadata(const EditEntry &from, FrameRate rate);
};

} // namespace tandrel
