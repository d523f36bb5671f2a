#include "host/views/main/LibrariesBar.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/QtText.h"
#include "host/views/main/ActivityIndicator.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

namespace {

using Status = LibrariesBarContent::Status;

// The caption-2 size of the status symbols.
constexpr double statusPointSize = 11;
constexpr int badgeSide = 24;

// An orange folder on an orange tint.
class LibraryBadge : public QWidget {
public:
    LibraryBadge() {
        setFixedSize(badgeSide, badgeSide);
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *folder = new CorvaneSymbolView(QStringLiteral("folder.fill"), 12, QFont::Medium);
        corvaneForeground(folder, Color::orange());
        layout->addWidget(folder, 0, Qt::AlignCenter);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        fillRounded(painter, rect(), CorvaneDesign::CornerRadius::button,
                    withOpacity(Color::orange(), 0.2));
    }
};

QWidget *makeStatusIcon(Status status) {
    if (status == Status::reading) {
        auto *spinner = new ActivityIndicator(statusPointSize);
        corvaneForeground(spinner, Color::corvaneTextSecondary());
        return spinner;
    }
    const bool loaded = status == Status::loaded;
    auto *icon = new CorvaneSymbolView(loaded ? QStringLiteral("checkmark.circle.fill")
                                              : QStringLiteral("exclamationmark.triangle.fill"),
                                       statusPointSize);
    corvaneForeground(icon, loaded ? Color::green() : Color::red());
    return icon;
}

} // namespace

LibraryRow::LibraryRow(const WatchedLibrary &library, std::function<void()> onRemove,
                       QWidget *parent)
    : QWidget(parent), library_(library), layout_(new QHBoxLayout(this)),
      name_(new ElidedLabel(shownText(library.name), Qt::ElideMiddle)),
      remove_(new CorvaneSymbolButton(QStringLiteral("xmark.circle.fill"), 13, QFont::Normal)) {
    layout_->setContentsMargins(8, 4, 8, 4);
    layout_->setSpacing(8);
    layout_->addWidget(new LibraryBadge, 0, Qt::AlignVCenter);
    corvaneFont(name_, 13, CorvaneFontWeight::medium);
    name_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout_->addWidget(name_, 1, Qt::AlignVCenter);
    layout_->addSpacing(4);
    corvaneForeground(remove_, Color::corvaneTextTertiary());
    remove_->setAccessibleName(QString::fromStdString(LibrariesBarContent::removeLabel(library)));
    remove_->hide();
    connect(remove_, &QAbstractButton::clicked, this,
            [onRemove = std::move(onRemove)] { onRemove(); });
    showStatus();
    layout_->addWidget(remove_, 0, Qt::AlignVCenter);
}

void LibraryRow::setLibrary(const WatchedLibrary &library) {
    library_ = library;
    name_->setText(shownText(library.name));
    remove_->setAccessibleName(QString::fromStdString(LibrariesBarContent::removeLabel(library)));
    showStatus();
}

void LibraryRow::showStatus() {
    const Status status = LibrariesBarContent::status(library_);
    const QString failure = QString::fromStdString(LibrariesBarContent::failure(library_));
    if (statusIcon_ != nullptr && status == status_ && failure == failure_) {
        return;
    }
    failure_ = failure;
    status_ = status;
    QWidget *icon = makeStatusIcon(status);
    if (statusIcon_ != nullptr) {
        delete layout_->replaceWidget(statusIcon_, icon);
        delete statusIcon_;
    } else {
        layout_->addWidget(icon, 0, Qt::AlignVCenter);
    }
    statusIcon_ = icon;
    if (!failure.isEmpty()) {
        corvaneTooltip(icon, failure);
    }
}

void LibraryRow::setHovering(bool hovering) {
    isHovering_ = hovering;
    remove_->setVisible(hovering);
    update();
}

void LibraryRow::enterEvent(QEnterEvent *) {
    setHovering(true);
}

void LibraryRow::leaveEvent(QEvent *) {
    setHovering(false);
}

void LibraryRow::paintEvent(QPaintEvent *) {
    if (!isHovering_) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, rect(), CorvaneDesign::CornerRadius::card, Color::corvaneHover());
}

LibrariesBar::LibrariesBar(AppState &state, QWidget *parent)
    : QWidget(parent), state_(state), stack_(new QVBoxLayout(this)) {
    stack_->setContentsMargins(12, 8, 12, 8);
    stack_->setSpacing(4);
    connect(&state, &AppState::watchedLibrariesChanged, this, &LibrariesBar::refresh);
    refresh();
}

void LibrariesBar::refresh() {
    const std::vector<WatchedLibrary> &libraries = state_.watchedLibraries();
    const bool sameRows =
        rows_.size() == libraries.size() &&
        std::equal(rows_.begin(), rows_.end(), libraries.begin(),
                   [](const LibraryRow *row, const WatchedLibrary &library) {
                       return row->library().id == library.id;
                   });
    if (sameRows) {
        // A load finished or failed: the rows stay, and so does the pointer's hover.
        for (size_t i = 0; i < rows_.size(); ++i) {
            rows_[i]->setLibrary(libraries[i]);
        }
        return;
    }
    for (LibraryRow *row : rows_) {
        // The click that removed a library may be running in its row.
        row->hide();
        row->deleteLater();
    }
    rows_.clear();
    for (const WatchedLibrary &library : libraries) {
        auto *row = new LibraryRow(library, [this, id = library.id] { remove(id); }, this);
        stack_->addWidget(row);
        rows_.push_back(row);
    }
}

void LibrariesBar::remove(const Uuid &id) {
    if (const auto index = LibrariesBarContent::indexOf(state_.watchedLibraries(), id)) {
        state_.removeLibrary(*index);
    }
}

} // namespace tandrel
