#include "plugin/TextRenderer.h"

#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"
#include "core/tests/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

namespace tandrel {
namespace {

using Params = TextRenderer::DisplayParams;

Uuid elementNumber(std::uint8_t n) {
    Uuid::Bytes bytes{};
    bytes[15] = n;
    return Uuid(bytes);
}

Params plain(double padding = 0) {
    Params params;
    params.padding = padding;
    return params;
}

using testing::repeatedText;

struct TextRendererTest : ::testing::Test {
    std::shared_ptr<platform::Device> device = platform::Device::make({42, "test"});
    TextRenderer renderer;
    Uuid element = elementNumber(1);

    TextRenderer::RenderedText draw(std::string_view text, const Params &params,
                                    Uuid id = elementNumber(1)) {
        auto result = renderer.render(text, id, params, *device);
        EXPECT_TRUE(result) << text;
        return result.value_or(TextRenderer::RenderedText{});
    }
};

// Pre-multiplied RGBA rows of a texture, top first.
struct Pixels {
    int width;
    int height;
    std::vector<std::uint8_t> rgba;

    explicit Pixels(const TextRenderer::RenderedText &text)
        : width(text.width), height(text.height), rgba(4 * std::size_t(width) * height) {
        EXPECT_EQ(text.texture->pixelFormat(), platform::PixelFormat::rgba8Unorm);
        EXPECT_TRUE(includes(text.texture->usage(), platform::TextureUsage::shaderRead));
        EXPECT_EQ(text.texture->width(), width);
        EXPECT_TRUE(text.texture->getBytes(rgba.data(), 4 * std::size_t(width),
                                           platform::Region::make2D(0, 0, width, height), 0));
    }
    std::uint8_t alpha(int x, int y) const { return rgba[4 * (std::size_t(y) * width + x) + 3]; }
    // The first row, from the top, with any ink in it.
    int firstInkedRow() const {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (alpha(x, y) != 0) {
                    return y;
                }
            }
        }
        return height;
    }
    // The leftmost column with ink among rows top…bottom - 1.
    int firstInkedColumn(int top, int bottom) const {
        for (int x = 0; x < width; ++x) {
            for (int y = top; y < bottom; ++y) {
                if (alpha(x, y) != 0) {
                    return x;
                }
            }
        }
        return width;
    }
};

TEST(TextRendererKey, NamesDeviceTextAndEverySettingButPadding) {
    Params status{24, 1.0, 0.9, 0.3, 1.0, true, 0.2, 0, 0, 0.85, 12, BurnInTextAlignment::left};
    EXPECT_EQ(TextRenderer::cacheKey(7, "Embrik: gap (no clip at playhead)", status),
              "7|Embrik: gap (no clip at playhead)|24.0|1.0,0.9,0.3,1.0|1|0.2,0.0,0.0,0.85|left");
    status.padding = 8;
    EXPECT_EQ(TextRenderer::cacheKey(7, "x", status),
              "7|x|24.0|1.0,0.9,0.3,1.0|1|0.2,0.0,0.0,0.85|left");

    Params element{36.5, 0.1 + 0.2, 1e21, -0.0, 0.5, false,
                   1,    1,         1,    0.7,  8,   BurnInTextAlignment::center};
    EXPECT_EQ(TextRenderer::cacheKey(std::numeric_limits<std::uint64_t>::max(), "a|b", element),
              "18446744073709551615|a|b|36.5|0.30000000000000004,1000000000000000000000.0,-0.0,"
              "0.5|0|1.0,1.0,1.0,0.7|center");
    element.alignment = BurnInTextAlignment::right;
    element.textR = 5e-324;
    const std::string key = TextRenderer::cacheKey(0, "", element);
    EXPECT_TRUE(key.ends_with("|right"));
    const std::size_t start = key.find("36.5|") + 5;
    const std::string smallest = key.substr(start, key.find(',') - start);
    EXPECT_EQ(std::strtod(smallest.c_str(), nullptr), 5e-324) << smallest;
}

TEST_F(TextRendererTest, SameTextAndSettingsOnTheSameDeviceReuseTheTexture) {
    Params params = plain(8);
    const auto first = draw("01:00:00:00", params);
    const std::size_t allocated = device->currentAllocatedSize();
    const auto again = draw("01:00:00:00", params);
    EXPECT_EQ(again.texture, first.texture);
    EXPECT_EQ(again.width, first.width);
    EXPECT_EQ(again.height, first.height);
    EXPECT_EQ(device->currentAllocatedSize(), allocated); // nothing drawn or allocated

    EXPECT_NE(draw("01:00:00:00", params, elementNumber(2)).texture, first.texture);

    params.textOpacity = 0.5; // alpha alone changes the key
    const auto faded = draw("01:00:00:00", params);
    EXPECT_NE(faded.texture, first.texture);
    EXPECT_EQ(draw("01:00:00:00", params).texture, faded.texture);

    // Another GPU builds its own texture, which replaces the element's entry.
    auto otherDevice = platform::Device::make({43, "other"});
    const auto elsewhere = renderer.render("01:00:00:00", element, params, *otherDevice);
    ASSERT_TRUE(elsewhere);
    EXPECT_NE(elsewhere->texture, faded.texture);
    EXPECT_NE(draw("01:00:00:00", params).texture, faded.texture);
}

TEST_F(TextRendererTest, EmptyTextDrawsNothingAndKeepsTheCache) {
    const auto first = draw("A001_C002", plain());
    const std::size_t allocated = device->currentAllocatedSize();
    EXPECT_FALSE(renderer.render("", element, plain(), *device));
    EXPECT_EQ(device->currentAllocatedSize(), allocated);
    EXPECT_EQ(draw("A001_C002", plain()).texture, first.texture);
}

// The cut text is what gets drawn and keyed, so a long text and its cut form share a texture.
TEST_F(TextRendererTest, TextsAreCutAfter300UserPerceivedCharacters) {
    for (std::string piece : {"a", "e\u0301", "\U0001F1EB\U0001F1F7"}) {
        const auto whole = draw(repeatedText(piece, 300), plain());
        EXPECT_NE(draw(repeatedText(piece, 299) + "…", plain()).texture, whole.texture);
        const auto cut = draw(repeatedText(piece, 301), plain());
        EXPECT_NE(cut.texture, whole.texture);
        EXPECT_EQ(draw(repeatedText(piece, 300) + "…", plain()).texture, cut.texture) << piece;
        EXPECT_EQ(draw(repeatedText(piece, 450), plain()).texture, cut.texture) << piece;
    }
}

// Names from libraries reach the text shaper bounded in bytes, in code points per character
// and in characters, whatever they hold: a letter with 70,000 marks took the shaper down.
TEST(LayoutText, BoundsWhatReachesTheShaper) {
    for (const auto &hostile : testing::hostileTexts()) {
        const std::string shown = LayoutText(hostile.text).text();
        EXPECT_LE(shown.size(), LayoutText::maxBytes) << hostile.what;
        EXPECT_LE(graphemeCount(shown), LayoutText::maxCharacters + 1) << hostile.what;
        EXPECT_EQ(shown, truncatedToGraphemes(shown, LayoutText::maxCharacters + 1, ""))
            << hostile.what << ": a character of more than 31 code points";
        EXPECT_EQ(shown.find('\0'), std::string::npos) << hostile.what;
        EXPECT_TRUE(isValidUTF8(shown)) << hostile.what;
        // A text that is bounded already stays as it is.
        EXPECT_EQ(LayoutText(shown).text(), shown) << hostile.what;
    }
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {testing::ordinaryLongName(), testing::ordinaryLongName()},
        {"Wide Shot" + repeatedText("\u0301", 70000),
         "Wide Shot" + repeatedText("\u0301", 29) + "\u034F\u2026"},
        {std::string("Wide\0Shot\xFF", 10), "Wide\uFFFDShot\uFFFD"},
        // Marks after a NUL belong to the U+FFFD that shows it.
        {std::string("A\0", 2) + repeatedText("\u0301", 100),
         "A\uFFFD" + repeatedText("\u0301", 29) + "\u034F"},
        {"Line 1\nLine 2", "Line 1\nLine 2"},
        // Cut at the byte limit, within the first character.
        {"x" + repeatedText("\u0301", 40000) + "y",
         "x" + repeatedText("\u0301", 29) + "\u034F\u2026"},
        // The byte limit takes effect before the character limit only where characters are long.
        {repeatedText("\U0001F600", 20000), repeatedText("\U0001F600", 300) + "\u2026"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LayoutText(c.text).text(), c.shown) << c.shown;
    }
}

TEST_F(TextRendererTest, HostileNamesDrawWithinTheFrame) {
    std::uint8_t next = 10;
    (void)draw("Fonts loaded", plain()); // so that the first text's time is its own
    std::vector<testing::HostileText> texts{
        {"ordinary 300 characters", testing::ordinaryLongName()}};
    texts.insert(texts.end(), testing::hostileTexts().begin(), testing::hostileTexts().end());
    for (const auto &hostile : texts) {
        const auto started = std::chrono::steady_clock::now();
        const auto drawn = renderer.render(hostile.text, elementNumber(next++), plain(8), *device);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - started;
        RecordProperty(hostile.what, std::to_string(took.count()) + " ms");
        ASSERT_TRUE(drawn) << hostile.what;
        EXPECT_LE(drawn->width, 2016) << hostile.what;
        EXPECT_LE(drawn->height, 2016) << hostile.what;
    }
}

TEST_F(TextRendererTest, BitmapIsTheRoundedUpTextSizePlusPaddingOnEverySide) {
    const auto bare = draw("Reel A001", plain(0));
    EXPECT_GT(bare.width, 0);
    EXPECT_GT(bare.height, 0);
    std::uint8_t next = 2;
    for (double padding : {8.0, 7.9, 12.0, 0.5, 3.0}) {
        const auto padded = draw("Reel A001", plain(padding), elementNumber(next++));
        const int twice = 2 * static_cast<int>(padding);
        EXPECT_EQ(padded.width, bare.width + twice) << padding;
        EXPECT_EQ(padded.height, bare.height + twice) << padding;
    }
    // Padding so negative that nothing is left draws nothing.
    EXPECT_FALSE(renderer.render("X", elementNumber(3), plain(-40), *device));
}

TEST_F(TextRendererTest, EveryCharacterHasTheSameAdvance) {
    const int ten = draw("0123456789", plain()).width;
    for (const char *text :
         {"iiiiiiiiii", "WWWWWWWWWW", "..........", "::;;||__--", "MMMMM     "}) {
        EXPECT_EQ(draw(text, plain()).width, ten) << text;
    }
    EXPECT_EQ(draw("01234567890123456789", plain()).width, 2 * ten);
}

TEST_F(TextRendererTest, LongTextsWrapAndStayInsideTheFrame) {
    const auto line = draw("0123456789", plain());
    const auto wrapped = draw(repeatedText("0123456789 ", 27), plain());
    EXPECT_LE(wrapped.width, 2000);
    EXPECT_GT(wrapped.height, line.height);
    const auto tall = draw(repeatedText("x\n", 120), plain());
    EXPECT_LE(tall.height, 2000);
    EXPECT_GT(tall.height, 1900);
}

// A character no line can break, wider than the frame (thirty jamo at 1000 points): the
// texture stays as wide as the frame, the character cut at its edge.
TEST_F(TextRendererTest, ACharacterWiderThanTheFrameIsCutAtItsEdge) {
    Params large = plain();
    large.fontSize = 1000;
    std::uint8_t next = 40;
    for (const BurnInTextAlignment alignment :
         {BurnInTextAlignment::left, BurnInTextAlignment::right}) {
        large.alignment = alignment;
        const auto drawn = draw(repeatedText("\u1100", 100), large, elementNumber(next++));
        EXPECT_EQ(drawn.width, 2000) << alignment.rawValue();
    }
}

TEST_F(TextRendererTest, BackgroundFillsARoundedBoxAndTextReadsTopDown) {
    Params status{24, 1.0, 0.9, 0.3, 1.0, true, 0.2, 0, 0, 0.85, 12, BurnInTextAlignment::left};
    const Pixels boxed(draw("Embrik: gap", status));
    EXPECT_LT(boxed.alpha(0, 0), 100); // the corner is rounded off
    EXPECT_NEAR(boxed.alpha(boxed.width / 2, 1), 217, 1);
    EXPECT_NEAR(boxed.alpha(1, boxed.height / 2), 217, 1);
    EXPECT_TRUE(std::any_of(boxed.rgba.begin(), boxed.rgba.end(), [](auto c) { return c == 255; }));

    const Pixels bare(draw("Embrik: gap", plain(8), elementNumber(2)));
    EXPECT_EQ(bare.alpha(0, 0), 0);
    EXPECT_EQ(bare.alpha(bare.width / 2, 2), 0);
    EXPECT_LT(bare.firstInkedRow(), bare.height);

    // The first texture row is the top of the text.
    const Pixels apostrophe(draw("'", plain(), elementNumber(3)));
    const Pixels stop(draw(".", plain(), elementNumber(4)));
    EXPECT_LT(apostrophe.firstInkedRow() + 5, stop.firstInkedRow());
}

TEST_F(TextRendererTest, AlignmentPlacesShortLinesInTheBox) {
    Params params = plain();
    std::vector<int> starts;
    for (auto alignment : BurnInTextAlignment::allCases()) {
        params.alignment = alignment;
        const Pixels text(draw("i\nMMMMMMMMMMMM", params));
        starts.push_back(text.firstInkedColumn(0, text.height / 3));
        EXPECT_EQ(text.firstInkedColumn(text.height * 2 / 3, text.height) < 4, true);
    }
    const int width = draw("MMMMMMMMMMMM", plain(), elementNumber(2)).width;
    EXPECT_LT(starts[0], 4);
    EXPECT_NEAR(starts[1], width / 2, 8);
    EXPECT_GT(starts[2], width - 16);
}

TEST_F(TextRendererTest, FailuresAreLoggedAndKeepTheCachedTexture) {
    testing::LogCapture log("com.ostrevale.tandrel.plugin", "text");
    EXPECT_FALSE(renderer.render("huge", element, plain(20000), *device));
    EXPECT_TRUE(log.text().starts_with("Failed to create CGContext 400")) << log.text();

    const auto first = draw("A", plain());
    auto tiny = platform::Device::make({44, "tiny", 5, 4});
    EXPECT_FALSE(renderer.render("A", element, plain(), *tiny));
    EXPECT_NE(log.text().find("Failed to create MTLTexture from CGImage"), std::string::npos);
    EXPECT_EQ(draw("A", plain()).texture, first.texture);

    const std::string before = log.text();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (double size : {nan, inf, 0.0, -5.0, 1e9}) {
        Params params = plain();
        params.fontSize = size;
        EXPECT_FALSE(renderer.render("A", elementNumber(2), params, *device)) << size;
    }
    for (double padding : {nan, -inf}) {
        EXPECT_FALSE(renderer.render("A", elementNumber(2), plain(padding), *device));
    }
    EXPECT_EQ(log.text(), before); // settings that are not numbers draw nothing, quietly
    EXPECT_FALSE(renderer.render("A", elementNumber(2), plain(1e15), *device));
    EXPECT_NE(log.text(), before);
    Params odd = plain();
    odd.textR = nan;
    odd.bgOpacity = -3;
    odd.showBackground = true;
    EXPECT_TRUE(renderer.render("A", elementNumber(3), odd, *device));
    EXPECT_TRUE(
        renderer.render("bad \xff\xfe utf-8 and a \0 NUL", elementNumber(4), plain(), *device));
}

// Threads share a renderer, and two renderers (two effect instances) paint at once.
TEST_F(TextRendererTest, ConcurrentCallsGetCompleteTextures) {
    TextRenderer secondRenderer;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            TextRenderer &shared = t % 2 == 0 ? renderer : secondRenderer;
            for (int i = 0; i < 40; ++i) {
                const std::string text = "01:00:00:" + std::to_string(10 + (i + t) % 3);
                const auto result =
                    shared.render(text, elementNumber(std::uint8_t(i % 4)), plain(8), *device);
                if (!result || result->texture->width() != result->width) {
                    ++failures;
                }
            }
        });
    }
    for (auto &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, 0);
}

TEST(TextRendererStatus, StatusElementIsOneRandomUuid) {
    const Uuid &id = TextRenderer::statusElementID();
    EXPECT_EQ(&id, &TextRenderer::statusElementID());
    EXPECT_EQ(id.bytes()[6] >> 4, 4);
    EXPECT_EQ(id.bytes()[8] >> 6, 2);
}

} // namespace
} // namespace tandrel
