#pragma once

#include <QLayout>
#include <QList>
#include <QPointF>
#include <QSizeF>

#include <optional>
#include <vector>

namespace tandrel {

// Lays its children out left to right at their ideal sizes (their size hints) and starts a
// new row when the next child would pass the width it is given, like words in a paragraph.
// One spacing serves between the children of a row and between rows. Hidden children take no
// place.
//
//     auto *chips = new FlowLayout(6);
//     row->setLayout(chips);
//     chips->addWidget(chip);
class FlowLayout : public QLayout {
    Q_OBJECT

public:
    // Where each child goes (its top-left corner, in child order) and the room they take.
    struct Arrangement {
        QSizeF size;
        std::vector<QPointF> positions;

        friend bool operator==(const Arrangement &, const Arrangement &) = default;
    };

    // Without a width no row ever wraps. The first child of a row never wraps, so a child
    // wider than the width sits alone on its row and overhangs. The reported width counts the
    // spacing after the last child of the widest row; the height has no spacing after the
    // last row.
    static Arrangement arrange(const std::vector<QSizeF> &sizes,
                               std::optional<double> proposedWidth, double spacing);

    explicit FlowLayout(int spacing, QWidget *parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // All children on one row.
    QSize sizeHint() const override;
    // As narrow as the widest child, as low as the tallest.
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    // The ideal sizes of the children that take place, and those children.
    std::vector<QSizeF> sizes(std::vector<QLayoutItem *> *placed = nullptr) const;
    Arrangement arrangeWithin(std::optional<int> width) const;
    QSize withMargins(const QSizeF &size) const;

    QList<QLayoutItem *> items_;
};

} // namespace tandrel
