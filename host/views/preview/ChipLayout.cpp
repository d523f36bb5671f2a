#include "host/views/preview/ChipLayout.h"

#include "core/model/ElementPlacement.h"
#include "core/support/UnicodeText.h"
#include "host/views/preview/ChipSampleFrame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace tandrel {

namespace {

// Fields that show imitation lower layers while the preset shows stacked layers.
bool isStackable(MetadataField field) {
    switch (field) {
    case MetadataField::sourceTC:
    case MetadataField::sourceFrame:
    case MetadataField::reel:
    case MetadataField::sceneShot:
    case MetadataField::sourceFile:
        return true;
    default:
        return false;
    }
}

// Sample data of the two blocks: lane, then the left and the right value. Their order is
// fixed, whatever the preset's stack order.
struct SampleValues {
    int lane;
    const char *left;
    const char *right;
};
constexpr std::array<SampleValues, 3> reelSamples{{
    {1, "A001C001_250101_ABCD.mov", "337"},
    {2, "B002C002_250101_ABCD.mov", "1704"},
    {3, "C003C003_250101_ABCD.mov", "991"},
}};
constexpr std::array<SampleValues, 3> slateSamples{{
    {3, "24-3-6 Cam B", "21:09:16:02"},
    {2, "24p-1-8 MOS", "19:15:56:22"},
    {1, "21-9-6", "16:17:15:09"},
}};

std::string tag(std::string_view label, int lane) {
    std::string text = "[";
    text += label;
    text += " V";
    text += std::to_string(lane);
    text += ']';
    return text;
}

// A value and its tag, one blank between, the tag first or last.
std::string cell(std::string_view value, std::string_view tag, bool tagFirst) {
    std::string text(tagFirst ? tag : value);
    text += ' ';
    text += tagFirst ? value : tag;
    return text;
}

std::string joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) {
        if (&line != &lines.front()) {
            text += '\n';
        }
        text += line;
    }
    return text;
}

} // namespace

std::vector<std::string> ChipLayout::displayLines(const BurnInElement &element,
                                                  bool showStackedLayers) {
    if (isBlockField(element.field)) {
        return formatSampleBlock(sampleRows(element));
    }
    const std::optional<std::string> sample = ChipSampleFrame::text(element);
    std::string title = sample && !sample->empty() ? *sample
                        : element.label.empty()    ? std::string(element.field.displayName())
                                                   : element.label;
    if (showStackedLayers && isStackable(element.field)) {
        return {std::move(title), "V2 (sample)", "V3 (sample)"};
    }
    return {std::move(title)};
}

std::vector<ChipLayout::SampleRow> ChipLayout::sampleRows(const BurnInElement &element) {
    if (!isBlockField(element.field)) {
        return {};
    }
    const auto &samples =
        element.field == MetadataField::stackedLayerReel ? reelSamples : slateSamples;
    const StackedLayerColumns columns =
        element.stackedLayerColumns.value_or(StackedLayerColumns::both);
    const std::optional<StackedLayerPrefixPosition> prefix = element.stackedLayerPrefixPosition;
    std::vector<SampleRow> rows;
    for (const SampleValues &sample : samples) {
        SampleRow row;
        // Without a position set, the left tag goes before its value and the right one after.
        if (columns != StackedLayerColumns::rightOnly) {
            row.left = cell(sample.left, tag(element.label, sample.lane),
                            prefix != StackedLayerPrefixPosition::afterValue);
        }
        if (columns != StackedLayerColumns::leftOnly) {
            row.right = cell(sample.right, tag(element.secondaryLabel, sample.lane),
                             prefix == StackedLayerPrefixPosition::beforeValue);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> ChipLayout::formatSampleBlock(const std::vector<SampleRow> &rows) {
    std::vector<std::string> lines;
    const bool noRight =
        std::ranges::all_of(rows, [](const SampleRow &r) { return r.right.empty(); });
    const bool noLeft =
        std::ranges::all_of(rows, [](const SampleRow &r) { return r.left.empty(); });
    if (noRight || noLeft) {
        for (const SampleRow &row : rows) {
            lines.push_back(noRight ? row.left : row.right);
        }
        return lines;
    }
    std::size_t width = 0;
    for (const SampleRow &row : rows) {
        width = std::max(width, graphemeCount(row.left) + 1 + graphemeCount(row.right));
    }
    for (const SampleRow &row : rows) {
        const std::size_t used = graphemeCount(row.left) + graphemeCount(row.right);
        lines.push_back(row.left + std::string(std::max<std::size_t>(width - used, 1), ' ') +
                        row.right);
    }
    return lines;
}

bool ChipLayout::isBlockField(MetadataField field) {
    return field == MetadataField::stackedLayerReel || field == MetadataField::stackedLayerSlate;
}

bool ChipLayout::isBlock(const BurnInElement &element, bool showStackedLayers) {
    return isBlockField(element.field) || (showStackedLayers && isStackable(element.field));
}

QSizeF ChipLayout::chipSize(const std::vector<std::string> &lines, double fontSize, double scale,
                            const TextMeasure &measure) {
    if (!(scale > 0) || !std::isfinite(scale)) {
        return {0, 0};
    }
    // The effect measures whole pixels and draws nothing at a size that is not above 0.
    const QSizeF text =
        fontSize > 0 && std::isfinite(fontSize) ? measure(joined(lines), fontSize) : QSizeF(0, 0);
    return {(std::ceil(text.width()) + 2 * padding) * scale,
            (std::ceil(text.height()) + 2 * padding) * scale};
}

std::pair<double, double> ChipLayout::placedPosition(const QRectF &frameRect,
                                                     const QRectF &visibleRect, double posX,
                                                     double posY, const QSizeF &chipSize,
                                                     bool constrainToVisiblePicture) {
    using Placement = ElementPlacement<double>;
    if (!(visibleRect.width() > 0) || !(visibleRect.height() > 0)) {
        return {posX, posY};
    }
    // The placement measures from the frame's lower-left corner, y up.
    const Placement::Rect visible{visibleRect.left() - frameRect.left(),
                                  frameRect.bottom() - visibleRect.bottom(), visibleRect.width(),
                                  visibleRect.height()};
    const Placement::Point placed =
        Placement::placed(visible, posX, posY, chipSize.width(), chipSize.height(),
                          constrainToVisiblePicture, frameRect.width(), frameRect.height());
    // Back to fractions only where the placement moved the box, so that a position it keeps
    // stays exactly as stored.
    const auto fraction = [](double placedAt, double stored, double origin, double length) {
        return placedAt == origin + length * stored ? stored : (placedAt - origin) / length;
    };
    return {fraction(placed.x, posX, visible.x, visible.width),
            fraction(placed.y, posY, visible.y, visible.height)};
}

QPointF ChipLayout::topLeft(const QRectF &visibleRect, double posX, double posY,
                            const QSizeF &chipSize) {
    return {visibleRect.left() + posX * visibleRect.width(),
            visibleRect.top() + (1 - posY) * visibleRect.height() - chipSize.height()};
}

std::pair<double, double> ChipLayout::centredHorizontally(const QRectF &visibleRect, double posX,
                                                          const QSizeF &chipSize) {
    return {0.5 - (chipSize.width() / 2) / visibleRect.width() - posX, 0};
}

std::pair<double, double> ChipLayout::centredVertically(const QRectF &visibleRect, double posY,
                                                        const QSizeF &chipSize) {
    return {0, 0.5 - (chipSize.height() / 2) / visibleRect.height() - posY};
}

ChipLayout::Controls ChipLayout::controlsPlacement(const QRectF &box, const QSizeF &toolbar,
                                                   const QSizeF &close, const QRectF &bounds) {
    constexpr double out = 8;
    constexpr double gap = 2;
    const double tallest = std::max(toolbar.height(), close.height());
    const bool above = box.top() - gap - tallest >= bounds.top();
    const auto rowTop = [&](const QSizeF &size) {
        return above ? box.top() - gap - size.height() : box.bottom() + gap;
    };
    const auto across = [&](double left, double width) {
        return std::max(bounds.left(), std::min(left, bounds.right() - width));
    };
    const double toolbarLeft = across(box.left() - out, toolbar.width());
    const double closeLeft =
        across(std::max(box.right() + out - close.width(), toolbarLeft + toolbar.width() + gap),
               close.width());
    return {{toolbarLeft, rowTop(toolbar)}, {closeLeft, rowTop(close)}};
}

} // namespace tandrel
