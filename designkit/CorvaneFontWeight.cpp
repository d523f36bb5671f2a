#include "designkit/CorvaneFontWeight.h"

namespace corvane {

const std::array<CorvaneFontWeight, 5> CorvaneFontWeight::allCases = {regular, medium, demiBold,
                                                                      bold, heavy};

QString CorvaneFontWeight::fontName() const {
    switch (value_) {
    case regular:
        return QStringLiteral("AvenirNext-Regular");
    case medium:
        return QStringLiteral("AvenirNext-Medium");
    case demiBold:
        return QStringLiteral("AvenirNext-DemiBold");
    case bold:
        return QStringLiteral("AvenirNext-Bold");
    case heavy:
        return QStringLiteral("AvenirNext-Heavy");
    }
    return {};
}

QFont::Weight CorvaneFontWeight::qtWeight() const {
    switch (value_) {
    case regular:
        return QFont::Normal;
    case medium:
        return QFont::Medium;
    case demiBold:
        return QFont::DemiBold;
    case bold:
        return QFont::Bold;
    case heavy:
        return QFont::ExtraBold;
    }
    return QFont::Normal;
}

} // namespace corvane
