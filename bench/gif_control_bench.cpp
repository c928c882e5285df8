// Processor time per second of animation of the animated picture control
// under Wine (or Windows): a 135x125 eight-frame logo like the About
// dialog's, stretched into 173x165 at Speed 100, the About dialog's own
// logo.gif, and the corpus's gifplayer-muybridge.gif, each animating in a
// shown window for a while; then the cost of one animation step (dispose,
// draw, immediate repaint) over many steps.
// Build: cmake --build --preset win32 --target gif_control_bench; run it with
// wine, optionally with the corpus folder and the seconds of each run as its
// arguments (processor times under Wine come in steps of 10 ms: long runs
// measure finer).
#include <windows.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gif/gif_builder.h"
#include "gif_control/win32_gif_image.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/win32_message_dialog.h"

namespace {

using norvane::TGIFImage;

double ProcessSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

double WallSeconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// 135x125, 16 colours, 8 frames of 100 ms, disposal 2, transparent index
// 11, 999 passes: a ring that turns, on a transparent ground.
std::vector<std::uint8_t> Logo() {
    norvane::gif::testing::GifBuilder b("GIF89a", 135, 125, 4);
    b.Netscape(999);
    for (int frame = 0; frame < 8; ++frame) {
        std::vector<int> pixels;
        for (int y = 0; y < 125; ++y)
            for (int x = 0; x < 135; ++x) {
                const double dx = x - 67, dy = y - 62, r = std::sqrt(dx * dx + dy * dy);
                const int sector =
                    static_cast<int>((std::atan2(dy, dx) + 3.15) * 8 / 6.3 + frame) % 8;
                pixels.push_back(r > 60 ? 11 : r > 30 ? sector : (x + y + frame) % 11);
            }
        b.GraphicControl(2, 10, true, 11)
            .ImageFromPixels({.width = 135, .height = 125, .minCodeSize = 4}, pixels);
    }
    return b.Trailer().Bytes();
}

enum class BenchPart { Box_GroupBox, Logo_Bevel, Logo_GIFImage, Count };
constexpr norvane::GifImageMaker kLogoMaker;

class BenchForm : public norvane::FormOf<BenchPart> {
  public:
    explicit BenchForm(norvane::MessageDialog& messages);
};

constexpr auto kLayout = norvane::LayoutOf<BenchForm>({{.part = BenchPart::Box_GroupBox,
                                                        .name = "Box_GroupBox",
                                                        .kind = norvane::ComponentKind::GroupBox,
                                                        .top = 52,
                                                        .width = 589,
                                                        .height = 301},
                                                       {.part = BenchPart::Logo_Bevel,
                                                        .name = "Logo_Bevel",
                                                        .kind = norvane::ComponentKind::Bevel,
                                                        .parent = BenchPart::Box_GroupBox,
                                                        .left = 5,
                                                        .top = 14,
                                                        .width = 184,
                                                        .height = 167},
                                                       {.part = BenchPart::Logo_GIFImage,
                                                        .name = "Logo_GIFImage",
                                                        .kind = norvane::ComponentKind::Graphic,
                                                        .parent = BenchPart::Box_GroupBox,
                                                        .left = 12,
                                                        .top = 16,
                                                        .width = 173,
                                                        .height = 165,
                                                        .graphic = &kLogoMaker}});

const norvane::FormSpec kForm{.className = "TBenchForm",
                              .caption = "gif control bench",
                              .style = WS_OVERLAPPED | WS_CAPTION,
                              .exStyle = 0,
                              .left = 50,
                              .top = 50,
                              .width = 591,
                              .height = 420,
                              .clientSized = true,
                              .font = {.face = "MS Sans Serif", .height = -11},
                              .designDpi = 96,
                              .designTextHeight = 13,
                              .components = kLayout};

BenchForm::BenchForm(norvane::MessageDialog& messages) : FormOf(kForm, messages, nullptr) {}

// Processor seconds per second of running the message loop.
double LoopCpu(double seconds) {
    const double wallStart = WallSeconds(), cpuStart = ProcessSeconds();
    while (WallSeconds() - wallStart < seconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        norvane::ProcessPendingMessages();
    }
    return (ProcessSeconds() - cpuStart) / (WallSeconds() - wallStart);
}

void Measure(const char* name, const std::vector<std::uint8_t>& bytes, bool stretch, bool threaded,
             double seconds) {
    norvane::Win32MessageDialog messages;
    BenchForm form(messages);
    auto& component = form.Get(BenchPart::Logo_GIFImage);
    TGIFImage& image = form.ControlOf<TGIFImage>(component);
    if (!image.LoadFromGifStream(bytes)) {
        std::printf("%-40s did not load\n", name);
        return;
    }
    image.SetStretch(stretch);
    image.SetThreaded(threaded);
    if (!stretch) {
        const auto b = form.BoundsOf(component);
        form.SetBoundsOf(component, {b.left, b.top, image.LogicalWidth(), image.LogicalHeight()});
    }
    image.SetLoop(true);
    int steps = 0;
    image.onChange = [&](TGIFImage&) { ++steps; };
    form.Show();
    norvane::ProcessPendingMessages();
    // The same message loop with the picture still: what Wine costs anyway.
    const double idle = LoopCpu(seconds);
    image.SetAnimate(true);
    const double busy = LoopCpu(seconds);
    image.SetAnimate(false);
    std::printf("%-40s %7.3f %% of a core (%.3f %% animating, %.3f %% still), %.1f steps/s\n", name,
                (busy - idle) * 100, busy * 100, idle * 100, steps / seconds);

    // One step, repaint included, over many steps.
    const int frames = image.FrameCount(), count = 2000;
    const double stepStart = WallSeconds(), stepCpu = ProcessSeconds();
    for (int i = 0; i < count; ++i) image.SetCurrentFrame(i % frames + 1);
    std::printf("%-40s %8.3f ms a step (wall), %.3f ms (processor)\n", "  one step",
                (WallSeconds() - stepStart) * 1000 / count,
                (ProcessSeconds() - stepCpu) * 1000 / count);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string corpus = argc > 1 ? argv[1] : "../shared/gif-corpus";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10;
    const auto logo = Logo();
    Measure("logo 135x125x8, stretched, window timer", logo, true, false, seconds);
    Measure("logo 135x125x8, stretched, thread timer", logo, true, true, seconds);
    std::ifstream art(NORVANE_SOURCE_DIR "/src/about/res/logo.gif", std::ios::binary);
    const std::vector<std::uint8_t> about{std::istreambuf_iterator<char>(art), {}};
    Measure("the About dialog's logo.gif, stretched", about, true, false, seconds);
    std::ifstream in(corpus + "/wuffs/test/data/gifplayer-muybridge.gif", std::ios::binary);
    const std::vector<std::uint8_t> muybridge{std::istreambuf_iterator<char>(in), {}};
    if (muybridge.empty()) {
        std::printf("no gifplayer-muybridge.gif under %s\n", corpus.c_str());
        return 0;
    }
    Measure("gifplayer-muybridge.gif, window timer", muybridge, false, false, seconds);
    return 0;
}
