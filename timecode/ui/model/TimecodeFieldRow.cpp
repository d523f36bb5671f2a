#include "timecode/ui/model/TimecodeFieldRow.h"

#include "timecode/ui/model/TimecodeFieldComponentViewModel.h"

namespace timecode {

std::vector<TimecodeFieldRow::Item> TimecodeFieldRow::items(const TimecodeProperties &properties,
                                                            TimecodeStringFormat timecodeFormat) {
    using C = TimecodeComponent;
    const C::Set invisible =
        TimecodeFieldComponentViewModel::invisibleComponents(timecodeFormat, properties.upperLimit);
    std::vector<Item> row;
    auto component = [&](C c) { row.push_back({c, {}}); };
    auto separator = [&](std::string text) { row.push_back({std::nullopt, std::move(text)}); };
    if (invisible.count(C::days) == 0) {
        component(C::days);
        separator(" ");
    }
    component(C::hours);
    separator(":");
    component(C::minutes);
    separator(":");
    component(C::seconds);
    separator(properties.frameRate.isDrop() ? ";" : ":");
    component(C::frames);
    if (invisible.count(C::subFrames) == 0) {
        separator(".");
        component(C::subFrames);
    }
    return row;
}

std::string TimecodeFieldRow::describe(const std::vector<Item> &items) {
    std::string text;
    for (const Item &item : items) {
        if (item.component) {
            text.append("{").append(item.component->nameLowerCamelCase()).append("}");
        } else {
            text.append(item.separator);
        }
    }
    return text;
}

} // namespace timecode
