// PNG decoding: every colour type to straight 0xAARRGGBB, and failure (never
// a crash or overrun) on damaged, truncated or lying data.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "TestImages.h"
#include "raster/PngDecoder.h"

using namespace mg;
using namespace mg::test;

namespace {

Bytes RowOf(std::initializer_list<int> bytes)
{
    Bytes r;
    for (int b : bytes) r.push_back(static_cast<unsigned char>(b));
    return r;
}

PngLayout PngOf(int w, int h, int colorType, int depth, std::vector<Bytes> rows)
{
    PngLayout s;
    s.width = w;
    s.height = h;
    s.colorType = colorType;
    s.bitDepth = depth;
    s.rows = std::move(rows);
    return s;
}

std::vector<std::uint32_t> Decoded(const Bytes& png)
{
    std::unique_ptr<IMemoryBitmap> b = DecodePng({png.data(), png.size()});
    if (!b) return {};
    std::vector<std::uint32_t> out;
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) out.push_back(PixelAt(*b, x, y));
    return out;
}

bool Decodes(const Bytes& png)
{
    return DecodePng({png.data(), png.size()}) != nullptr;
}

void PutBigEndian(Bytes& png, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) png[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

// libpng's simplified reader, an independent path to the same 8-bit ARGB.
std::vector<std::uint32_t> Reference(const Bytes& png)
{
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, png.data(), png.size())) return {};
    img.format = PNG_FORMAT_ARGB;
    Bytes buf(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, buf.data(), 0, nullptr)) return {};
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i + 3 < buf.size(); i += 4) {
        out.push_back(std::uint32_t{buf[i]} << 24 | std::uint32_t{buf[i + 1]} << 16 | std::uint32_t{buf[i + 2]} << 8 |
                      buf[i + 3]);
    }
    return out;
}

Bytes SmallRgba(int w, int h, unsigned seed, bool interlaced = false)
{
    std::mt19937 rng(seed);
    PngLayout s = PngOf(w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
    s.interlaced = interlaced;
    for (int y = 0; y < h; ++y) {
        Bytes r;
        for (int i = 0; i < w * 4; ++i) r.push_back(static_cast<unsigned char>(rng()));
        s.rows.push_back(r);
    }
    return WritePng(s);
}

} // namespace

TEST(RasterPngColour, RgbGetsOpaqueAlpha)
{
    const Bytes png = WritePng(PngOf(2, 1, PNG_COLOR_TYPE_RGB, 8, {RowOf({10, 20, 30, 200, 100, 0})}));
    EXPECT_EQ(Decoded(png), (std::vector<std::uint32_t>{0xFF0A141Eu, 0xFFC86400u}));
}

TEST(RasterPngColour, RgbaKeepsStraightAlpha)
{
    // Colour under alpha 0 survives: nothing is premultiplied.
    const Bytes png = WritePng(PngOf(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {RowOf({1, 2, 3, 0, 250, 128, 7, 128})}));
    EXPECT_EQ(Decoded(png), (std::vector<std::uint32_t>{0x00010203u, 0x80FA8007u}));
}

TEST(RasterPngColour, SixteenBitKeepsTheHighByte)
{
    const Bytes rgb = WritePng(PngOf(1, 1, PNG_COLOR_TYPE_RGB, 16, {RowOf({0x12, 0xAB, 0x34, 0xCD, 0x56, 0xEF})}));
    EXPECT_EQ(Decoded(rgb), (std::vector<std::uint32_t>{0xFF123456u}));
    const Bytes rgba =
        WritePng(PngOf(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {RowOf({0x12, 0xAB, 0x34, 0xCD, 0x56, 0xEF, 0x80, 0xFF})}));
    EXPECT_EQ(Decoded(rgba), (std::vector<std::uint32_t>{0x80123456u}));
    const Bytes ga = WritePng(PngOf(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {RowOf({0x9A, 0x01, 0x40, 0xFF})}));
    EXPECT_EQ(Decoded(ga), (std::vector<std::uint32_t>{0x409A9A9Au}));
}

TEST(RasterPngColour, GreyBecomesEqualChannels)
{
    EXPECT_EQ(Decoded(WritePng(PngOf(2, 1, PNG_COLOR_TYPE_GRAY, 1, {RowOf({0x80})}))),
              (std::vector<std::uint32_t>{0xFFFFFFFFu, 0xFF000000u}));
    EXPECT_EQ(Decoded(WritePng(PngOf(2, 1, PNG_COLOR_TYPE_GRAY, 2, {RowOf({0x70})}))),
              (std::vector<std::uint32_t>{0xFF555555u, 0xFFFFFFFFu}));
    EXPECT_EQ(Decoded(WritePng(PngOf(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {RowOf({0x40, 0x20})}))),
              (std::vector<std::uint32_t>{0x20404040u}));
}

TEST(RasterPngColour, TransparencyChunkBecomesAlpha)
{
    PngLayout grey = PngOf(2, 1, PNG_COLOR_TYPE_GRAY, 8, {RowOf({7, 9})});
    grey.trnsColor = {7};
    EXPECT_EQ(Decoded(WritePng(grey)), (std::vector<std::uint32_t>{0x00070707u, 0xFF090909u}));

    PngLayout rgb = PngOf(2, 1, PNG_COLOR_TYPE_RGB, 8, {RowOf({10, 20, 30, 10, 20, 31})});
    rgb.trnsColor = {10, 20, 30};
    EXPECT_EQ(Decoded(WritePng(rgb)), (std::vector<std::uint32_t>{0x000A141Eu, 0xFF0A141Fu}));

    // Palette entries past the end of tRNS are opaque.
    PngLayout pal = PngOf(3, 1, PNG_COLOR_TYPE_PALETTE, 4, {RowOf({0x01, 0x20})});
    pal.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    pal.trnsAlpha = {0x00, 0x80};
    EXPECT_EQ(Decoded(WritePng(pal)), (std::vector<std::uint32_t>{0x00FF0000u, 0x8000FF00u, 0xFF0000FFu}));

    PngLayout opaquePal = PngOf(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {RowOf({1, 0})});
    opaquePal.palette = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Decoded(WritePng(opaquePal)), (std::vector<std::uint32_t>{0xFF040506u, 0xFF010203u}));
}

TEST(RasterPngColour, AgreesWithLibpngsOwnReaderForEveryLayout)
{
    struct Layout {
        int colorType, depth;
        bool trns;
    } layouts[] = {
        {PNG_COLOR_TYPE_GRAY, 1, false},    {PNG_COLOR_TYPE_GRAY, 2, true},     {PNG_COLOR_TYPE_GRAY, 4, false},
        {PNG_COLOR_TYPE_GRAY, 8, true},     {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false}, {PNG_COLOR_TYPE_RGB, 8, false},
        {PNG_COLOR_TYPE_RGB, 8, true},      {PNG_COLOR_TYPE_RGB_ALPHA, 8, false}, {PNG_COLOR_TYPE_PALETTE, 1, true},
        {PNG_COLOR_TYPE_PALETTE, 2, false}, {PNG_COLOR_TYPE_PALETTE, 4, true},  {PNG_COLOR_TYPE_PALETTE, 8, true},
    };
    std::mt19937 rng(7);
    for (const Layout& l : layouts) {
        for (bool interlaced : {false, true}) {
            const int w = 11, h = 9;
            const int channels = l.colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                                 : l.colorType == PNG_COLOR_TYPE_RGB     ? 3
                                 : l.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                            : 1;
            const int rowBytes = (w * channels * l.depth + 7) / 8;
            PngLayout s = PngOf(w, h, l.colorType, l.depth, {});
            s.interlaced = interlaced;
            for (int y = 0; y < h; ++y) {
                Bytes r;
                for (int i = 0; i < rowBytes; ++i) r.push_back(static_cast<unsigned char>(rng()));
                s.rows.push_back(r);
            }
            if (l.colorType == PNG_COLOR_TYPE_PALETTE) {
                for (int i = 0; i < 3 << l.depth; ++i) s.palette.push_back(static_cast<unsigned char>(rng()));
                if (l.trns) s.trnsAlpha.assign({0, 0x55, 0xAA}); // no more entries than colours
                s.trnsAlpha.resize(std::min<std::size_t>(s.trnsAlpha.size(), std::size_t{1} << l.depth));
            } else if (l.trns && l.colorType == PNG_COLOR_TYPE_GRAY) {
                s.trnsColor = {static_cast<std::uint16_t>(s.rows[0][0] >> (8 - l.depth))};
            } else if (l.trns) {
                s.trnsColor = {s.rows[0][0], s.rows[0][1], s.rows[0][2]};
            }
            const Bytes png = WritePng(s);
            const std::vector<std::uint32_t> ours = Decoded(png);
            ASSERT_EQ(ours.size(), static_cast<std::size_t>(w * h));
            EXPECT_EQ(ours, Reference(png)) << "colour type " << l.colorType << ", depth " << l.depth
                                            << (l.trns ? ", tRNS" : "") << (interlaced ? ", interlaced" : "");
        }
    }
}

TEST(RasterPngTarget, DecodesIntoAGivenBitmapOfAnySize)
{
    IMemoryBitmap target(1, 1);
    const Bytes big = WritePng(PngOf(3, 2, PNG_COLOR_TYPE_RGB, 8, {RowOf({1, 2, 3, 4, 5, 6, 7, 8, 9}), RowOf({9, 8, 7, 6, 5, 4, 3, 2, 1})}));
    ASSERT_TRUE(DecodePng({big.data(), big.size()}, target));
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.Height(), 2);
    EXPECT_EQ(PixelAt(target, 2, 1), 0xFF030201u);

    const Bytes small = WritePng(PngOf(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {RowOf({5, 6, 7, 8})}));
    ASSERT_TRUE(DecodePng({small.data(), small.size()}, target));
    EXPECT_EQ(target.Width(), 1);
    EXPECT_EQ(PixelAt(target, 0, 0), 0x08050607u);
}

TEST(RasterPngBadInput, ShortOrUnsignedDataGivesNothing)
{
    Bytes png = WritePng(PngOf(1, 1, PNG_COLOR_TYPE_RGB, 8, {RowOf({1, 2, 3})}));
    EXPECT_FALSE(Decodes(Bytes(png.begin(), png.begin() + 7)));
    EXPECT_EQ(DecodePng(ResourceBytes{}), nullptr);
    png[1] ^= 0x20; // "PNG" -> "pNG"
    EXPECT_FALSE(Decodes(png));
}

TEST(RasterPngBadInput, EveryTruncationBeforeTheEndChunkFails)
{
    const Bytes png = SmallRgba(5, 4, 1);
    const long end = FindChunk(png, "IEND");
    ASSERT_GT(end, 0);
    for (long cut = 0; cut < end; ++cut) {
        // A copy of exactly `cut` bytes, so ASan sees any read past it.
        const Bytes part(png.begin(), png.begin() + cut);
        EXPECT_FALSE(Decodes(part)) << "cut at " << cut;
    }
}

TEST(RasterPngBadInput, ChunkLongerThanTheResourceFailsAtItsEnd)
{
    // An ancillary chunk claiming two gigabytes where the data ends: libpng
    // would skip it by reading and checksumming all of it, so the reader
    // must refuse to invent bytes past the end.
    Bytes png = SmallRgba(3, 3, 5);
    const long idat = FindChunk(png, "IDAT");
    ASSERT_GT(idat, 0);
    png.resize(static_cast<std::size_t>(idat));
    for (const int b : {0x7F, 0xFF, 0xFF, 0xF0, int{'t'}, int{'E'}, int{'X'}, int{'t'}, int{'a'}})
        png.push_back(static_cast<unsigned char>(b));
    EXPECT_FALSE(Decodes(png));
}

TEST(RasterPngBadInput, CorruptImageDataFails)
{
    const Bytes png = SmallRgba(6, 6, 2);
    const long idat = FindChunk(png, "IDAT");
    ASSERT_GT(idat, 0);
    const std::size_t data = static_cast<std::size_t>(idat) + 8;

    Bytes badCrc = png;
    badCrc[data + 5] ^= 0xFF;
    EXPECT_FALSE(Decodes(badCrc));

    Bytes badStream = png; // valid CRC over a broken zlib header
    badStream[data] = 0x00;
    badStream[data + 1] = 0x00;
    FixChunkCrc(badStream, idat);
    EXPECT_FALSE(Decodes(badStream));
}

TEST(RasterPngBadInput, LyingHeaderIsRejectedBeforeAllocating)
{
    const Bytes png = SmallRgba(2, 2, 3);
    const long ihdr = FindChunk(png, "IHDR");
    for (auto [w, h] : {std::pair{16000u, 16000u}, {4000u, 4000u}, {20000u, 1u}, {1u, 0x7FFFFFFFu}}) {
        Bytes lie = png;
        PutBigEndian(lie, static_cast<std::size_t>(ihdr) + 8, w);
        PutBigEndian(lie, static_cast<std::size_t>(ihdr) + 12, h);
        FixChunkCrc(lie, ihdr);
        IMemoryBitmap target(1, 1);
        EXPECT_FALSE(DecodePng({lie.data(), lie.size()}, target)) << w << "x" << h;
        EXPECT_EQ(target.Width(), 1) << "the target was sized for " << w << "x" << h;
    }
}

TEST(RasterPngBadInput, RandomDamageNeverCrashes)
{
    const Bytes png = SmallRgba(8, 8, 4, true);
    std::mt19937 rng(11);
    int decoded = 0;
    for (int i = 0; i < 3000; ++i) {
        Bytes damaged = png;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) damaged[8 + rng() % (damaged.size() - 8)] = static_cast<unsigned char>(rng());
        // Half the time repair the CRCs so the damage reaches the decoder.
        if (i % 2 == 0) {
            for (const char* chunk : {"IHDR", "IDAT"}) {
                const long at = FindChunk(damaged, chunk);
                if (at > 0 && static_cast<std::size_t>(at) + 12 <= damaged.size()) {
                    const std::uint32_t len = std::uint32_t{damaged[static_cast<std::size_t>(at)]} << 24 |
                                              std::uint32_t{damaged[static_cast<std::size_t>(at) + 1]} << 16 |
                                              std::uint32_t{damaged[static_cast<std::size_t>(at) + 2]} << 8 |
                                              damaged[static_cast<std::size_t>(at) + 3];
                    if (static_cast<std::size_t>(at) + 12 + len <= damaged.size()) FixChunkCrc(damaged, at);
                }
            }
        }
        if (auto b = DecodePng({damaged.data(), damaged.size()})) {
            ++decoded;
            EXPECT_LE(static_cast<std::int64_t>(b->Width()) * b->Height(), 1 << 24);
        }
    }
    EXPECT_LT(decoded, 3000);
}
