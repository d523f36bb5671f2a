#pragma once

// What the design kit's sheets share: a page with a title, a colourful backdrop for glass,
// and plain text in a kit style.
#include "designkit/Color.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneSectionHeader.h"
#include "designkit/CorvaneTextStyle.h"

#include <QLabel>
#include <QPainter>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <algorithm>

namespace tandrel::screens::kit {

using namespace corvane;
namespace Spacing = CorvaneDesign::Spacing;

inline QLabel *text(const QString &content, void (*style)(QWidget *)) {
    auto *label = new QLabel(content);
    label->setTextFormat(Qt::PlainText);
    style(label);
    return label;
}

// A sheet: a title and a line about it, then the sections, on the window colour.
class Page : public QWidget {
public:
    Page(const QString &title, const QString &about) : layout_(new QVBoxLayout(this)) {
        setAutoFillBackground(true);
        layout_->setContentsMargins(24, 20, 24, 20);
        layout_->setSpacing(Spacing::standard);
        layout_->addWidget(text(title, corvaneLargeTitle));
        layout_->addWidget(text(about, corvaneCaption));
        layout_->addSpacing(Spacing::standard);
    }

    // A titled section; its content goes into the returned layout.
    template <typename Layout> Layout *section(const QString &title) {
        layout_->addSpacing(Spacing::tight);
        layout_->addWidget(new CorvaneSectionHeader(title));
        auto *layout = new Layout;
        layout_->addLayout(layout);
        return layout;
    }

    void finish() { layout_->addStretch(1); }

private:
    QVBoxLayout *layout_;
};

// Something colourful behind glass, so that its translucency shows.
class Backdrop : public QWidget {
public:
    Backdrop() { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.fillRect(rect(), Color::deepNavy());
        const struct {
            double x, y, radius;
            QColor colour;
        } blobs[] = {
            {0.15, 0.2, 0.45, Color::vibrantBlue()},
            {0.8, 0.3, 0.4, Color::sRGB(0.74, 0.48, 0.82)},
            {0.55, 0.95, 0.5, Color::sRGB(0.85, 0.6, 0.32)},
            {0.95, 0.9, 0.3, Color::cyanElectric()},
        };
        for (const auto &blob : blobs) {
            const QPointF centre(blob.x * width(), blob.y * height());
            QRadialGradient gradient(centre, blob.radius * std::max(width(), height()));
            gradient.setColorAt(0, blob.colour);
            gradient.setColorAt(1, withOpacity(blob.colour, 0));
            painter.fillRect(rect(), gradient);
        }
    }
};

} // namespace tandrel::screens::kit
