// GIF decoding speed against giflib (DGifSlurp) and Wuffs (every frame into
// one 8-bit indexed canvas), all on the same bytes in memory, as megabytes
// of frame pixels per second, with the peak memory ours and Wuffs allocate
// for one picture.
#include <gif_lib.h>
#include <malloc.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "gif/gif_decoder.h"
#include "wuffs_peer.h"

// operator new and delete below are malloc and free underneath.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// Allocation tracking for the peak-memory counter.
std::atomic<std::size_t> liveBytes{0}, peakBytes{0};

void Allocated(std::size_t size) {
    const std::size_t live = liveBytes += size;
    std::size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
}

// Where the 256th image ends: our decoder stops there by design, so the
// others are given the same frames.
std::size_t EndOfImage(const std::vector<std::uint8_t>& b, std::size_t images) {
    std::size_t at = 13;
    if (b[10] & 0x80) at += 3u << ((b[10] & 7) + 1);
    auto skipSubBlocks = [&] {
        while (b[at] != 0) at += b[at] + 1u;
        ++at;
    };
    while (at < b.size() && b[at] != 0x3B) {
        if (b[at] == 0x21) {
            at += 2;
            skipSubBlocks();
        } else if (b[at] == 0x2C) {
            const std::uint8_t packed = b[at + 9];
            at += 10;
            if (packed & 0x80) at += 3u << ((packed & 7) + 1);
            ++at;  // minimum code size
            skipSubBlocks();
            if (--images == 0) return at;
        } else {
            std::abort();
        }
    }
    return b.size();
}

std::vector<std::uint8_t> Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (bytes.empty()) std::abort();
    const std::size_t end = EndOfImage(bytes, norvane::gif::kMaxFrames);
    if (end < bytes.size()) {
        bytes.resize(end);
        bytes.push_back(0x3B);
    }
    return bytes;
}

std::size_t FramePixels(const norvane::gif::Picture& picture) {
    std::size_t total = 0;
    for (const auto& f : picture.frames) total += static_cast<std::size_t>(f.width) * f.height;
    return total;
}

template <typename Decode>
void Measure(benchmark::State& state, const std::string& path, Decode decode) {
    const auto bytes = Load(path);
    std::size_t pixels = 0;
    for (auto _ : state) {
        pixels = decode(bytes);
        if (pixels == 0) std::abort();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels));
    const std::size_t before = liveBytes.load();
    peakBytes = before;
    decode(bytes);
    state.counters["peak_MiB"] = static_cast<double>(peakBytes - before) / (1 << 20);
}

std::size_t Norvane(const std::vector<std::uint8_t>& bytes) {
    auto picture = norvane::gif::DecodeGif(bytes);
    benchmark::DoNotOptimize(picture);
    return picture ? FramePixels(*picture) : 0;
}

std::size_t Wuffs(const std::vector<std::uint8_t>& bytes) {
    return wuffs_peer_decode_gif(bytes.data(), bytes.size(),
                                 static_cast<int>(norvane::gif::kMaxFrames));
}

struct Memory {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at;
};

int Read(GifFileType* file, GifByteType* target, int count) {
    auto* m = static_cast<Memory*>(file->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(count), m->bytes->size() - m->at);
    std::copy_n(m->bytes->data() + m->at, n, target);
    m->at += n;
    return static_cast<int>(n);
}

std::size_t Giflib(const std::vector<std::uint8_t>& bytes) {
    Memory memory{&bytes, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&memory, Read, &error);
    if (DGifSlurp(file) != GIF_OK) std::abort();
    std::size_t pixels = 0;
    for (int i = 0; i < file->ImageCount; ++i)
        pixels += static_cast<std::size_t>(file->SavedImages[i].ImageDesc.Width) *
                  file->SavedImages[i].ImageDesc.Height;
    DGifCloseFile(file, &error);
    return pixels;
}

const std::string kCorpus = std::string(NORVANE_GIF_CORPUS) + "/wuffs/test/data/";
const std::string kMade = std::string(NORVANE_BENCH_DATA) + "/";
const std::string kFiles[] = {kCorpus + "harvesters.gif",
                              kCorpus + "hat.gif",
                              kCorpus + "hibiscus.regular.gif",
                              kCorpus + "gifplayer-muybridge.gif",  // its first 256 frames
                              kCorpus + "muybridge.gif",
                              kCorpus + "pjw-thumbnail.gif",
                              kMade + "flat.gif",
                              kMade + "noise.gif"};

const int registered = [] {
    for (const std::string& path : kFiles) {
        const std::string name = path.substr(path.rfind('/') + 1);
        benchmark::RegisterBenchmark(("giflib/" + name).c_str(),
                                     [path](benchmark::State& s) { Measure(s, path, Giflib); });
        benchmark::RegisterBenchmark(("wuffs/" + name).c_str(),
                                     [path](benchmark::State& s) { Measure(s, path, Wuffs); });
        benchmark::RegisterBenchmark(("norvane/" + name).c_str(),
                                     [path](benchmark::State& s) { Measure(s, path, Norvane); });
    }
    return 0;
}();

}  // namespace

// Every allocation counted by its usable size, whichever way it is freed.
void* Allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (p) Allocated(malloc_usable_size(p));
    return p;
}
void Free(void* p) {
    if (!p) return;
    liveBytes -= malloc_usable_size(p);
    std::free(p);
}

extern "C" void* wuffs_peer_alloc(std::size_t size) {
    return Allocate(size);
}
extern "C" void wuffs_peer_free(void* p, std::size_t) {
    Free(p);
}

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}

BENCHMARK_MAIN();
