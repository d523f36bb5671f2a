#include "designkit/Fonts.h"

#include "core/support/Log.h"

#include <QFile>
#include <QFontDatabase>
#include <QWidget>

#include <fontconfig/fontconfig.h>

#include <memory>
#include <mutex>

namespace corvane {

namespace {

auto log() {
    return tandrel::logger("com.ostrevale.tandrel", "designkit");
}

// The family fontconfig picks for `family`, after every substitution.
QString matchedFamily(const char *family) {
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(),
                                                                    &FcPatternDestroy);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8 *>(family));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> match(
        FcFontMatch(nullptr, pattern.get(), &result), &FcPatternDestroy);
    FcChar8 *name = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &name) != FcResultMatch) {
        return {};
    }
    return QString::fromUtf8(reinterpret_cast<const char *>(name));
}

void loadAlias() {
    QFile file(QStringLiteral(":/corvane/fonts/corvane-fonts.conf"));
    if (!file.open(QIODevice::ReadOnly)) {
        log()->error("the kit's font alias is missing from the library's resources");
        return;
    }
    const QByteArray text = file.readAll();
    // The current configuration, created with the system's fonts when nobody has yet.
    FcConfig *config = FcConfigGetCurrent();
    if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8 *>(text.constData()),
                                        FcTrue)) {
        log()->error("fontconfig refused the kit's font alias");
        return;
    }
    const QString family = matchedFamily("AvenirNext-Regular");
    if (family != QLatin1String("Lato")) {
        log()->warn("Lato is not installed (package fonts-lato); the kit's text falls back to '{}'",
                    family.toStdString());
    }
}

} // namespace

void installFonts() {
    static std::once_flag once;
    std::call_once(once, loadAlias);
}

double fontPointSize(double points) {
    return points * 72.0 / 96.0;
}

double kitPoints(const QFont &font) {
    return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
}

QFont corvaneFont(double size, CorvaneFontWeight weight) {
    QFont font;
    font.setFamilies({weight.fontName()});
    font.setWeight(weight.qtWeight());
    font.setPointSizeF(fontPointSize(size));
    return font;
}

QFont corvaneFont(double size, CorvaneFontWeight weight, FontTextStyle) {
    return corvaneFont(size, weight);
}

void corvaneFont(QWidget *view, double size, CorvaneFontWeight weight) {
    view->setFont(corvaneFont(size, weight));
}

void corvaneFont(QWidget *view, double size, CorvaneFontWeight weight, FontTextStyle relativeTo) {
    view->setFont(corvaneFont(size, weight, relativeTo));
}

QFont systemFont(double size, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setWeight(weight);
    font.setPointSizeF(fontPointSize(size));
    return font;
}

} // namespace corvane
