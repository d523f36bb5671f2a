#include "host/views/main/DetectFromFCPButton.h"

#include "core/support/UnicodeText.h"
#include "designkit/Color.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/QtText.h"
#include "host/views/common/StyledLabel.h"
#include "host/views/common/TextButton.h"
#include "host/views/common/UrlOpener.h"
#include "host/views/main/LibraryDetection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace tandrel {

using namespace corvane;

namespace {

// The choice dialog's width at the least and at the most.
constexpr int dialogWidth = 320;
constexpr int dialogMaximumWidth = 480;
constexpr int dialogPadding = 20;
// Between the full form's parts, error block and repair area included.
constexpr int fullFormSpacing = 2;

QLabel *wrapping(const QString &content) {
    auto *label = styledLabel(content, corvaneMicro);
    label->setWordWrap(true);
    return label;
}

} // namespace

LibraryChoiceDialog::LibraryChoiceDialog(std::vector<std::filesystem::path> libraries,
                                         std::function<void(const std::filesystem::path &)> add,
                                         QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(qtText(LibraryDetection::title));
    // As wide as the longest name needs, within bounds; a name longer still wraps in its
    // button. Every name shows whole.
    const QFontMetrics metrics(CorvaneButtonStyle::font());
    int longest = 0;
    for (const std::filesystem::path &library : libraries) {
        longest = std::max(
            longest, metrics.horizontalAdvance(shownText(LibraryDetection::choiceLabel(library))));
    }
    const int width =
        std::clamp(longest + 2 * CorvaneButtonStyle::horizontalPadding + 2 * dialogPadding,
                   dialogWidth, dialogMaximumWidth);
    const int content = width - 2 * dialogPadding;
    setFixedWidth(width);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(dialogPadding, dialogPadding, dialogPadding, dialogPadding);
    layout->setSpacing(8);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto *title = new QLabel(qtText(LibraryDetection::dialogTitle));
    title->setTextFormat(Qt::PlainText);
    title->setWordWrap(true);
    title->setAlignment(Qt::AlignCenter);
    title->setFixedWidth(content);
    corvaneFont(title, 15, CorvaneFontWeight::demiBold);
    layout->addWidget(title);
    layout->addSpacing(4);

    const auto addButton = [&](const QString &label, bool isActive, std::function<void()> action) {
        auto *button = new CorvaneButton(label, {.isActive = isActive});
        button->setWrapWidth(content - 2 * CorvaneButtonStyle::horizontalPadding);
        button->setFixedWidth(content);
        connect(button, &QAbstractButton::clicked, this, std::move(action));
        layout->addWidget(button);
        buttons_.push_back(button);
        return button;
    };
    for (const std::filesystem::path &library : libraries) {
        const QString name = shownText(LibraryDetection::choiceLabel(library));
        auto *button = addButton(name, false, [this, add, library] {
            add(library);
            accept();
        });
        // Where it lives, on hover.
        corvaneTooltip(button, shownText(library.string()));
        button->setAccessibleName(name);
    }
    layout->addSpacing(4);
    addButton(qtText(LibraryDetection::addAllTitle), true, [this, add, libraries] {
        for (const std::filesystem::path &library : libraries) {
            add(library);
        }
        accept();
    });
    addButton(qtText(LibraryDetection::cancelTitle), false, [this] { reject(); });
}

DetectFromFCPButton::DetectFromFCPButton(AppState &state, bool compact, QWidget *parent)
    : DetectFromFCPButton(state, compact, UrlOpener::system(), parent) {}

DetectFromFCPButton::DetectFromFCPButton(AppState &state, bool compact, UrlOpener &opener,
                                         QWidget *parent)
    : QWidget(parent), state_(state), opener_(opener), compact_(compact) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(fullFormSpacing);
    if (compact) {
        auto *wand = new CorvaneSymbolButton(qtText(LibraryDetection::symbol), 13, QFont::Medium);
        corvaneForeground(wand, Color::corvaneTextSecondary());
        button_ = wand;
        layout->addWidget(wand, 0, Qt::AlignCenter);
    } else {
        auto *labelled = new CorvaneButton(qtText(LibraryDetection::title));
        labelled->setSymbol(qtText(LibraryDetection::symbol));
        button_ = labelled;
        // The button, its error, the links and the hint all start at the leading edge.
        layout->addWidget(labelled, 0, Qt::AlignLeft);
        layout->addWidget(makeErrorBlock());
    }
    connect(button_, &QAbstractButton::clicked, this, &DetectFromFCPButton::detect);
    connect(&state, &AppState::lastLibraryDetectionErrorChanged, this,
            &DetectFromFCPButton::showError);
    connect(&state, &AppState::lastLibraryDetectionNeedsAutomationPermissionChanged, this,
            &DetectFromFCPButton::showError);
    showError();
}

QWidget *DetectFromFCPButton::makeErrorBlock() {
    errorBlock_ = new QWidget;
    auto *block = new QVBoxLayout(errorBlock_);
    block->setContentsMargins(0, 0, 0, 0);
    block->setSpacing(fullFormSpacing);
    errorText_ = wrapping({});
    block->addWidget(errorText_);

    repair_ = new QWidget;
    auto *repair = new QVBoxLayout(repair_);
    repair->setContentsMargins(0, 0, 0, 0);
    repair->setSpacing(fullFormSpacing);
    auto *links = new QHBoxLayout;
    links->setSpacing(10);
    openSettings_ = linkButton(qtText(LibraryDetection::openAutomationSettingsTitle));
    connect(openSettings_, &QAbstractButton::clicked, this,
            &DetectFromFCPButton::openAutomationSettings);
    links->addWidget(openSettings_);
    // As the update banner's settings button: offered only where the desktop has the page to
    // open.
    openSettings_->setHidden(
        !opener_.canOpen(QUrl(qtText(LibraryDetection::automationSettingsAddress))));
    copyCommand_ = linkButton(qtText(LibraryDetection::copyResetCommandTitle));
    corvaneTooltip(copyCommand_, qtText(LibraryDetection::copyResetCommandHelp));
    connect(copyCommand_, &QAbstractButton::clicked, this, [this] {
        copyAutomationResetCommand();
        didCopyResetCommand_ = true;
        showError();
    });
    links->addWidget(copyCommand_);
    links->addStretch(1);
    repair->addLayout(links);
    copiedHint_ = wrapping(qtText(LibraryDetection::copiedHint));
    corvaneForeground(copiedHint_, Color::corvaneAccent());
    repair->addWidget(copiedHint_);
    block->addWidget(repair_);
    return errorBlock_;
}

void DetectFromFCPButton::detect() {
    const LibraryDetection::Step step =
        LibraryDetection::next(state_.detectOpenFCPLibraries(), state_.watchedLibraries());
    switch (step.kind) {
    case LibraryDetection::Step::Kind::nothing:
        // Any error shows in the full form and in the compact form's tooltip.
        break;
    case LibraryDetection::Step::Kind::addOne:
        state_.addLibrary(step.libraries.front());
        break;
    case LibraryDetection::Step::Kind::choose: {
        multipleFound_ = step.libraries;
        if (dialog_ != nullptr) {
            dialog_->reject();
        }
        AppState *state = &state_;
        dialog_ = new LibraryChoiceDialog(
            multipleFound_,
            [state](const std::filesystem::path &library) {
                // A library listed twice is added once: the state object skips the second.
                state->addLibrary(library);
            },
            window());
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->open();
        break;
    }
    }
}

void DetectFromFCPButton::openAutomationSettings() {
    const QUrl address(qtText(LibraryDetection::automationSettingsAddress));
    if (address.isValid()) {
        // The desktop has no such list to open: it notes that in the log.
        opener_.open(address);
    }
}

void DetectFromFCPButton::copyAutomationResetCommand() {
    const QString identifier = QGuiApplication::desktopFileName();
    const std::string command = LibraryDetection::resetCommand(
        identifier.isEmpty() ? std::nullopt : std::optional(identifier.toStdString()));
    QGuiApplication::clipboard()->setText(QString::fromStdString(command));
}

bool DetectFromFCPButton::showsError() const {
    return errorBlock_ != nullptr && !errorBlock_->isHidden();
}

bool DetectFromFCPButton::showsRepair() const {
    return showsError() && !repair_->isHidden();
}

bool DetectFromFCPButton::showsCopiedHint() const {
    return showsRepair() && !copiedHint_->isHidden();
}

void DetectFromFCPButton::showError() {
    const std::optional<std::string> &error = state_.lastLibraryDetectionError();
    if (compact_) {
        // The compact form tells its error on hover; its name stays the command's.
        corvaneTooltip(button_,
                       error ? qtText(shownMessage(*error)) : qtText(LibraryDetection::title));
        button_->setAccessibleName(qtText(LibraryDetection::title));
        return;
    }
    // The editor's or the script's own words: outside text.
    errorText_->setText(error ? qtText(shownMessage(*error)) : QString());
    errorBlock_->setVisible(error.has_value());
    repair_->setVisible(state_.lastLibraryDetectionNeedsAutomationPermission());
    copiedHint_->setVisible(didCopyResetCommand_);
}

} // namespace tandrel
