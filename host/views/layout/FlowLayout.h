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
// place. A child wider than the width sits alone on its row at the width, or at its least
// width where that is wider still (a chip elides its name), so every child stays in reach.
//
//     auto *chips = new FlowLayout(6);
//     row->setLayout(chips);
//     chips->addWidget(chip);
class FlowLayout : public QLayout {
    Q_OBJECT

public:
    // One child: its ideal size and the least width it can be given.
    struct Child {
        QSizeF size;
        double minimumWidth = 0;
    };

    // Where each child goes (its top-left corner, in child order), the width it gets, and the
    // room they take.
    struct Arrangement {
        QSizeF size;
        std::vector<QPointF> positions;
        std::vector<double> widths;

        friend bool operator==(const Arrangement &, const Arrangement &) = default;
    };

    // Without a width no row ever wraps. The first child of a row never wraps, so a child
    // wider than the width sits alone on its row; it gets the width, or its least width when
    // that is more (and then overhangs). The reported width counts the spacing after the last
    // child of the widest row; the height has no spacing after the last row.
    static Arrangement arrange(const std::vector<Child> &children,
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
    // As narrow as the widest least width of a child, as low as the tallest child.
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    // The children that take place, and their layout items.
    std::vector<Child> children(std::vector<QLayoutItem *> *placed = nullptr) const;
    Arrangement arrangeWithin(std::optional<int> width) const;
    QSize withMargins(const QSizeF &size) const;

    QList<QLayoutItem *> items_;
};

} // namespace tandrel
