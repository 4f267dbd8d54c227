// Open and save of a typical analyzer: 10 screenshots of 1280 x 800 x 32,
// 200 recognition images, 2 number packs and 500 items. Targets: open under
// 0.5 s, save under 1 s, resident memory after opening under 150 MB.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

#include "analyzer/analyzer_file.h"

namespace {

using namespace quillon::analyzer;
namespace fs = std::filesystem;

struct Workspace {
    fs::path root;
    std::string imageFolder;
    std::string soundFolder;
    std::string file;
};

// A desktop-like screenshot: flat windows, title-bar gradients, text-like
// strokes and one photo-like noisy region.
std::vector<uint8_t> screenshotBmp(int index) {
    const int width = 1280, height = 800;
    std::vector<uint8_t> bmp(54 + static_cast<size_t>(width) * height * 4, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&bmp[at], &v, 4); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = 32;
    std::mt19937 random(static_cast<unsigned>(index));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &bmp[54 + (static_cast<size_t>(y) * width + x) * 4];
            uint32_t colour = 0xF0F0F0;
            if (y % 200 < 24) {
                colour = 0x2040A0 + static_cast<uint32_t>(x / 10);
            } else if (x > 700 + index * 10 && x < 1000 && y > 300 && y < 500) {
                colour = random();
            } else if ((y % 16) < 10 && (x % 9) < 5 && ((x * 7 + y * 3 + index) % 23) < 11) {
                colour = 0x101010;
            }
            std::memcpy(p, &colour, 4);
        }
    }
    return bmp;
}

const Workspace& typicalWorkspace() {
    static Workspace w = [] {
        Workspace w;
        w.root = fs::temp_directory_path() / ("quillon-bench-" + std::to_string(::getpid()));
        fs::create_directories(w.root / "Image");
        fs::create_directories(w.root / "Sound");
        w.imageFolder = (w.root / "Image").string();
        w.soundFolder = (w.root / "Sound").string();
        w.file = (w.root / "typical.dat").string();
        AnalyzerModel model;
        AnalyzerImage& a = model.image();
        a.screenshotWidth = 1280;
        a.screenshotHeight = 800;
        a.screenshotBitsPerPixel = 32;
        int slot = -1;
        for (int i = 0; i < 10; ++i) {
            std::string name = "shot" + std::to_string(i);
            auto bmp = screenshotBmp(i);
            std::ofstream(w.root / "Image" / (name + ".bmp"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
            model.addScreenshot({name, static_cast<int32_t>(bmp.size()), 0, 0, ""}, slot);
        }
        std::mt19937 random(7);
        for (int i = 0; i < 200; ++i) {
            int side = 11 + 2 * static_cast<int>(random() % 40);
            model.addRecognitionImage({i % 10, 200 + i, 200 + i % 300, side, side, i % 7 == 0, ""}, slot);
            RecognitionImage* r = model.recognitionImage(slot);
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    uint32_t colour = (y < side / 3) ? 0x2040A0u : static_cast<uint32_t>(random());
                    std::memcpy(&r->pixels[static_cast<size_t>(y) * kImageRowStride + static_cast<size_t>(x) * 4],
                                &colour, 4);
                }
            }
        }
        for (int p = 0; p < 2; ++p) {
            model.addNumberPack("", slot);
            NumberPack* pack = model.numberPack(slot);
            for (int s = 0; s < 12; ++s) {
                pack->samples[s].set = 1;
                for (int k = 0; k < 120; ++k) {
                    pack->samples[s].pixels[k][0] = k % 9;
                    pack->samples[s].pixels[k][1] = k / 9;
                    pack->samples[s].pixels[k][2] = 0x101010;
                }
            }
        }
        for (int i = 0; i < 20; ++i) {
            model.addArea(300 + i * 10, 300, 0, "", slot);
        }
        for (int i = 0; i < 500; ++i) {
            Item item{};
            item.head = i % 50 == 0;
            std::snprintf(item.name, sizeof item.name, "item %d", i);
            for (int c = 0; c < 4; ++c) {
                Condition image{};
                image.used = 1;
                image.setKind(CondImage);
                image.set(cond::Image::compareWith, CompareWithImage);
                image.set(cond::Image::where, cond::Image::AtCoordinates);
                image.set(cond::Image::reference, (i + c) % 200);
                image.set(cond::Image::similarity, 90);
                addCondition(item, image);
            }
            for (int c = 0; c < 5; ++c) {
                Command move{};
                move.used = 1;
                move.setKind(CmdMouse);
                move.set(cmd::Mouse::action, cmd::Mouse::MoveToImage);
                move.set(cmd::Mouse::image, (i + c) % 200);
                addCommand(item, move);
            }
            NextLink link{};
            link.targetId = (i + 1) % 500;
            addNextLink(item, link);
            model.insertItem(i, item);
        }
        AnalyzerFile file(w.imageFolder, w.soundFolder);
        if (!file.save(model, w.file).ok()) {
            std::fprintf(stderr, "could not write the typical analyzer\n");
            std::abort();
        }
        return w;
    }();
    return w;
}

long residentKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atol(line.c_str() + std::strlen(field));
        }
    }
    return -1;
}

void BM_OpenTypical(benchmark::State& state) {
    const Workspace& w = typicalWorkspace();
    AnalyzerFile file(w.imageFolder, w.soundFolder);
    long rssBefore = residentKilobytes("VmRSS:");
    long rssAfter = 0;
    for (auto _ : state) {
        AnalyzerModel model;
        FileResult r = file.open(model, w.file);
        if (!r.ok()) {
            state.SkipWithError("open failed");
            break;
        }
        rssAfter = residentKilobytes("VmRSS:");
        benchmark::DoNotOptimize(model.image().itemCount);
    }
    state.counters["file_MB"] = static_cast<double>(fs::file_size(w.file)) / 1e6;
    state.counters["rss_after_open_MB"] = static_cast<double>(rssAfter) / 1024.0;
    state.counters["rss_model_MB"] = static_cast<double>(rssAfter - rssBefore) / 1024.0;
}
BENCHMARK(BM_OpenTypical)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same without writing the screenshots and sounds back to disk.
void BM_OpenTypicalInMemory(benchmark::State& state) {
    const Workspace& w = typicalWorkspace();
    AnalyzerFile file(w.imageFolder, w.soundFolder);
    auto keep = [](const std::string&, const uint8_t*, size_t) { return true; };
    file.hooks().restoreScreenshot = keep;
    file.hooks().restoreSound = keep;
    for (auto _ : state) {
        AnalyzerModel model;
        if (!file.open(model, w.file).ok()) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(model.image().itemCount);
    }
}
BENCHMARK(BM_OpenTypicalInMemory)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveTypical(benchmark::State& state) {
    const Workspace& w = typicalWorkspace();
    AnalyzerFile file(w.imageFolder, w.soundFolder);
    AnalyzerModel model;
    if (!file.open(model, w.file).ok()) {
        state.SkipWithError("open failed");
        return;
    }
    std::string target = (w.root / "resaved.dat").string();
    for (auto _ : state) {
        FileResult r = file.save(model, target);
        if (!r.ok()) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveTypical)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(fs::temp_directory_path() / ("quillon-bench-" + std::to_string(::getpid())), ec);
    return 0;
}
