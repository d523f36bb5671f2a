#pragma once

#include "core/snapshot/SnapshotEntry.h"
#include "core/snapshot/TandrelSnapshot.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tandrel {

// Encodes snapshot documents into the text the snapshot file holds, keeping the text of each
// entry of the last document it encoded: a library saved after one clip was renamed gives a
// document whose thousands of entries are all but a few equal to those of the one before, and
// only those few are encoded again. An entry's text is reused only for an entry equal to the
// one it was encoded from; everything else (the document's other members, the entries that
// changed) is encoded by the JSON library as a whole document would be, so the text is byte
// for byte `encodeJsonText(Json(snapshot))` of the document with its texts kept as the plug-in
// looks at them (SnapshotTexts), and fails as that fails. Keeps the entries and texts of one
// document. Not thread-safe.
class SnapshotEncoder {
public:
    std::string encode(const TandrelSnapshot &snapshot);

    // How many entries of the last document were encoded anew (the others reused their text).
    size_t lastEncodedEntries() const { return lastEncodedEntries_; }

    // Entries of the document before that are looked for this far ahead of where the last
    // match left off, so that entries taken out of a timeline do not make the rest count as
    // changed.
    static constexpr size_t lookAhead = 8;

private:
    struct Encoded {
        SnapshotEntry entry;
        std::string text;
    };

    std::vector<Encoded> last_;
    size_t lastEncodedEntries_ = 0;
};

} // namespace tandrel
