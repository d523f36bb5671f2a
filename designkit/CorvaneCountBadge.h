#pragma once

#include <QColor>
#include <QLabel>

namespace corvane {

// A count in the tint, semibold 12-point system type, without a background.
class CorvaneCountBadge : public QLabel {
    Q_OBJECT

public:
    CorvaneCountBadge(qint64 count, const QColor &tint, QWidget *parent = nullptr);

    static QString displayText(qint64 count);
};

} // namespace corvane
