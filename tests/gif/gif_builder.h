// Writes GIF streams for tests: headers, extensions, images from pixel
// values (literal codes only, so the code size never grows, or real LZW
// compression) or from any sequence of codes, cut into sub-blocks of a
// chosen size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace norvane::gif::testing {

class GifBuilder {
  public:
    explicit GifBuilder(const char* signature = "GIF89a", int width = 4, int height = 4,
                        int globalBits = 2);

    GifBuilder& GraphicControl(int disposal, int delayCentiseconds, bool transparent, int index);
    GifBuilder& Netscape(int loops);
    GifBuilder& Application(const std::string& identifier, const std::vector<std::uint8_t>& data);
    GifBuilder& Comment(const std::string& text);
    GifBuilder& Raw(const std::vector<std::uint8_t>& bytes);

    struct Image {
        int left = 0, top = 0, width = 4, height = 4;
        bool interlaced = false;
        int localBits = 0;  // 0: no local table
        int minCodeSize = 2;
        int blockSize = 255;
    };
    // Pixel values in data order, encoded as literals with a clear code
    // whenever the code size would grow; an end code closes them.
    GifBuilder& ImageFromPixels(const Image& image, const std::vector<int>& pixels);
    // Pixel values in data order, compressed with LZW as `options` say.
    struct Lzw;
    GifBuilder& ImageFromLzw(const Image& image, const std::vector<int>& pixels,
                             const Lzw& options);
    // Exactly these codes, each written with the size the decoder expects
    // at that point; no end code unless listed.
    GifBuilder& ImageFromCodes(const Image& image, const std::vector<int>& codes);
    GifBuilder& Trailer();

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    void Descriptor(const Image& image);
    void Data(const Image& image, const std::vector<std::uint8_t>& packed);
    void Put16(int value);

    std::vector<std::uint8_t> bytes_;
};

struct GifBuilder::Lzw {
    // Clear codes written before the pixel at each of these positions
    // (ascending; a position listed twice gives two clear codes in a row).
    std::vector<std::size_t> clearsBefore;
    bool clearWhenFull = true;  // else the table fills to 4096 entries and stays so
    bool endCode = true;
};

// LZW codes for the pixel values, opened by a clear code, as an encoder
// writes them (the first code after a clear adds no entry for the decoder).
std::vector<int> LzwCodes(int minCodeSize, const std::vector<int>& pixels,
                          const GifBuilder::Lzw& options);

// Codes with the sizes a decoder reading them uses, packed LSB first.
std::vector<std::uint8_t> PackCodes(int minCodeSize, const std::vector<int>& codes);

}  // namespace norvane::gif::testing
