// shot-set-check: reads one screenshot set back with the portable readers and
// compares its bitmap with the screen as X saw it.
//
//   shot-set-check BASE SCREEN.rgb SCREEN_WIDTH SCREEN_HEIGHT LEFT TOP [cursor=0|1] [tolerance=N]
//
// BASE is the set's path without extension; SCREEN.rgb the screen's pixels
// as 8-bit R, G, B triples (ImageMagick `import -window root ... rgb:`);
// LEFT, TOP where the shot's rectangle starts on the screen. Checks the three
// files (layout, sizes, settings copy of 10,240 bytes, cursor file flags) and
// that every pixel of the bitmap equals the screen's (each channel within N,
// for a 16-bit screen whose channels X and the file widen differently),
// except inside the screen rectangle `skip=X,Y,W,H` (a window that may have
// changed since the capture). Prints what differs.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/text.h"
#include "screenshots/screenshot_files.h"

namespace {

int check(int argc, char** argv);

} // namespace

// Arguments arrive as UTF-16 and go on as UTF-8, so any path works.
int wmain(int argc, wchar_t** wideArgv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) {
        std::wstring arg = wideArgv[i];
        args.push_back(quillon::text::utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
    }
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    return check(argc, argv.data());
}

namespace {

int check(int argc, char** argv) {
    using namespace quillon;
    if (argc < 7) {
        std::fprintf(stderr, "usage: shot-set-check BASE SCREEN.rgb WIDTH HEIGHT LEFT TOP [cursor=0|1]\n");
        return 2;
    }
    std::string base = argv[1];
    int screenWidth = std::atoi(argv[3]), screenHeight = std::atoi(argv[4]);
    int left = std::atoi(argv[5]), top = std::atoi(argv[6]);
    int expectCursor = -1, tolerance = 0;
    int skipX = 0, skipY = 0, skipWidth = 0, skipHeight = 0;
    for (int i = 7; i < argc; ++i) {
        if (std::strncmp(argv[i], "cursor=", 7) == 0) {
            expectCursor = std::atoi(argv[i] + 7);
        } else if (std::strncmp(argv[i], "tolerance=", 10) == 0) {
            tolerance = std::atoi(argv[i] + 10);
        } else if (std::strncmp(argv[i], "skip=", 5) == 0) {
            std::sscanf(argv[i] + 5, "%d,%d,%d,%d", &skipX, &skipY, &skipWidth, &skipHeight);
        }
    }
    auto skipped = [&](int x, int y) {
        return x >= skipX && x < skipX + skipWidth && y >= skipY && y < skipY + skipHeight;
    };
    int failures = 0;
    auto fail = [&](const char* what) {
        std::printf("FAIL %s\n", what);
        ++failures;
    };

    auto screen = readFile(argv[2]);
    if (!screen || screen->size() != static_cast<size_t>(screenWidth) * screenHeight * 3) {
        fail("screen pixels missing or of the wrong size");
        return 1;
    }
    auto bitmapBytes = readFile(base + ".bmp");
    if (!bitmapBytes) {
        fail("no bitmap file");
        return 1;
    }
    auto view = readBitmapFile(*bitmapBytes);
    if (!view) {
        fail("bitmap file refused by the reader");
        return 1;
    }
    std::printf("bitmap %dx%d bits=%d compression=%u stride=%u size=%zu\n", view->width, view->height,
                view->header.info.bitCount, view->header.info.compression, view->stride, bitmapBytes->size());
    if (!view->topDown || view->header.fileSize != bitmapBytes->size() ||
        view->header.info.imageSize != view->stride * static_cast<uint32_t>(view->height)) {
        fail("bitmap header sizes");
    }
    if (left + view->width > screenWidth || top + view->height > screenHeight) {
        fail("bitmap larger than the screen");
        return 1;
    }
    long differing = 0;
    for (int y = 0; y < view->height; ++y) {
        for (int x = 0; x < view->width; ++x) {
            if (skipped(left + x, top + y)) {
                continue;
            }
            const uint8_t* p = screen->data() + (static_cast<size_t>(top + y) * screenWidth + (left + x)) * 3;
            uint32_t expected = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
            uint32_t got = bitmapPixel(*view, x, y);
            bool close = true;
            for (int shift = 0; shift <= 16; shift += 8) {
                int a = static_cast<int>((got >> shift) & 0xFF), b = static_cast<int>((expected >> shift) & 0xFF);
                close = close && (a > b ? a - b : b - a) <= tolerance;
            }
            if (!close) {
                if (differing < 5) {
                    std::printf("pixel %d,%d: file %06X, screen %06X\n", x, y, got, expected);
                }
                ++differing;
            }
        }
    }
    std::printf("pixels differing: %ld of %ld\n", differing, static_cast<long>(view->width) * view->height);
    if (differing != 0) {
        fail("pixels");
    }

    auto settings = readFile(base + ".cfg");
    if (!settings || settings->size() != kSettingsCopySize) {
        fail("settings copy is not 10,240 bytes");
    }
    auto cursorBytes = readFile(base + ".dat");
    auto cursor = cursorBytes ? readCursorFile(*cursorBytes) : std::nullopt;
    if (!cursor || cursor->damaged) {
        fail("cursor file damaged for the reader");
    } else {
        const CursorImage& c = cursor->image;
        std::printf("cursor at %d,%d flags=%u size=%zu", c.position.x, c.position.y, c.flags,
                    cursorBytes->size());
        if (c.flags & kCursorHasMask) {
            std::printf(" mask %dx%d bits=%d", c.maskHeader.width, c.maskHeader.height, c.maskHeader.bitCount);
            if (c.maskHeader.bitCount != view->header.info.bitCount) {
                fail("mask depth differs from the bitmap's");
            }
        }
        if (c.flags & kCursorHasColour) {
            std::printf(" colour %dx%d", c.colourHeader.width, c.colourHeader.height);
        }
        std::printf("\n");
        if (expectCursor == 0 && cursorBytes->size() != kCursorFileHeadSize) {
            fail("cursor recorded where none should be");
        }
        if (expectCursor == 1 && (c.flags & kCursorHasMask) == 0) {
            fail("cursor not recorded");
        }
    }
    std::printf(failures == 0 ? "ok\n" : "not ok\n");
    return failures == 0 ? 0 : 1;
}

} // namespace
