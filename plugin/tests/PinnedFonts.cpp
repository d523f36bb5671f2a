#include <cstdlib>

// Every test of this program sees only the pinned fonts: the variable is set before anything
// loads fontconfig.
namespace {
const bool fontsPinned = [] {
    return setenv("FONTCONFIG_FILE", TANDREL_TEST_FONTS_CONF, 1) == 0;
}();
} // namespace
