#include "designkit/CorvaneGlassSection.h"

namespace corvane {

CorvaneGlassSection::CorvaneGlassSection(const QString &title, const std::optional<QString> &icon,
                                         QWidget *content, QWidget *parent)
    : CorvaneFloatingPanel({.title = title, .icon = icon, .content = content}, parent) {}

} // namespace corvane
