// DirectDraw 7 and GDI screen capture.
#include "capture/screen_capture.h"

#include <windows.h>

#include <ddraw.h>


namespace quillon {
namespace {

// DirectDraw is bound at run time, so a system without it (or a program that
// does not link its import library) still captures, with GDI.
using DirectDrawCreateExProc = HRESULT(WINAPI*)(GUID*, LPVOID*, REFIID, IUnknown*);
const GUID kIidDirectDraw7 = {0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

DirectDrawCreateExProc directDrawCreateEx() {
    static DirectDrawCreateExProc proc = [] {
        HMODULE library = LoadLibraryW(L"ddraw.dll");
        return library != nullptr
                   ? reinterpret_cast<DirectDrawCreateExProc>(
                         reinterpret_cast<void*>(GetProcAddress(library, "DirectDrawCreateEx")))
                   : nullptr;
    }();
    return proc;
}

template <typename T> void release(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

RECT toRect(const Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

// A BITMAPINFO with room for the three bit-field masks or a colour table.
struct BitmapInfoWithColours {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

} // namespace

struct SystemCaptureSurfaces::State {
    IDirectDraw7* directDraw = nullptr;
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* offscreen = nullptr;
    IDirectDrawSurface7* locked = nullptr; // the surface that holds a lock
    RECT lockedRect{};

    bool lock(IDirectDrawSurface7* surface, const RECT& rect, LockedSurface& out) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        RECT area = rect;
        if (FAILED(surface->Lock(&area, &desc, DDLOCK_READONLY | DDLOCK_WAIT | DDLOCK_SURFACEMEMORYPTR, nullptr))) {
            return false;
        }
        locked = surface;
        lockedRect = rect;
        out.bits = static_cast<const uint8_t*>(desc.lpSurface);
        out.pitch = desc.lPitch;
        out.bitsPerPixel = static_cast<int32_t>(desc.ddpfPixelFormat.dwRGBBitCount);
        return true;
    }
};

SystemCaptureSurfaces::SystemCaptureSurfaces() : state_(std::make_unique<State>()) {}

SystemCaptureSurfaces::~SystemCaptureSurfaces() { releaseDirectDraw(); }

bool SystemCaptureSurfaces::prepare(const Rect& probe) {
    if (state_->directDraw != nullptr) {
        return true;
    }
    DirectDrawCreateExProc create = directDrawCreateEx();
    void* object = nullptr;
    if (create == nullptr || FAILED(create(nullptr, &object, kIidDirectDraw7, nullptr)) || object == nullptr) {
        return false;
    }
    state_->directDraw = static_cast<IDirectDraw7*>(object);
    if (FAILED(state_->directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        releaseDirectDraw();
        return false;
    }
    // The first lock of the primary surface is slow: pay for it now, not at
    // the first shot.
    if (createPrimary()) {
        LockedSurface locked;
        if (state_->lock(state_->primary, toRect(probe), locked)) {
            unlockAndRelease();
        } else {
            release(state_->primary);
        }
    }
    return true;
}

bool SystemCaptureSurfaces::hasDirectDraw() const { return state_->directDraw != nullptr; }

int32_t SystemCaptureSurfaces::screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int32_t SystemCaptureSurfaces::screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

bool SystemCaptureSurfaces::createPrimary() {
    if (state_->directDraw == nullptr) {
        return false;
    }
    if (state_->primary != nullptr) {
        return true;
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return SUCCEEDED(state_->directDraw->CreateSurface(&desc, &state_->primary, nullptr));
}

bool SystemCaptureSurfaces::copyToOffscreen(const Rect& rect, LockedSurface& locked) {
    if (state_->primary == nullptr) {
        return false;
    }
    release(state_->offscreen);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = static_cast<DWORD>(screenWidth());
    desc.dwHeight = static_cast<DWORD>(screenHeight());
    if (FAILED(state_->directDraw->CreateSurface(&desc, &state_->offscreen, nullptr))) {
        state_->offscreen = nullptr;
        return false;
    }
    RECT source = toRect(rect);
    RECT target{0, 0, rect.width(), rect.height()};
    if (FAILED(state_->offscreen->Blt(&target, state_->primary, &source, DDBLT_WAIT, nullptr))) {
        return false;
    }
    return state_->lock(state_->offscreen, target, locked);
}

bool SystemCaptureSurfaces::lockPrimary(const Rect& rect, LockedSurface& locked) {
    release(state_->offscreen);
    if (state_->primary == nullptr) {
        return false;
    }
    return state_->lock(state_->primary, toRect(rect), locked);
}

bool SystemCaptureSurfaces::unlockAndRelease() {
    bool unlocked = true;
    if (state_->locked != nullptr) {
        unlocked = SUCCEEDED(state_->locked->Unlock(&state_->lockedRect));
        state_->locked = nullptr;
    }
    release(state_->offscreen);
    release(state_->primary);
    return unlocked;
}

void SystemCaptureSurfaces::releaseDirectDraw() {
    if (state_->locked != nullptr) {
        state_->locked->Unlock(&state_->lockedRect);
        state_->locked = nullptr;
    }
    release(state_->offscreen);
    release(state_->primary);
    release(state_->directDraw);
}

CaptureResult SystemCaptureSurfaces::captureGdi(const Rect& rect, CapturedImage& image) {
    int32_t width = rect.width();
    int32_t height = rect.height();
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    if (screen == nullptr) {
        return CaptureResult::NoScreenBitmap;
    }
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory != nullptr ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (bitmap == nullptr) {
        if (memory != nullptr) {
            DeleteDC(memory);
        }
        ReleaseDC(desktop, screen);
        return CaptureResult::NoScreenBitmap;
    }
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, previous);

    // First the screen's format only, then the pixels, rows top to bottom.
    BitmapInfoWithColours info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    bool described = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), nullptr,
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != 0;
    int32_t bits = info.header.biBitCount;
    uint32_t stride = dibRowSize(width, bits);
    bool copied = false;
    if (described && stride != 0 && bits >= 16) {
        info.header.biHeight = -height;
        image.pixels.resize(static_cast<size_t>(stride) * static_cast<size_t>(height));
        copied = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), image.pixels.data(),
                           reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != 0;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(desktop, screen);
    if (!copied) {
        return CaptureResult::NoScreenBitmap;
    }
    image.width = width;
    image.height = height;
    image.stride = stride;
    image.bitsPerPixel = bits;
    image.imageSize = stride * static_cast<uint32_t>(height);
    image.compression = info.header.biCompression;
    if (info.header.biCompression == BI_BITFIELDS) {
        const auto* masks = reinterpret_cast<const DWORD*>(info.colours);
        image.redMask = masks[0];
        image.greenMask = masks[1];
        image.blueMask = masks[2];
    } else {
        image.redMask = image.greenMask = image.blueMask = 0;
    }
    return CaptureResult::Ok;
}

} // namespace quillon
