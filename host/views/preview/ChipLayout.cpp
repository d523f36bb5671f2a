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
                                                   const QSizeF &close, const QRectF &bounds,
                                                   const std::vector<QRectF> &keepClear) {
    constexpr double out = 8;
    constexpr double gap = 2;
    const auto within = [](double at, double length, double from, double to) {
        return std::max(from, std::min(at, to - length));
    };
    // On the top (or bottom) corners, across as the Part puts them, within the bounds.
    const double toolbarLeft =
        within(chip.left() - out, toolbar.width(), bounds.left(), bounds.right());
    const double closeLeft =
        within(std::max(chip.right() + out - close.width(), toolbarLeft + toolbar.width() + gap),
               close.width(), bounds.left(), bounds.right());
    // No lower than its bottom on the chip's padding; or below the chip, no higher than its
    // top on the padding there.
    const auto onCorners = [&](bool below) {
        const auto topOf = [&](double height) {
            const double at = below
                                  ? std::max(chip.bottom() + out - height, chip.bottom() - padding)
                                  : std::min(chip.top() - out, chip.top() + padding - height);
            return within(at, height, bounds.top(), bounds.bottom());
        };
        return Controls{{toolbarLeft, topOf(toolbar.height())}, {closeLeft, topOf(close.height())}};
    };
    // Beside the chip, 8 points out, in the middle of its height: the toolbar, then the close
    // button, to the right of it or to its left.
    const auto beside = [&](bool right) {
        const double left = right ? chip.right() + out
                                  : chip.left() - out - close.width() - gap - toolbar.width();
        const auto topOf = [&](double height) {
            return within(chip.center().y() - height / 2, height, bounds.top(), bounds.bottom());
        };
        return Controls{{left, topOf(toolbar.height())},
                        {left + toolbar.width() + gap, topOf(close.height())}};
    };
    const auto inBounds = [&](const Controls &at) {
        return bounds.contains(QRectF(at.toolbar, toolbar)) &&
               bounds.contains(QRectF(at.close, close));
    };
    const auto clear = [&](const Controls &at) {
        return std::ranges::none_of(keepClear, [&](const QRectF &text) {
            return text.intersects(QRectF(at.toolbar, toolbar)) ||
                   text.intersects(QRectF(at.close, close));
        });
    };
    // Pushed down onto the chip's text at the top edge, they go below it instead.
    const double tallest = std::max(toolbar.height(), close.height());
    const bool roomAbove = bounds.top() + tallest <= chip.top() + padding;
    const bool roomBelow = chip.bottom() - padding + tallest <= bounds.bottom();
    const Controls usual = onCorners(!roomAbove && roomBelow);
    if (keepClear.empty() || clear(usual)) {
        return usual;
    }
    for (const Controls &other : {onCorners(roomBelow), beside(true), beside(false)}) {
        if (inBounds(other) && clear(other)) {
            return other;
        }
    }
    return usual;
}

QRectF ChipLayout::textRect(const QRectF &chip, const QSizeF &textSize,
                            BurnInTextAlignment alignment) {
    const double inner = std::max(0.0, chip.width() - 2 * textInset);
    const double width = std::min(textSize.width(), inner);
    const double shift = alignment == BurnInTextAlignment::center  ? 0.5
                         : alignment == BurnInTextAlignment::right ? 1.0
                                                                   : 0.0;
    return {chip.left() + textInset + (inner - width) * shift,
            chip.top() + (chip.height() - textSize.height()) / 2, width, textSize.height()};
}

std::vector<QLineF> ChipLayout::outlineClearOf(const QRectF &box, const QRectF &text,
                                               double gap) {
    const QRectF keepOff = text.adjusted(-gap, -gap, gap, gap);
    std::vector<QLineF> lines;
    // One edge from `from` to `to` along an axis at `at` across it; the part within the text's
    // span across that axis left out when the edge passes through the text.
    const auto edge = [&](bool horizontal, double at, double from, double to) {
        const double low = horizontal ? keepOff.top() : keepOff.left();
        const double high = horizontal ? keepOff.bottom() : keepOff.right();
        const double spanFrom = horizontal ? keepOff.left() : keepOff.top();
        const double spanTo = horizontal ? keepOff.right() : keepOff.bottom();
        const auto add = [&](double a, double b) {
            if (b - a > 0.5) {
                lines.push_back(horizontal ? QLineF(a, at, b, at) : QLineF(at, a, at, b));
            }
        };
        if (text.isEmpty() || at < low || at > high || to <= spanFrom || from >= spanTo) {
            add(from, to);
            return;
        }
        add(from, std::min(to, spanFrom));
        add(std::max(from, spanTo), to);
    };
    edge(true, box.top(), box.left(), box.right());
    edge(true, box.bottom(), box.left(), box.right());
    edge(false, box.left(), box.top(), box.bottom());
    edge(false, box.right(), box.top(), box.bottom());
    return lines;
}

} // namespace tandrel
