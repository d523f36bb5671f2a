#include "timecode/ui/model/TimecodeFieldComponentViewModel.h"
#include "timecode/ui/model/TimecodeFieldRow.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace timecode {
namespace {

using namespace timecode::test;
using Option = Timecode::StringFormatOption;
using Format = Timecode::StringFormat;

TEST(TimecodeFieldRow, ShowsComponentsByFormatLimitAndRate) {
    struct Case {
        Timecode::Properties properties;
        Format format;
        std::string row;
    };
    const std::vector<Case> cases{
        {props(R::fps24), {}, "{hours}:{minutes}:{seconds}:{frames}"},
        {props(R::fps25), {}, "{hours}:{minutes}:{seconds}:{frames}"},
        {props(R::fps29_97d), {}, "{hours}:{minutes}:{seconds};{frames}"},
        {props(R::fps120d), {}, "{hours}:{minutes}:{seconds};{frames}"},
        {props(R::fps29_97), {}, "{hours}:{minutes}:{seconds}:{frames}"},
        {props(R::fps24, Base::max80SubFrames, Limit::max100Days),
         {},
         "{days} {hours}:{minutes}:{seconds}:{frames}"},
        {props(R::fps24), {Option::alwaysShowDays}, "{days} {hours}:{minutes}:{seconds}:{frames}"},
        {props(R::fps59_94d),
         {Option::showSubFrames},
         "{hours}:{minutes}:{seconds};{frames}.{subFrames}"},
        // The file-name option changes nothing in the field.
        {props(R::fps24, Base::max80SubFrames, Limit::max100Days),
         {Option::showSubFrames, Option::filenameCompatible},
         "{days} {hours}:{minutes}:{seconds}:{frames}.{subFrames}"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(TimecodeFieldRow::describe(TimecodeFieldRow::items(c.properties, c.format)),
                  c.row);
    }
}

// Focus moves among the shown components only: past the ends it stays without wrapping, or
// continues at the other end with it; from a hidden component it lands on the nearest end.
TEST(TimecodeFieldComponentViewModel, MovesFocusAmongShownComponents) {
    const auto hours24 = props(R::fps24);
    const auto days100 = props(R::fps24, Base::max80SubFrames, Limit::max100Days);
    struct Case {
        C component;
        Timecode::Properties properties;
        Format format;
        C first, previousNoWrap, previousWrap, nextNoWrap, nextWrap;
    };
    const std::vector<Case> cases{
        {C::frames, hours24, {}, C::hours, C::seconds, C::seconds, C::frames, C::hours},
        {C::hours, hours24, {}, C::hours, C::hours, C::frames, C::minutes, C::minutes},
        {C::frames,
         hours24,
         {Option::showSubFrames},
         C::hours,
         C::seconds,
         C::seconds,
         C::subFrames,
         C::subFrames},
        {C::subFrames,
         hours24,
         {Option::showSubFrames},
         C::hours,
         C::frames,
         C::frames,
         C::subFrames,
         C::hours},
        {C::hours, days100, {}, C::days, C::days, C::days, C::minutes, C::minutes},
        {C::days, days100, {}, C::days, C::days, C::frames, C::hours, C::hours},
        // Hidden components: days at 24 hours, sub-frames without the option.
        {C::days, hours24, {}, C::hours, C::frames, C::frames, C::hours, C::hours},
        {C::subFrames, hours24, {}, C::hours, C::frames, C::frames, C::hours, C::hours},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.component.nameLowerCamelCase()) + " " +
                     TimecodeFieldRow::describe(TimecodeFieldRow::items(c.properties, c.format)));
        const TimecodeFieldComponentViewModel model(c.component, c.properties);
        EXPECT_EQ(model.firstVisibleComponent(c.format), c.first);
        EXPECT_EQ(model.previousComponent(c.format, false), c.previousNoWrap);
        EXPECT_EQ(model.previousComponent(c.format, true), c.previousWrap);
        EXPECT_EQ(model.nextComponent(c.format, false), c.nextNoWrap);
        EXPECT_EQ(model.nextComponent(c.format, true), c.nextWrap);
    }
}

TEST(TimecodeFieldComponentViewModel, InvisibleComponentsAndObservedProperties) {
    using Set = C::Set;
    EXPECT_EQ(TimecodeFieldComponentViewModel::invisibleComponents({}, Limit::max24Hours),
              (Set{C::days, C::subFrames}));
    EXPECT_EQ(TimecodeFieldComponentViewModel::invisibleComponents(
                  {Option::alwaysShowDays, Option::showSubFrames}, Limit::max24Hours),
              Set{});
    EXPECT_EQ(TimecodeFieldComponentViewModel::invisibleComponents({}, Limit::max100Days),
              Set{C::subFrames});

    TimecodeFieldComponentViewModel model(C::hours, props(R::fps24));
    int heard = 0;
    model.setObserver([&heard] { ++heard; });
    model.setTimecodeProperties(props(R::fps24));
    EXPECT_EQ(heard, 0);
    model.setTimecodeProperties(props(R::fps24, Base::max80SubFrames, Limit::max100Days));
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(model.upperLimit(), Limit::max100Days);
}

} // namespace
} // namespace timecode
