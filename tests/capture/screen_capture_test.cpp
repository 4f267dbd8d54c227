#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "capture/cursor.h"
#include "capture/screen_capture.h"
#include "tests/capture/fake_surface.h"

namespace quillon {
namespace {

using capture_test::FakeSurface;

// Surfaces whose steps succeed or fail as the test says, logging each call.
class ScriptedSurfaces : public CaptureSurfaces {
public:
    bool primaryWorks = true, offscreenWorks = true, lockWorks = true, unlockWorks = true, gdiWorks = true;
    FakeSurface screen{64, 48, 32};
    std::vector<std::string> calls;

    int32_t screenWidth() override { return screen.width; }
    int32_t screenHeight() override { return screen.height; }
    bool createPrimary() override {
        calls.push_back("primary");
        return primaryWorks;
    }
    bool copyToOffscreen(const Rect& rect, LockedSurface& locked) override {
        calls.push_back("offscreen");
        if (!offscreenWorks) {
            return false;
        }
        locked = screen.lockedAt(rect.left, rect.top);
        return true;
    }
    bool lockPrimary(const Rect& rect, LockedSurface& locked) override {
        calls.push_back("lock");
        if (!lockWorks) {
            return false;
        }
        locked = screen.lockedAt(rect.left, rect.top);
        return true;
    }
    bool unlockAndRelease() override {
        calls.push_back("unlock");
        return unlockWorks;
    }
    void releaseDirectDraw() override { calls.push_back("release"); }
    CaptureResult captureGdi(const Rect& rect, CapturedImage& image) override {
        calls.push_back("gdi");
        if (!gdiWorks) {
            return CaptureResult::NoScreenBitmap;
        }
        copySurfaceRows(screen.lockedAt(rect.left, rect.top), rect.width(), rect.height(), image);
        return CaptureResult::Ok;
    }
    std::vector<std::string> take() { return std::exchange(calls, {}); }
};

using Calls = std::vector<std::string>;
const Rect kRect{4, 3, 36, 23};

TEST(ScreenCapture, FallbackOrderAndTheMethodOnlyIncreases) {
    struct Case {
        const char* what;
        bool primary, offscreen, lock;
        Calls first;
        CaptureMethod used, next;
        Calls second; // the following capture, with every step now working
    } cases[] = {
        {"off-screen copy works", true, true, true, {"primary", "offscreen", "unlock"}, CaptureMethod::OffscreenCopy,
         CaptureMethod::OffscreenCopy, {"primary", "offscreen", "unlock"}},
        {"off-screen copy fails: primary lock, kept", true, false, true, {"primary", "offscreen", "lock", "unlock"},
         CaptureMethod::PrimaryLock, CaptureMethod::PrimaryLock, {"primary", "lock", "unlock"}},
        {"no primary surface: GDI for good", false, true, true, {"primary", "release", "gdi"}, CaptureMethod::Gdi,
         CaptureMethod::Gdi, {"gdi"}},
        {"lock fails too: GDI for good", true, false, false, {"primary", "offscreen", "lock", "release", "gdi"},
         CaptureMethod::Gdi, CaptureMethod::Gdi, {"gdi"}},
    };
    for (const Case& c : cases) {
        ScriptedSurfaces surfaces;
        surfaces.primaryWorks = c.primary;
        surfaces.offscreenWorks = c.offscreen;
        surfaces.lockWorks = c.lock;
        ScreenCapture capture(surfaces, false);
        CapturedImage image;
        ASSERT_EQ(capture.capture(kRect, image), CaptureResult::Ok) << c.what;
        EXPECT_EQ(surfaces.take(), c.first) << c.what;
        EXPECT_EQ(image.method, c.used) << c.what;
        EXPECT_EQ(capture.method(), c.next) << c.what;
        EXPECT_EQ(image.width, 32) << c.what;
        EXPECT_EQ(image.height, 20) << c.what;
        EXPECT_EQ(image.stride, 128u) << c.what;
        // Row 5 of the image is row 8 of the screen from column 4.
        EXPECT_EQ(0, std::memcmp(image.pixels.data() + 5 * 128, surfaces.screen.lockedAt(4, 8).bits, 128)) << c.what;

        surfaces.primaryWorks = surfaces.offscreenWorks = surfaces.lockWorks = true;
        ASSERT_EQ(capture.capture(kRect, image), CaptureResult::Ok) << c.what;
        EXPECT_EQ(surfaces.take(), c.second) << c.what << " (second capture)";
    }
}

TEST(ScreenCapture, LegacyCaptureAlwaysUsesGdi) {
    ScriptedSurfaces surfaces;
    ScreenCapture capture(surfaces, true);
    CapturedImage image;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(capture.capture(kRect, image), CaptureResult::Ok);
        EXPECT_EQ(image.method, CaptureMethod::Gdi);
    }
    EXPECT_EQ(surfaces.take(), (Calls{"gdi", "gdi", "gdi"}));
}

TEST(ScreenCapture, FailuresThatEndTheCapture) {
    {
        ScriptedSurfaces surfaces;
        surfaces.unlockWorks = false;
        ScreenCapture capture(surfaces, false);
        CapturedImage image;
        EXPECT_EQ(capture.capture(kRect, image), CaptureResult::UnlockFailed);
        EXPECT_EQ(surfaces.take(), (Calls{"primary", "offscreen", "unlock", "release"}));
        EXPECT_EQ(capture.method(), CaptureMethod::Gdi);
    }
    {
        ScriptedSurfaces surfaces;
        surfaces.gdiWorks = false;
        ScreenCapture capture(surfaces, true);
        CapturedImage image;
        EXPECT_EQ(capture.capture(kRect, image), CaptureResult::NoScreenBitmap);
    }
    {
        ScriptedSurfaces surfaces;
        ScreenCapture capture(surfaces, false);
        CapturedImage image;
        EXPECT_EQ(capture.capture({10, 10, 10, 20}, image), CaptureResult::BadRectangle);
        EXPECT_EQ(capture.capture({10, 10, 5, 20}, image), CaptureResult::BadRectangle);
        EXPECT_TRUE(surfaces.take().empty()) << "nothing is touched for an empty rectangle";
    }
}

TEST(ScreenCapture, ReservedBufferIsReused) {
    ScriptedSurfaces surfaces;
    ScreenCapture capture(surfaces, false);
    CapturedImage image;
    image.pixels.reserve(64 * 48 * 4);
    const uint8_t* buffer = image.pixels.data();
    ASSERT_EQ(capture.capture(kRect, image), CaptureResult::Ok);
    ASSERT_EQ(capture.capture({0, 0, 63, 47}, image), CaptureResult::Ok);
    EXPECT_EQ(image.pixels.data(), buffer);
}

// A cursor as the system describes it.
class FakeCursorSystem : public CursorSystem {
public:
    bool infoReadable = true, showing = true, hasIcon = true, hasColour = false;
    int iconsReleased = 0;

    bool cursorInfo(Point& position, bool& isShowing) override {
        position = {100, 60};
        isShowing = showing;
        return infoReadable;
    }
    bool iconInfo(Point& hotSpot) override {
        hotSpot = {4, 7};
        return hasIcon;
    }
    bool readIconBitmap(bool colour, int32_t bitsPerPixel, DibInfoHeader& header,
                        std::vector<uint8_t>& bits) override {
        if (colour && !hasColour) {
            return false;
        }
        header.width = 32;
        header.height = colour ? 32 : 64;
        header.bitCount = static_cast<uint16_t>(bitsPerPixel);
        bits.assign(16, colour ? 0xC0 : 0x3A);
        return true;
    }
    void releaseIcon() override { ++iconsReleased; }
};

TEST(CaptureCursor, AHiddenOrUnreadableCursorIsNotCaptured) {
    struct Case {
        const char* name;
        bool infoReadable, showing, hasIcon, hasColour;
        bool captured;
        uint32_t flags;
        int released;
    } cases[] = {
        {"cursor information unreadable", false, true, true, false, false, 0, 0},
        {"hidden: no icon to read", true, false, false, false, false, 0, 0},
        {"icon information unreadable", true, true, false, false, false, 0, 0},
        {"mask only", true, true, true, false, true, kCursorHasMask, 1},
        {"mask and colour", true, true, true, true, true, kCursorHasMask | kCursorHasColour, 1},
        {"has an icon but is not showing", true, false, true, true, true, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeCursorSystem system;
        system.infoReadable = c.infoReadable;
        system.showing = c.showing;
        system.hasIcon = c.hasIcon;
        system.hasColour = c.hasColour;
        CursorImage shape;
        shape.flags = 3; // left over from an earlier capture
        EXPECT_EQ(captureCursor(system, 32, shape), c.captured);
        EXPECT_EQ(shape.flags, c.flags);
        EXPECT_EQ(system.iconsReleased, c.released);
        if (c.captured) {
            EXPECT_EQ(shape.drawPosition.x, 96);
            EXPECT_EQ(shape.drawPosition.y, 53);
            EXPECT_EQ(shape.maskBits.size(), (c.flags & kCursorHasMask) ? 16u : 0u);
            EXPECT_EQ(shape.colourHeader.height, (c.flags & kCursorHasColour) ? 32 : 0);
        }
    }
}

} // namespace
} // namespace quillon
