// GIF decoding speed against giflib (DGifSlurp on the same bytes in
// memory), as output megabytes per second (one byte per pixel), and the
// peak memory our decoder allocates for one picture.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "gif/gif_decoder.h"

namespace {

// Allocation tracking for the peak-memory counter.
std::atomic<std::size_t> liveBytes{0}, peakBytes{0};

std::vector<std::uint8_t> Load(const std::string& name) {
    std::ifstream in(std::string(NORVANE_GIF_CORPUS) + "/wuffs/test/data/" + name,
                     std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (bytes.empty()) std::abort();
    return bytes;
}

std::size_t OutputBytes(const norvane::gif::Picture& picture) {
    std::size_t total = 0;
    for (const auto& f : picture.frames) total += static_cast<std::size_t>(f.width) * f.height;
    return total;
}

void Norvane(benchmark::State& state, const std::string& name) {
    const auto bytes = Load(name);
    std::size_t output = 0;
    for (auto _ : state) {
        auto picture = norvane::gif::DecodeGif(bytes);
        output = OutputBytes(*picture);
        benchmark::DoNotOptimize(picture);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * output));
    const std::size_t before = liveBytes.load();
    peakBytes = before;
    { auto picture = norvane::gif::DecodeGif(bytes); }
    state.counters["peak_MiB"] = static_cast<double>(peakBytes - before) / (1 << 20);
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

void Giflib(benchmark::State& state, const std::string& name) {
    const auto bytes = Load(name);
    std::size_t output = 0;
    for (auto _ : state) {
        Memory memory{&bytes, 0};
        int error = 0;
        GifFileType* file = DGifOpen(&memory, Read, &error);
        if (DGifSlurp(file) != GIF_OK) std::abort();
        output = 0;
        for (int i = 0; i < file->ImageCount; ++i)
            output += static_cast<std::size_t>(file->SavedImages[i].ImageDesc.Width) *
                      file->SavedImages[i].ImageDesc.Height;
        DGifCloseFile(file, &error);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * output));
}

const char* const kFiles[] = {"harvesters.gif", "hat.gif", "hibiscus.regular.gif",
                              "gifplayer-muybridge.gif"};

const int registered = [] {
    for (const char* file : kFiles) {
        benchmark::RegisterBenchmark((std::string("giflib/") + file).c_str(), Giflib, file);
        benchmark::RegisterBenchmark((std::string("norvane/") + file).c_str(), Norvane, file);
    }
    return 0;
}();

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const std::size_t live = liveBytes += size;
    std::size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return p;
}
void operator delete(void* p, std::size_t size) noexcept {
    liveBytes -= size;
    std::free(p);
}
void operator delete(void* p) noexcept {
    std::free(p);
}

BENCHMARK_MAIN();
