#include "host/views/layout/EditorStyle.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSlider.h"
#include "designkit/CorvaneToggle.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/views/common/PlatformStyle.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <algorithm>

namespace tandrel::EditorStyle {

using corvane::Color;
using corvane::CorvaneFontWeight;
using corvane::FontTextStyle;
using corvane::styleSheetColor;
using corvane::withOpacity;

namespace {

QString outline() {
    return styleSheetColor(withOpacity(Color::white(), 0.16));
}

} // namespace

QFont body(CorvaneFontWeight weight) {
    return corvane::corvaneFont(15, weight, FontTextStyle::body);
}

QFont caption() {
    return corvane::corvaneFont(13, CorvaneFontWeight::regular, FontTextStyle::caption);
}

QFont caption2() {
    return corvane::corvaneFont(12, CorvaneFontWeight::regular, FontTextStyle::caption2);
}

QColor secondary() {
    return Color::corvaneTextSecondary();
}

QColor tertiary() {
    return Color::corvaneTextTertiary();
}

QLabel *label(const QString &text, const QFont &font, const QColor &colour) {
    return styledLabel(text, font, colour);
}

QLabel *wrappingLabel(const QString &text, const QFont &font, const QColor &colour) {
    QLabel *view = label(text, font, colour);
    view->setWordWrap(true);
    // A wrapping label asks for no width of its own: it takes the column's.
    view->setMinimumWidth(40);
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Its height follows the width it gets.
    policy.setHeightForWidth(true);
    view->setSizePolicy(policy);
    return view;
}

void roundedField(QLineEdit *field, const QFont &font, Qt::Alignment alignment) {
    field->setFont(font);
    field->setAlignment(alignment);
    field->setStyleSheet(QStringLiteral("QLineEdit { background: %1; border: 1px solid %2;"
                                        " border-radius: 5px; padding: 1px 3px; }"
                                        "QLineEdit:focus { border-color: %3; }")
                             .arg(styleSheetColor(Color::corvaneCardFill()), outline(),
                                  styleSheetColor(Color::corvaneAccent())));
}

void borderedButton(QAbstractButton *button, const QFont &font) {
    button->setFont(font);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; border: 1px solid %2; border-radius: 5px;"
                       " padding: 2px 9px; color: %3; }"
                       "QPushButton:hover { background: %4; }"
                       "QPushButton:pressed { background: %5; }"
                       "QPushButton:disabled { color: %6; }")
            .arg(styleSheetColor(withOpacity(Color::white(), 0.09)), outline(),
                 styleSheetColor(Color::primary()),
                 styleSheetColor(withOpacity(Color::white(), 0.14)),
                 styleSheetColor(withOpacity(Color::white(), 0.05)),
                 styleSheetColor(Color::corvaneTextTertiary())));
}

void toggle(QCheckBox *box, const QFont &font) {
    box->setFont(font);
    corvane::corvaneToggle(box);
}

void popUpMenu(QComboBox *menu, const QFont &font) {
    menu->setFont(font);
    menu->setCursor(Qt::PointingHandCursor);
    menu->setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

void slider(QSlider *slider) {
    corvane::corvaneSlider(slider);
}

void sliderAndField(QWidget *owner, QSlider *slider, int positions, QLineEdit *field,
                    int fieldWidth) {
    auto *row = new QHBoxLayout(owner);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    EditorStyle::slider(slider);
    slider->setRange(0, positions);
    slider->setSingleStep(1);
    slider->setPageStep(std::max(1, positions / 10));
    slider->setMinimumWidth(48);
    row->addWidget(slider, 1, Qt::AlignVCenter);
    roundedField(field, caption(), Qt::AlignRight | Qt::AlignVCenter);
    field->setFixedWidth(fieldWidth);
    row->addWidget(field, 0, Qt::AlignVCenter);
}

} // namespace tandrel::EditorStyle
