#include "tools/tandrel-screens/ScreenRegistry.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tandrel::screens {

ScreenRegistry &ScreenRegistry::shared() {
    static ScreenRegistry registry;
    return registry;
}

bool ScreenRegistry::isValidName(const QString &name) {
    static const QRegularExpression pattern(QStringLiteral("^[a-z0-9]+(-[a-z0-9]+){2,}$"));
    return pattern.match(name).hasMatch();
}

void ScreenRegistry::add(Screen screen) {
    const char *problem = nullptr;
    if (!isValidName(screen.name)) {
        problem = "is not <area>-<view>-<state> in lower-case words";
    } else if (find(screen.name) != nullptr) {
        problem = "is registered twice";
    } else if (screen.size.isEmpty()) {
        problem = "has no size";
    } else if (!screen.build) {
        problem = "has no builder";
    }
    if (problem != nullptr) {
        std::fprintf(stderr, "tandrel-screens: the screen \"%s\" %s\n", qPrintable(screen.name),
                     problem);
        std::exit(2);
    }
    screens_.push_back(std::move(screen));
}

std::vector<const Screen *> ScreenRegistry::screens() const {
    std::vector<const Screen *> result;
    for (const Screen &screen : screens_) {
        result.push_back(&screen);
    }
    std::sort(result.begin(), result.end(),
              [](const Screen *a, const Screen *b) { return a->name < b->name; });
    return result;
}

const Screen *ScreenRegistry::find(const QString &name) const {
    const auto found = std::find_if(screens_.begin(), screens_.end(),
                                    [&](const Screen &screen) { return screen.name == name; });
    return found == screens_.end() ? nullptr : &*found;
}

ScreenRegistration::ScreenRegistration(std::initializer_list<Screen> screens) {
    for (const Screen &screen : screens) {
        ScreenRegistry::shared().add(screen);
    }
}

} // namespace tandrel::screens
