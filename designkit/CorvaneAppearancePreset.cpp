#include "designkit/CorvaneAppearancePreset.h"

namespace corvane {

const CorvaneAppearancePreset &CorvaneAppearancePreset::deepBlack() {
    static const CorvaneAppearancePreset preset{QStringLiteral("deepBlack"),
                                                QStringLiteral("Deep Black"),
                                                0.7,
                                                0.05,
                                                QStringLiteral("#000000"),
                                                std::nullopt,
                                                std::nullopt};
    return preset;
}

const CorvaneAppearancePreset &CorvaneAppearancePreset::soft() {
    static const CorvaneAppearancePreset preset{
        QStringLiteral("soft"),    QStringLiteral("Soft"), 0.4,         0.05,
        QStringLiteral("#000000"), std::nullopt,           std::nullopt};
    return preset;
}

const CorvaneAppearancePreset &CorvaneAppearancePreset::saffraColors() {
    static const CorvaneAppearancePreset preset{QStringLiteral("saffraColors"),
                                                QStringLiteral("Saffra Colors"),
                                                0.95,
                                                0.0,
                                                QStringLiteral("#0D0D0D"),
                                                QStringLiteral("#121212"),
                                                QStringLiteral("#454545")};
    return preset;
}

const std::vector<CorvaneAppearancePreset> &CorvaneAppearancePreset::builtIn() {
    static const std::vector<CorvaneAppearancePreset> presets{deepBlack(), soft(), saffraColors()};
    return presets;
}

} // namespace corvane
