#include "host/views/validation/UnmatchedRow.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "designkit/Painting.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/PlatformStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace tandrel {

namespace {

using corvane::Color;
using corvane::FontTextStyle;

// A filled circle, 5 points across.
class Dot : public QWidget {
public:
    explicit Dot(const QColor &colour) : colour_(colour) { setFixedSize(5, 5); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        corvane::fillRounded(painter, rect(), 2.5, colour_);
    }

private:
    QColor colour_;
};

} // namespace

UnmatchedRow::UnmatchedRow(const TimelineValidator::UnmatchedClip &clip, const QColor &tint,
                           QWidget *parent)
    : QWidget(parent) {
    const QFont font = textStyleFont(FontTextStyle::caption2);
    auto *name = new ElidedLabel(qtText(ReportTexts::rowName(clip.name)), Qt::ElideMiddle);
    name->setObjectName(QStringLiteral("name"));
    name->setFont(font);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(new Dot(tint), 0, Qt::AlignVCenter);
    layout->addWidget(name, 0, Qt::AlignVCenter);
    if (clip.elementType) {
        auto *type = styledLabel(QString::fromStdString(*clip.elementType), font,
                                 Color::corvaneTextTertiary());
        type->setObjectName(QStringLiteral("elementType"));
        layout->addWidget(type, 0, Qt::AlignVCenter);
    }
    layout->addStretch(1);
    auto *timecode =
        styledLabel(QString::fromStdString(ReportTexts::timecode(clip)),
                    monospacedFont(FontTextStyle::caption2), Color::corvaneTextSecondary());
    timecode->setObjectName(QStringLiteral("timecode"));
    layout->addWidget(timecode, 0, Qt::AlignVCenter);
}

} // namespace tandrel
