#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace tandrel {

struct TandrelSnapshot;

// How much of a text of a snapshot the plug-in looks at, for the writer that stores no more
// than that and for the plug-in that lays it out. Names from libraries and exports can be of
// any size, so a text is kept bounded three ways:
// - at most `maxBytes` bytes of it are looked at;
// - each user-perceived character keeps at most maxCodePointsPerCharacter code points (a base
//   and 30 marks; see UnicodeText.h);
// - a text of more than `maxCharacters` characters is cut to its first `maxCharacters` and
//   `cutMarker`, as is one cut at `maxBytes`.
// Bytes that are not UTF-8 show as U+FFFD, and so does NUL, where a layout engine would stop.
// A text kept so is kept the same again, and so is one joined to a label or to other texts
// where it is not cut; kept, it is at most some 37 KB long.
struct SnapshotTexts {
    static constexpr std::size_t maxCharacters = 300;
    static constexpr std::size_t maxBytes = 65536;
    static constexpr std::string_view cutMarker = "\u2026";

    static std::string kept(std::string_view text);
    static void bound(std::string &text);
    // A copy of the text as kept, without copying more of a long one than is kept.
    static std::string held(const std::string &text);
    static std::optional<std::string> held(const std::optional<std::string> &text) {
        return text ? std::optional(held(*text)) : std::nullopt;
    }
    // Every text of a document as the host writes it, but its timeline id: an identity, which
    // the file system bounds already (a database's path and a number), kept whole for whoever
    // compares it.
    static void boundDocument(TandrelSnapshot &document);

    // Every text in `value`: records (through their members), optional values, lists, sets
    // and maps (keys too, so that keys cut alike still find each other); numbers, flags and
    // other values stay as they are.
    template <typename T> static void boundAll(T &value);

private:
    struct Visit {
        template <typename Member> void operator()(std::string_view, Member &member) const {
            boundAll(member);
        }
    };
};

template <typename T> void SnapshotTexts::boundAll(T &value) {
    if constexpr (std::is_same_v<T, std::string>) {
        bound(value);
    } else if constexpr (requires {
                             value.has_value();
                             *value;
                         }) {
        if (value) {
            boundAll(*value);
        }
    } else if constexpr (requires {
                             typename T::key_type;
                             typename T::mapped_type;
                         }) {
        T bounded;
        for (auto &[key, mapped] : value) {
            auto heldKey = key;
            boundAll(heldKey);
            boundAll(mapped);
            bounded.emplace(std::move(heldKey), std::move(mapped));
        }
        value = std::move(bounded);
    } else if constexpr (std::is_same_v<T, std::set<std::string>>) {
        T bounded;
        for (std::string held : value) {
            bound(held);
            bounded.insert(std::move(held));
        }
        value = std::move(bounded);
    } else if constexpr (requires {
                             value.begin();
                             value.push_back(*value.begin());
                         }) {
        for (auto &item : value) {
            boundAll(item);
        }
    } else if constexpr (requires { T::forEachMember(value, Visit{}); }) {
        T::forEachMember(value, Visit{});
    }
}

} // namespace tandrel
