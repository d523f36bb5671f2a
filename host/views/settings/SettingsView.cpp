#include "host/views/settings/SettingsView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneAppearancePreset.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneSlider.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/views/common/Preferences.h"
#include "host/views/common/QtText.h"
#include "host/views/common/StyledLabel.h"
#include "host/views/common/TextButton.h"
#include "host/views/common/UrlOpener.h"
#include "host/views/feedback/FeedbackSheet.h"
#include "host/views/settings/SettingsContent.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

namespace {

constexpr int cardPadding = 12;
constexpr int percentWidth = 44;

// A caption in the secondary colour, wrapping over as many lines as it needs.
QLabel *caption(const QString &content) {
    auto *label = styledLabel(content, corvaneCaption);
    corvaneForeground(label, Color::corvaneTextSecondary());
    label->setWordWrap(true);
    return label;
}

QLabel *bodyText(const QString &content) {
    auto *label = new QLabel(content);
    label->setTextFormat(Qt::PlainText);
    corvaneFont(label, 13, CorvaneFontWeight::regular);
    return label;
}

// A group of the form: its header, then its controls on a card.
class Section : public QWidget {
public:
    Section(const QString &title, QLayout *content) {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(6);
        auto *header = new QLabel(title);
        header->setTextFormat(Qt::PlainText);
        corvaneFont(header, 12, CorvaneFontWeight::demiBold);
        corvaneForeground(header, Color::corvaneTextSecondary());
        header->setContentsMargins(4, 0, 0, 0);
        layout->addWidget(header);
        card_ = new Card;
        content->setContentsMargins(cardPadding, cardPadding, cardPadding, cardPadding);
        card_->setLayout(content);
        layout->addWidget(card_);
    }

private:
    class Card : public QWidget {
    protected:
        void paintEvent(QPaintEvent *) override {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            fillRounded(painter, rect(), CorvaneDesign::CornerRadius::card,
                        Color::corvaneCardFill());
            strokeRoundedInside(painter, rect(), CorvaneDesign::CornerRadius::card,
                                Color::corvaneDivider());
        }
    };

    Card *card_;
};

QVBoxLayout *column(int spacing = 8) {
    auto *layout = new QVBoxLayout;
    layout->setSpacing(spacing);
    return layout;
}

} // namespace

SettingsView::SettingsView(AppState &state, Preferences &preferences, QWidget *parent)
    : SettingsView(state, preferences, UrlOpener::system(), parent) {}

SettingsView::SettingsView(AppState &state, Preferences &preferences, UrlOpener &opener,
                           QWidget *parent)
    : QWidget(parent), state_(state), preferences_(preferences), opener_(opener) {
    auto *form = new QVBoxLayout(this);
    form->setContentsMargins(padding, padding, padding, padding);
    form->setSpacing(18);
    form->setSizeConstraint(QLayout::SetMinimumSize);
    for (QWidget *section : {makeAppearanceSection(), makeFeedbackSection(), makeCreditsSection(),
                             makeWindowSection()}) {
        section->setFixedWidth(formWidth);
        form->addWidget(section);
    }
    form->addStretch(1);
    refresh();
    connect(&preferences, &Preferences::changed, this, &SettingsView::refresh);
}

SettingsView::~SettingsView() {
    preferences_.store();
}

QWidget *SettingsView::makeAppearanceSection() {
    auto *content = column();
    auto *row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(bodyText(qtText(SettingsContent::presetLabel)));
    picker_ = new QComboBox;
    corvaneFont(picker_, 13, CorvaneFontWeight::regular);
    for (const CorvaneAppearancePreset &preset : CorvaneAppearancePreset::builtIn()) {
        picker_->addItem(preset.name, preset.id);
    }
    picker_->setAccessibleName(qtText(SettingsContent::presetLabel));
    row->addWidget(picker_, 1);
    content->addLayout(row);
    content->addWidget(caption(qtText(SettingsContent::presetCaption)));
    // A pick that changes the choice applies it; picking the chosen preset again is no change.
    connect(picker_, &QComboBox::currentIndexChanged, this, &SettingsView::presetPicked);
    return new Section(qtText(SettingsContent::appearanceHeader), content);
}

QWidget *SettingsView::makeFeedbackSection() {
    auto *content = column();
    sendFeedback_ = new CorvaneButton(qtText(SettingsContent::sendFeedbackTitle));
    connect(sendFeedback_, &QAbstractButton::clicked, this, &SettingsView::presentFeedbackSheet);
    content->addWidget(sendFeedback_, 0, Qt::AlignLeft);
    content->addWidget(caption(qtText(SettingsContent::feedbackCaption)));
    return new Section(qtText(SettingsContent::feedbackHeader), content);
}

QWidget *SettingsView::makeCreditsSection() {
    auto *content = column(6);
    content->addWidget(caption(qtText(SettingsContent::creditsCaption)));
    privacyPolicy_ = new TextButton(qtText(SettingsContent::privacyPolicyTitle));
    corvaneCaption(privacyPolicy_);
    corvaneForeground(privacyPolicy_, Color::corvaneAccent());
    connect(privacyPolicy_, &QAbstractButton::clicked, this,
            [this] { opener_.open(QUrl(qtText(SettingsContent::privacyPolicyAddress))); });
    content->addWidget(privacyPolicy_, 0, Qt::AlignLeft);
    return new Section(qtText(SettingsContent::creditsHeader), content);
}

QWidget *SettingsView::makeWindowSection() {
    auto *content = column();
    content->addWidget(bodyText(qtText(SettingsContent::transparencyTitle)));
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    slider_ = new QSlider(Qt::Horizontal);
    // The knob and track of every slider of the host's.
    corvaneSlider(slider_);
    slider_->setRange(0, SettingsContent::sliderSteps);
    slider_->setSingleStep(1);
    slider_->setPageStep(2);
    slider_->setAccessibleName(qtText(SettingsContent::transparencyTitle));
    row->addWidget(slider_, 1);
    percent_ = new QLabel;
    percent_->setTextFormat(Qt::PlainText);
    percent_->setFont(systemFont(12));
    corvaneForeground(percent_, Color::corvaneTextSecondary());
    percent_->setFixedWidth(percentWidth);
    percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(percent_);
    content->addLayout(row);
    content->addWidget(caption(qtText(SettingsContent::transparencyCaption)));
    connect(slider_, &QSlider::valueChanged, this, &SettingsView::sliderMoved);
    // A drag is one change: every window follows it, the settings are written at its end.
    connect(slider_, &QSlider::sliderReleased, this, [this] { preferences_.store(); });
    return new Section(qtText(SettingsContent::windowHeader), content);
}

void SettingsView::refresh() {
    refreshing_ = true;
    const QString presetID =
        preferences_.text(QString::fromUtf8(Preferences::appearancePresetIDKey),
                          CorvaneAppearancePreset::saffraColors().id);
    // An id no preset has selects none; nothing is written until the user picks one.
    picker_->setCurrentIndex(SettingsContent::presetIndex(presetID).value_or(-1));
    const double darkness = preferences_.glassDarkness();
    slider_->setValue(SettingsContent::sliderPosition(darkness));
    // The stored value, also one between the slider's steps.
    percent_->setText(SettingsContent::percentLabel(darkness));
    refreshing_ = false;
}

void SettingsView::presetPicked(int index) {
    if (refreshing_ || index < 0) {
        return;
    }
    const CorvaneAppearancePreset &preset =
        CorvaneAppearancePreset::builtIn().at(static_cast<size_t>(index));
    SettingsContent::apply(preset, preferences_);
}

void SettingsView::sliderMoved(int position) {
    if (refreshing_) {
        return;
    }
    const QString key = QString::fromUtf8(Preferences::glassDarknessKey);
    if (slider_->isSliderDown()) {
        preferences_.hold(key, SettingsContent::darkness(position));
    } else {
        preferences_.setValue(key, SettingsContent::darkness(position));
    }
}

FeedbackSheet *SettingsView::feedbackSheet() const {
    return feedbackSheet_;
}

void SettingsView::presentFeedbackSheet() {
    if (feedbackSheet_ != nullptr) {
        feedbackSheet_->raise();
        return;
    }
    feedbackSheet_ =
        FeedbackSheet::present(this, state_, QString::fromUtf8(FeedbackSheet::settingsOrigin));
}

} // namespace tandrel
