#include "host/state/TimelineTextOrder.h"

#include <QCollator>
#include <QString>

#include <memory>

namespace tandrel {

QueryResolver::TextOrder timelineTextOrder() {
    auto collator = std::make_shared<QCollator>();
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    return [collator](const std::string &a, const std::string &b) {
        const int order = collator->compare(QString::fromStdString(a), QString::fromStdString(b));
        return order < 0    ? std::weak_ordering::less
               : order == 0 ? std::weak_ordering::equivalent
                            : std::weak_ordering::greater;
    };
}

} // namespace tandrel
