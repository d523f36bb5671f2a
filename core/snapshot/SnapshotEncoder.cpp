#include "core/snapshot/SnapshotEncoder.h"

#include "core/snapshot/SnapshotTexts.h"
#include "core/support/JsonText.h"

#include <algorithm>
#include <string_view>
#include <type_traits>

namespace tandrel {

namespace {

// The entries member of a document without entries, as the JSON library writes it.
constexpr std::string_view noEntries = "\"entries\":[]";

// The document with every member but its entries.
TandrelSnapshot withoutEntries(const TandrelSnapshot &document) {
    TandrelSnapshot shell;
    TandrelSnapshot::forEachMember(shell, [&](std::string_view key, auto &target) {
        using Member = std::decay_t<decltype(target)>;
        if constexpr (!std::is_same_v<Member, std::vector<SnapshotEntry>>) {
            TandrelSnapshot::forEachMember(
                document, [&](std::string_view sourceKey, const auto &source) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(source)>, Member>) {
                        if (sourceKey == key) {
                            target = source;
                        }
                    }
                });
        }
    });
    return shell;
}

// The document as it is written: its texts kept as the plug-in looks at them.
TandrelSnapshot kept(TandrelSnapshot document) {
    SnapshotTexts::boundDocument(document);
    return document;
}

} // namespace

std::string SnapshotEncoder::encode(const TandrelSnapshot &snapshot) {
    const std::vector<SnapshotEntry> &entries = snapshot.entries;
    std::vector<Encoded> next;
    next.reserve(entries.size());
    size_t encodedAnew = 0;
    // The entries of the last document before this place were matched or passed over.
    size_t from = 0;
    for (const SnapshotEntry &entry : entries) {
        const size_t end = std::min(last_.size(), from + lookAhead);
        size_t match = from;
        while (match < end && !(last_[match].entry == entry)) {
            ++match;
        }
        if (match < end) {
            next.push_back(std::move(last_[match]));
            from = match + 1;
            continue;
        }
        std::string text;
        try {
            SnapshotEntry written = entry;
            SnapshotTexts::boundAll(written);
            text = encodeJsonText(Json(written));
        } catch (const CodingError &) {
            // The whole document fails as it would have, saying where in it the entry is.
            last_.clear();
            return encodeJsonText(Json(kept(snapshot)));
        }
        next.push_back({entry, std::move(text)});
        ++encodedAnew;
    }
    last_ = std::move(next);
    lastEncodedEntries_ = encodedAnew;

    TandrelSnapshot shellDocument = withoutEntries(snapshot);
    SnapshotTexts::boundDocument(shellDocument);
    const std::string shell = encodeJsonText(Json(shellDocument));
    const size_t at = shell.find(noEntries);
    if (at == std::string::npos || shell.find(noEntries, at + 1) != std::string::npos) {
        // The member cannot be told apart from the text of another one (a key of the preset
        // spelled the same way): the document is encoded whole.
        lastEncodedEntries_ = entries.size();
        return encodeJsonText(Json(kept(snapshot)));
    }
    // Between the brackets of the entries member, the entries as the library separates the
    // items of an array in compact text.
    const size_t close = at + noEntries.size() - 1;
    size_t size = shell.size() + last_.size();
    for (const Encoded &encoded : last_) {
        size += encoded.text.size();
    }
    std::string text;
    text.reserve(size);
    text.append(shell, 0, close);
    for (size_t i = 0; i < last_.size(); ++i) {
        if (i > 0) {
            text.push_back(',');
        }
        text.append(last_[i].text);
    }
    text.append(shell, close, std::string::npos);
    return text;
}

} // namespace tandrel
