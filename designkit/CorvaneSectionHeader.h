#pragma once

#include <QLabel>

namespace corvane {

// A section's title: the text as written, in the system font at 13 points, medium weight,
// in the secondary text colour.
class CorvaneSectionHeader : public QLabel {
    Q_OBJECT

public:
    explicit CorvaneSectionHeader(const QString &title, QWidget *parent = nullptr);
};

// Gives any view the section header's font and colour.
void corvaneSectionHeader(QWidget *view);

} // namespace corvane
