// gifview FILE [options]: shows a GIF in the animated picture control, in a
// window of its own. gifview FILE --compose DIR: writes the control's
// composition after each frame step as DIR/frame-NNN.bmp (32 bits per
// pixel, alpha 0 where the composition is transparent). Exit status 0 done,
// 1 the picture did not load, 2 bad arguments or a file not read or written.
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gif_control/win32_gif_image.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/win32_message_dialog.h"
#include "util/little_endian.h"

namespace {

using norvane::PutU16;
using norvane::PutU32;
using norvane::TGIFImage;

constexpr char kUsage[] =
    "usage: gifview FILE [--stretch] [--ratio] [--big-only] [--center] [--tile] [--opaque]\n"
    "                    [--loop] [--threaded] [--speed PERCENT] [--size WIDTHxHEIGHT]\n"
    "       gifview FILE --compose DIR\n";

struct Arguments {
    std::string file, composeDir;
    norvane::GifImageOptions options;
    int width = 0, height = 0;  // 0: the picture's size
};

bool Parse(int argc, char** argv, Arguments& a) {
    if (argc < 2) return false;
    a.file = argv[1];
    a.options.animate = true;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--stretch")
            a.options.stretch = true;
        else if (arg == "--ratio")
            a.options.stretchRatio = true;
        else if (arg == "--big-only")
            a.options.stretchBigOnly = true;
        else if (arg == "--center")
            a.options.center = true;
        else if (arg == "--tile")
            a.options.tile = true;
        else if (arg == "--opaque")
            a.options.opaque = true;
        else if (arg == "--loop")
            a.options.loop = true;
        else if (arg == "--threaded")
            a.options.threaded = true;
        else if (arg == "--speed" && hasValue)
            a.options.speed = std::atoi(argv[++i]);
        else if (arg == "--compose" && hasValue)
            a.composeDir = argv[++i];
        else if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &a.width, &a.height) != 2) return false;
        } else {
            return false;
        }
    }
    return true;
}

// The pixels of a memory device context as 0xAARRGGBB rows, top first.
std::vector<std::uint32_t> PixelsOf(HDC source, int width, int height, bool monochrome) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    norvane::MemoryCanvas canvas(
        norvane::UniqueBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    if (monochrome) {
        SetTextColor(canvas.dc(), RGB(0, 0, 0));
        SetBkColor(canvas.dc(), RGB(255, 255, 255));
    }
    BitBlt(canvas.dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    return {p, p + static_cast<std::size_t>(width) * static_cast<std::size_t>(height)};
}

bool WriteComposition(const norvane::GifComposition& c, const std::string& path) {
    const int w = c.Width(), h = c.Height();
    const std::vector<std::uint32_t> image = PixelsOf(c.ImageDC(), w, h, false);
    std::vector<std::uint32_t> mask;
    if (c.MaskDC()) mask = PixelsOf(c.MaskDC(), w, h, true);
    const auto imageSize = static_cast<std::uint32_t>(w * h * 4);
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, 54 + imageSize);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(w));
    PutU32(out, static_cast<std::uint32_t>(h));  // bottom-up
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, BI_RGB);
    PutU32(out, imageSize);
    for (int i = 0; i < 4; ++i) PutU32(out, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                                  static_cast<std::size_t>(x);
            const bool transparent = !mask.empty() && (mask[i] & 0xFFFFFF) == 0xFFFFFF;
            PutU32(out, (image[i] & 0xFFFFFF) | (transparent ? 0u : 0xFF000000u));
        }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

int Compose(TGIFImage& image, const std::string& dir) {
    for (int n = 1; n <= image.FrameCount(); ++n) {
        image.SetCurrentFrame(n);  // frame 1 was drawn by the load
        std::array<char, 32> name{};
        std::snprintf(name.data(), name.size(), "/frame-%03d.bmp", n);
        if (!WriteComposition(*image.Composition(), dir + name.data())) {
            std::fprintf(stderr, "gifview: cannot write %s%s\n", dir.c_str(), name.data());
            return 2;
        }
    }
    return 0;
}

enum class ViewerPart { Picture_GIFImage, Count };

class ViewerForm : public norvane::FormOf<ViewerPart> {
  public:
    ViewerForm(const norvane::FormSpec& design, norvane::MessageDialog& messages)
        : FormOf(design, messages, nullptr) {}
};

constexpr norvane::GifImageMaker kPictureMaker;
constexpr auto kLayout = norvane::LayoutOf<ViewerForm>({{.part = ViewerPart::Picture_GIFImage,
                                                         .name = "Picture_GIFImage",
                                                         .kind = norvane::ComponentKind::Graphic,
                                                         .width = 1,
                                                         .height = 1,
                                                         .graphic = &kPictureMaker}});

int Show(const Arguments& a, const std::vector<std::uint8_t>& bytes,
         norvane::MessageDialog& messages) {
    const norvane::FormSpec design{.className = "TGifViewForm",
                                   .caption = "gifview",
                                   .style = WS_OVERLAPPEDWINDOW,
                                   .exStyle = 0,
                                   .left = 100,
                                   .top = 100,
                                   .width = 200,
                                   .height = 200,
                                   .clientSized = true,
                                   .font = {.face = "MS Sans Serif", .height = -11},
                                   .designDpi = 96,
                                   .designTextHeight = 13,
                                   .components = kLayout};
    ViewerForm form(design, messages);
    auto& component = form.Get(ViewerPart::Picture_GIFImage);
    TGIFImage& image = form.ControlOf<TGIFImage>(component);
    image.ApplyOptions(a.options);
    if (!image.LoadFromGifStream(bytes)) {
        std::fprintf(stderr, "gifview: %s did not load\n", a.file.c_str());
        return 1;
    }
    const int width = a.width ? a.width : image.LogicalWidth();
    const int height = a.height ? a.height : image.LogicalHeight();
    form.SetCaption("gifview " + a.file);
    form.SetClientWidth(width);
    form.SetClientHeight(height);
    form.SetBoundsOf(component, {0, 0, width, height});
    form.Show();
    return norvane::RunMessageLoop();
}

}  // namespace

int main(int argc, char** argv) {
    Arguments a;
    if (!Parse(argc, argv, a)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::ifstream in(a.file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "gifview: cannot read %s\n", a.file.c_str());
        return 2;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    norvane::Win32MessageDialog messages;
    if (a.composeDir.empty()) return Show(a, bytes, messages);
    TGIFImage image(messages);
    if (!image.LoadFromGifStream(bytes)) {
        std::fprintf(stderr, "gifview: %s did not load\n", a.file.c_str());
        return 1;
    }
    return Compose(image, a.composeDir);
}
