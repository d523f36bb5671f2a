#include "host/views/preview/ChipLayout.h"

#include "core/model/ElementPlacement.h"
#include "core/support/UnicodeText.h"

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
    std::string title =
        element.label.empty() ? std::string(element.field.displayName()) : element.label;
    if (showStackedLayers && isStackable(element.field)) {
        return {std::move(title), "V2 (sample)", "V3 (sample)"};
    }
    return {std::move(title)};
}

std::vector<std::string> ChipLayout::shownLines(const std::vector<std::string> &lines,
                                                bool isBlock) {
    std::vector<std::string> shown;
    for (const std::string &line : lines) {
        // A line may hold breaks of its own (a label typed with one).
        std::size_t start = 0;
        while (true) {
            const std::size_t end = line.find('\n', start);
            shown.push_back(line.substr(start, end - start));
            if (end == std::string::npos) {
                break;
            }
            if (!isBlock) {
                shown.back() += "…";
                return shown;
            }
            start = end + 1;
        }
        if (!isBlock) {
            break;
        }
    }
    return shown;
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

double ChipLayout::textSize(double fontSize, double scale) {
    const double scaled = fontSize * scale;
    return std::isfinite(scaled) ? std::max(scaled, minimumTextSize) : minimumTextSize;
}

QSizeF ChipLayout::chipSize(const std::vector<std::string> &shownLines, double fontSize,
                            double scale, const TextMeasure &measure) {
    const QSizeF text = measure(joined(shownLines), textSize(fontSize, scale));
    return {std::max(std::ceil(text.width()) + 2 * padding, minimumWidth),
            std::max(std::ceil(text.height()) + 2 * padding, minimumHeight)};
}

QRectF ChipLayout::chipRect(const QRectF &renderBox, const QSizeF &chipSize, const QRectF &bounds) {
    const double width = std::min(chipSize.width(), bounds.width());
    const double left = std::max(bounds.left(), std::min(renderBox.left(), bounds.right() - width));
    const double top = std::max(renderBox.bottom() - chipSize.height(), bounds.top());
    return {left, top, width, chipSize.height()};
}

std::pair<double, double> ChipLayout::placedPosition(const QRectF &frameRect,
                                                     const QRectF &visibleRect, double posX,
                                                     double posY, const QSizeF &boxSize,
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
        Placement::placed(visible, posX, posY, boxSize.width(), boxSize.height(),
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
                            const QSizeF &boxSize) {
    return {visibleRect.left() + posX * visibleRect.width(),
            visibleRect.top() + (1 - posY) * visibleRect.height() - boxSize.height()};
}

std::pair<double, double> ChipLayout::centredHorizontally(const QRectF &visibleRect, double posX,
                                                          const QSizeF &boxSize) {
    return {0.5 - (boxSize.width() / 2) / visibleRect.width() - posX, 0};
}

std::pair<double, double> ChipLayout::centredVertically(const QRectF &visibleRect, double posY,
                                                        const QSizeF &boxSize) {
    return {0, 0.5 - (boxSize.height() / 2) / visibleRect.height() - posY};
}

ChipLayout::Controls ChipLayout::controlsPlacement(const QRectF &chip, const QSizeF &toolbar,
                                                   const QSizeF &close, const QRectF &bounds) {
    constexpr double out = 8;
    constexpr double gap = 2;
    const auto within = [](double at, double length, double from, double to) {
        return std::max(from, std::min(at, to - length));
    };
    const double toolbarLeft =
        within(chip.left() - out, toolbar.width(), bounds.left(), bounds.right());
    const double closeLeft =
        within(std::max(chip.right() + out - close.width(), toolbarLeft + toolbar.width() + gap),
               close.width(), bounds.left(), bounds.right());
    // No lower than its bottom on the chip's padding.
    const auto topOf = [&](double height) {
        return within(std::min(chip.top() - out, chip.top() + padding - height), height,
                      bounds.top(), bounds.bottom());
    };
    return {{toolbarLeft, topOf(toolbar.height())}, {closeLeft, topOf(close.height())}};
}

} // namespace tandrel
