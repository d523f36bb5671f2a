#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tandrel {

// What the plug-in keeps of the texts a snapshot holds (names from the editor's libraries,
// preset labels): each as LayoutText lays it out. A snapshot's texts travel to every
// frame (in the render state, through the text resolution), so a text of megabytes, or one
// character of a hundred thousand marks, would cost every frame its size; what a frame draws
// of a text bounded so stays the same, alone or joined to a label or to other texts.
struct HeldTexts {
    static void bound(std::string &text);

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

template <typename T> void HeldTexts::boundAll(T &value) {
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
