#include "host/views/feedback/FeedbackSheet.h"

#include "designkit/Color.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneScrollArea.h"
#include "designkit/CorvaneScrollIndicators.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneToggle.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tandrel {

using namespace corvane;

namespace {

namespace Spacing = CorvaneDesign::Spacing;

// The platform text styles the form is drawn in, in the kit's face.
namespace TextStyle {
struct Style {
    double size;
    CorvaneFontWeight weight;
};
constexpr Style title2{20, CorvaneFontWeight::regular};
constexpr Style headline{15, CorvaneFontWeight::demiBold};
constexpr Style sectionHeader{13, CorvaneFontWeight::demiBold};
constexpr Style body{13, CorvaneFontWeight::regular};
constexpr Style callout{13, CorvaneFontWeight::regular};
constexpr Style caption{12, CorvaneFontWeight::regular};
constexpr Style caption2{11, CorvaneFontWeight::regular};
} // namespace TextStyle

// The framework's default padding around the header and the footer.
constexpr int barPadding = 16;
constexpr int editorMinimumHeight = 140;
constexpr double previewMaximumHeight = 160;
constexpr double previewCornerRadius = 6;
constexpr double cardCornerRadius = 8;

QFont fontOf(TextStyle::Style style) {
    return corvaneFont(style.size, style.weight);
}

QLabel *label(const QString &text, TextStyle::Style style,
              const std::optional<QColor> &colour = std::nullopt) {
    auto *view = new QLabel(text);
    view->setTextFormat(Qt::PlainText);
    view->setFont(fontOf(style));
    if (colour) {
        corvaneForeground(view, *colour);
    }
    return view;
}

QLabel *secondary(const QString &text, TextStyle::Style style) {
    return label(text, style, Color::corvaneTextSecondary());
}

QString cssColour(const QColor &colour) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alphaF(), 0, 'f', 3);
}

// A field outlined by a hairline in the secondary colour.
QString outlinedField(const char *type, int padding) {
    return QStringLiteral("%1 { border: 1px solid %2; border-radius: 5px; padding: %3px; }")
        .arg(QLatin1String(type), cssColour(withOpacity(Color::corvaneTextSecondary(), 0.3)))
        .arg(padding);
}

// A group of the form: a faintly filled rounded card.
class FormCard : public QWidget {
public:
    FormCard() {
        layout_ = new QVBoxLayout(this);
        layout_->setContentsMargins(Spacing::comfortable, Spacing::comfortable,
                                    Spacing::comfortable, Spacing::comfortable);
        layout_->setSpacing(Spacing::standard);
    }
    QVBoxLayout *content() const { return layout_; }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        fillRounded(painter, rect(), cardCornerRadius, Color::corvaneCardFill());
        strokeRoundedInside(painter, rect(), cardCornerRadius, Color::corvaneDivider());
    }

private:
    QVBoxLayout *layout_;
};

// A section of the form: its title, when it has one, over its card.
QWidget *section(const QString &title, FormCard *card) {
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Spacing::tight + 2);
    if (!title.isEmpty()) {
        auto *header = secondary(title, TextStyle::sectionHeader);
        header->setContentsMargins(Spacing::tight, 0, 0, 0);
        layout->addWidget(header);
    }
    layout->addWidget(card);
    return view;
}

// Text that wraps at word boundaries and, for words longer than a line (a server's answer),
// anywhere, so that nothing is clipped.
class WrappingText : public QWidget {
public:
    WrappingText() {
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    QString text() const { return text_; }
    void setText(const QString &text) {
        text_ = text;
        // Drawn by hand, so readers of the screen learn it here.
        setAccessibleName(text);
        updateGeometry();
        update();
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        QTextLayout layout;
        return static_cast<int>(std::ceil(layOut(layout, width)));
    }
    QSize sizeHint() const override { return {240, heightForWidth(240)}; }
    QSize minimumSizeHint() const override { return {48, QFontMetrics(font()).height()}; }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setPen(foregroundOf(this));
        QTextLayout layout;
        layOut(layout, width());
        layout.draw(&painter, QPointF(0, 0));
    }

private:
    // Lays the text out in lines of `width` and answers their total height.
    double layOut(QTextLayout &layout, int width) const {
        layout.setText(text_);
        layout.setFont(font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        double y = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(width, 1));
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
        return y;
    }

    QString text_;
};

// The attached screenshot, scaled to fit the row and at most 160 points high, centred, with
// rounded corners.
class ScreenshotPreview : public QWidget {
public:
    ScreenshotPreview() {
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    void setImage(QImage image) {
        image_ = std::move(image);
        updateGeometry();
        update();
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        return static_cast<int>(std::floor(fitted(QSizeF(width, previewMaximumHeight)).height()));
    }
    QSize sizeHint() const override { return {240, heightForWidth(240)}; }

protected:
    void paintEvent(QPaintEvent *) override {
        if (image_.isNull()) {
            return;
        }
        const QSizeF size = fitted(QSizeF(width(), height()));
        const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2,
                            size.width(), size.height());
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        QPainterPath rounded;
        rounded.addRoundedRect(target, previewCornerRadius, previewCornerRadius);
        painter.setClipPath(rounded);
        painter.drawImage(target, image_);
        // A dark window on the dark form needs its edge drawn.
        painter.setClipping(false);
        strokeRoundedInside(painter, target, previewCornerRadius, Color::corvaneDivider());
    }

private:
    // The image's size scaled to fit `bounds`, its proportions kept.
    QSizeF fitted(const QSizeF &bounds) const {
        if (image_.isNull()) {
            return {};
        }
        return QSizeF(image_.size()).scaled(bounds, Qt::KeepAspectRatio);
    }

    QImage image_;
};

// One label and value row of the facts that go along.
QWidget *factRow(const QString &title, const QString &value, const char *name) {
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Spacing::comfortable);
    layout->addWidget(label(title, TextStyle::body));
    layout->addStretch(1);
    auto *shown = secondary(value, TextStyle::body);
    shown->setObjectName(QLatin1String(name));
    layout->addWidget(shown);
    return row;
}

} // namespace

FeedbackSheet::Services FeedbackSheet::Services::standard(QWidget *window) {
    return {
        .send =
            [](FeedbackPayload payload, QObject *context,
               std::function<void(const SendResult &)> done) {
                FeedbackService::shared().send(std::move(payload), context, std::move(done));
            },
        .diagnose =
            [](const QString &appStateSummary) {
                return FeedbackService::shared().sammeleDiagnose(appStateSummary);
            },
        .identity =
            [] {
                return FeedbackSheetModel::Identity{FeedbackService::loginName(),
                                                    FeedbackService::appVersion(),
                                                    FeedbackService::osVersion()};
            },
        .captureWindowPNG =
            [window = QPointer<QWidget>(window)] {
                return FeedbackSheet::captureWindowPNG(window.data());
            },
        .waitToClose =
            [](QObject *context, std::function<void()> then) {
                QTimer::singleShot(resultPause, context, std::move(then));
            },
    };
}

FeedbackSheet *FeedbackSheet::present(QWidget *window, const AppState &appState,
                                      const QString &herkunft) {
    auto *sheet = new FeedbackSheet(appState, window, herkunft);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
    return sheet;
}

FeedbackSheet::FeedbackSheet(const AppState &appState, QWidget *window, const QString &herkunft)
    : FeedbackSheet(appState, Services::standard(window), herkunft, window) {}

FeedbackSheet::FeedbackSheet(const AppState &appState, Services services, const QString &herkunft,
                             QWidget *parent)
    : QDialog(parent), appState_(&appState), services_(std::move(services)), model_(herkunft) {
    setWindowTitle(QStringLiteral("Send Feedback"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(sheetWidth, sheetHeight);
    if (services_.identity) {
        model_.laden(services_.identity());
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeHeader());
    layout->addWidget(new CorvaneDivider(0));
    layout->addWidget(makeForm(), 1);
    layout->addWidget(new CorvaneDivider(0));
    layout->addWidget(makeFooter());

    textEditor_->setFocus();
    refresh();
}

FeedbackSheet::~FeedbackSheet() = default;

QWidget *FeedbackSheet::makeHeader() {
    auto *header = new QWidget;
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(barPadding, barPadding, barPadding, barPadding);
    row->setSpacing(Spacing::standard);

    auto *symbol = new CorvaneSymbolView(QStringLiteral("envelope.badge"), TextStyle::title2.size);
    corvaneForeground(symbol, Color::corvaneAccent());
    row->addWidget(symbol, 0, Qt::AlignVCenter);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(label(QStringLiteral("Feedback for Ostrevale"), TextStyle::headline));
    titles->addWidget(
        secondary(QStringLiteral("Goes straight through \u2014 nothing to copy and paste."),
                  TextStyle::caption));
    row->addLayout(titles);
    row->addStretch(1);
    return header;
}

QWidget *FeedbackSheet::makeForm() {
    auto *form = new QWidget;
    auto *layout = new QVBoxLayout(form);
    layout->setContentsMargins(barPadding, Spacing::generous, barPadding - Spacing::tight,
                               Spacing::generous);
    layout->setSpacing(Spacing::generous + 2);
    layout->addWidget(makeFeedbackSection());
    layout->addWidget(makeScreenshotSection());
    layout->addWidget(makeDiagnosticsSection());
    layout->addWidget(makeStatusSection());
    layout->addStretch(1);

    scrollArea_ = new corvane::CorvaneScrollArea(form);
    scrollArea_->setObjectName(QStringLiteral("form"));
    scrollArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return scrollArea_;
}

QWidget *FeedbackSheet::makeFeedbackSection() {
    auto *card = new FormCard;

    textEditor_ = new QPlainTextEdit;
    textEditor_->setObjectName(QStringLiteral("feedbackText"));
    textEditor_->setFont(fontOf(TextStyle::body));
    // The form scrolls, so the editor keeps to its least height rather than its roomy default.
    textEditor_->setFixedHeight(editorMinimumHeight);
    textEditor_->setTabChangesFocus(true);
    textEditor_->setStyleSheet(outlinedField("QPlainTextEdit", 5));
    corvane::corvaneScrollIndicators(textEditor_);
    connect(textEditor_, &QPlainTextEdit::textChanged, this, [this] {
        model_.setText(textEditor_->toPlainText());
        refresh();
    });
    card->content()->addWidget(textEditor_);

    auto *hint =
        secondary(QStringLiteral("What's not working / what would be cool / where are you stuck?"),
                  TextStyle::caption);
    hint->setWordWrap(true);
    card->content()->addWidget(hint);

    auto *reply = new QHBoxLayout;
    reply->setSpacing(Spacing::standard);
    reply->addWidget(secondary(QStringLiteral("Reply goes to:"), TextStyle::caption));
    emailField_ = new QLineEdit;
    emailField_->setObjectName(QStringLiteral("submitterEmail"));
    emailField_->setFont(fontOf(TextStyle::caption));
    emailField_->setPlaceholderText(QStringLiteral("name@example.com (optional)"));
    emailField_->setStyleSheet(outlinedField("QLineEdit", 3));
    connect(emailField_, &QLineEdit::textChanged, this,
            [this](const QString &address) { model_.setSubmitterEmail(address); });
    reply->addWidget(emailField_, 1);
    card->content()->addLayout(reply);

    return section(QStringLiteral("Your Feedback"), card);
}

QWidget *FeedbackSheet::makeScreenshotSection() {
    auto *card = new FormCard;

    screenshotSwitch_ = new QCheckBox(QStringLiteral("Include current screenshot"));
    screenshotSwitch_->setObjectName(QStringLiteral("includeScreenshot"));
    screenshotSwitch_->setFont(fontOf(TextStyle::body));
    corvane::corvaneToggle(screenshotSwitch_);
    connect(screenshotSwitch_, &QCheckBox::toggled, this, &FeedbackSheet::screenshotSwitched);
    card->content()->addWidget(screenshotSwitch_);

    auto *preview = new ScreenshotPreview;
    preview->setObjectName(QStringLiteral("screenshotPreview"));
    screenshotPreview_ = preview;
    card->content()->addWidget(screenshotPreview_);
    screenshotSize_ = secondary(QString(), TextStyle::caption2);
    screenshotSize_->setObjectName(QStringLiteral("screenshotSize"));
    card->content()->addWidget(screenshotSize_);
    screenshotPending_ =
        secondary(QStringLiteral("Generating screenshot\u2026"), TextStyle::caption);
    screenshotPending_->setObjectName(QStringLiteral("screenshotPending"));
    card->content()->addWidget(screenshotPending_);
    for (QWidget *view : {screenshotPreview_, static_cast<QWidget *>(screenshotSize_),
                          static_cast<QWidget *>(screenshotPending_)}) {
        view->hide();
    }

    return section(QStringLiteral("Optional"), card);
}

QWidget *FeedbackSheet::makeDiagnosticsSection() {
    auto *card = new FormCard;
    const FeedbackSheetModel::Identity &identity = model_.identity();
    card->content()->addWidget(factRow(QStringLiteral("Sender"), identity.userName, "sender"));
    card->content()->addWidget(
        factRow(QStringLiteral("App Version"), identity.appVersion, "appVersion"));
    card->content()->addWidget(factRow(FeedbackService::osName(), identity.osVersion, "osVersion"));
    card->content()->addWidget(factRow(QStringLiteral("Area"), model_.herkunft(), "area"));

    auto *note = secondary(QStringLiteral("Also included: number of loaded libraries, active "
                                          "timeline/preset. No personal data beyond the email "
                                          "shown above."),
                           TextStyle::caption2);
    note->setWordWrap(true);
    card->content()->addWidget(note);

    return section(QStringLiteral("Sent automatically (for diagnostics)"), card);
}

QWidget *FeedbackSheet::makeStatusSection() {
    auto *card = new FormCard;
    auto *row = new QHBoxLayout;
    row->setSpacing(Spacing::standard);
    statusSymbol_ = new CorvaneSymbolView(QString(), TextStyle::callout.size);
    statusSymbol_->setObjectName(QStringLiteral("statusSymbol"));
    row->addWidget(statusSymbol_, 0, Qt::AlignTop);
    auto *text = new WrappingText;
    text->setObjectName(QStringLiteral("statusText"));
    text->setFont(fontOf(TextStyle::callout));
    statusText_ = text;
    row->addWidget(statusText_, 1);
    card->content()->addLayout(row);

    statusSection_ = section(QString(), card);
    statusSection_->setObjectName(QStringLiteral("statusSection"));
    statusSection_->hide();
    return statusSection_;
}

QWidget *FeedbackSheet::makeFooter() {
    auto *footer = new QWidget;
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(barPadding, barPadding, barPadding, barPadding);

    auto *cancel = new CorvaneButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    row->addWidget(cancel);
    row->addStretch(1);

    sendButton_ = new CorvaneButton(QString(), CorvaneButtonStyle{.isActive = true});
    sendButton_->setObjectName(QStringLiteral("sendButton"));
    connect(sendButton_, &QAbstractButton::clicked, this, &FeedbackSheet::senden);
    row->addWidget(sendButton_);
    return footer;
}

void FeedbackSheet::screenshotSwitched(bool on) {
    model_.setScreenshotMitschicken(on, services_.captureWindowPNG);
    const std::optional<QByteArray> &data = model_.screenshotData();
    const QImage image = data ? QImage::fromData(*data) : QImage();
    static_cast<ScreenshotPreview *>(screenshotPreview_)->setImage(image);
    if (data) {
        screenshotSize_->setText(QStringLiteral("Size: ") +
                                 FeedbackSheetModel::formatBytes(data->size()));
    }
    // Bytes that are no picture are still sent; the line then waits as for a capture.
    screenshotPreview_->setVisible(on && !image.isNull());
    screenshotSize_->setVisible(on && !image.isNull());
    screenshotPending_->setVisible(on && image.isNull());
    if (on) {
        revealLater(image.isNull() ? screenshotPending_ : screenshotSize_);
    }
}

void FeedbackSheet::revealLater(QWidget *view) {
    // Once the form is laid out with it (a height that follows the width takes more than one
    // pass), scrolled to wherever it is.
    QTimer::singleShot(0, this, [this, view] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        scrollArea_->ensureWidgetVisible(view);
    });
}

void FeedbackSheet::senden() {
    if (!model_.canSend()) {
        return;
    }
    const AppStateSummary summary =
        appState_ ? FeedbackSheetModel::summary(*appState_) : AppStateSummary{};
    FeedbackPayload payload = model_.beginSend(services_.diagnose(summary.text()));
    refresh();
    services_.send(std::move(payload), this,
                   [this](const SendResult &result) { sendEnded(result); });
}

void FeedbackSheet::sendEnded(const SendResult &result) {
    model_.showResult(result);
    refresh();
    revealLater(statusSection_);
    services_.waitToClose(this, [this] {
        // A sheet the user closed meanwhile stays closed.
        if (!closed_) {
            accept();
        }
        model_.finishSend();
    });
}

void FeedbackSheet::refresh() {
    sendButton_->setText(model_.sendButtonTitle());
    sendButton_->setEnabled(model_.canSend());
    const std::optional<FeedbackStatus> &status = model_.status();
    if (status) {
        static_cast<WrappingText *>(statusText_)->setText(status->text);
        statusSymbol_->setSymbol(FeedbackSheetModel::statusSymbol(*status));
        corvaneForeground(statusSymbol_, status->ok ? Color::green() : Color::orange());
    }
    statusSection_->setVisible(status.has_value());
}

void FeedbackSheet::done(int result) {
    closed_ = true;
    QDialog::done(result);
}

void FeedbackSheet::keyPressEvent(QKeyEvent *event) {
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    // Return sends, as the default button of the sheet; a disabled send swallows it.
    if (isReturn && modifiers == Qt::NoModifier) {
        senden();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::optional<QByteArray> FeedbackSheet::captureWindowPNG(QWidget *widget) {
    if (widget == nullptr) {
        return std::nullopt;
    }
    QWidget *window = widget->window();
    if (window->width() <= 0 || window->height() <= 0) {
        return std::nullopt;
    }
    const QPixmap picture = window->grab();
    if (picture.isNull()) {
        return std::nullopt;
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        return std::nullopt;
    }
    return png;
}

} // namespace tandrel
