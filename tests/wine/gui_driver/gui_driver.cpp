// gui-driver: drives Windows programs from outside for the GUI tests.
//
//   gui-driver wait-window [--class C] [--title T] [--child-text T | --child-contains T] [--timeout MS]
//       waits for a visible top-level window; prints its handle (hex)
//   gui-driver wait-gone HWND [--timeout MS]    exit 0 once the window is gone
//   gui-driver children HWND                    one line per child: id class x y w h text
//   gui-driver text HWND [ID]                   text of the window or of its control ID (UTF-8)
//   gui-driver click HWND ID                    presses the button ID (BM_CLICK), its window
//                                               made the active one first, as a click makes it
//   gui-driver command HWND ID                  posts WM_COMMAND ID to the window
//   gui-driver key HWND esc|enter               sends the key to the window as a dialog sees it
//   gui-driver close HWND                       the system close command (as the title-bar X)
//   gui-driver rect HWND                        x y width height of the window on the screen
//   gui-driver screen                           width height of the screen
//   gui-driver screenshot HWND FILE.bmp         saves the window's pixels as a 24-bit BMP
//   gui-driver topmost HWND                     prints 1 when the window is topmost
//   gui-driver lines HWND ID                    the lines of list box ID, one per line
//   gui-driver choose HWND ID INDEX             selects line INDEX of list box ID and waits until the
//                                               window has handled the click
//   gui-driver settext HWND ID TEXT             sets the control's text (WM_SETTEXT)
//   gui-driver select HWND ID INDEX [double]    selects a list box line and notifies the
//                                               dialog as a click (or a double click) would
//   gui-driver scankey HWND ID SCAN             posts a key-down with the set-1 scan code
//                                               (| 0x100 for an extended key) to the control
// A control ID is looked for among the window's children, then among all its
// descendants (the pages of a dialog are child dialogs).
//
// Exit codes: 0 done, 1 not found or timed out, 2 bad usage.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::wstring windowText(HWND window) {
    wchar_t buffer[4096];
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                             &length)) {
        return {};
    }
    return std::wstring(buffer, static_cast<size_t>(length));
}

std::wstring className(HWND window) {
    wchar_t buffer[256];
    int n = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

HWND parseHandle(const char* text) { return reinterpret_cast<HWND>(std::strtoull(text, nullptr, 16)); }

struct Search {
    std::wstring className, title, childText;
    bool childTextPart = false; // --child-contains: a part of the child's text is enough
    HWND found = nullptr;
};

BOOL CALLBACK findChildText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    const std::wstring text = windowText(child);
    if (search->childTextPart ? text.find(search->childText) != std::wstring::npos : text == search->childText) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    if (!search->className.empty() && className(window) != search->className) {
        return TRUE;
    }
    if (!search->title.empty() && windowText(window) != search->title) {
        return TRUE;
    }
    if (!search->childText.empty()) {
        Search inner;
        inner.childText = search->childText;
        inner.childTextPart = search->childTextPart;
        EnumChildWindows(window, findChildText, reinterpret_cast<LPARAM>(&inner));
        if (!inner.found) {
            return TRUE;
        }
    }
    search->found = window;
    return FALSE;
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
    RECT r;
    GetWindowRect(child, &r);
    std::printf("%d\t%s\t%ld %ld %ld %ld\t%s\n", GetDlgCtrlID(child), utf8(className(child)).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top, utf8(windowText(child)).c_str());
    return TRUE;
}

int timeoutOption(int argc, char** argv, int defaultMs) {
    for (int i = 0; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--timeout")) {
            return std::atoi(argv[i + 1]);
        }
    }
    return defaultMs;
}

int waitWindow(int argc, char** argv) {
    Search search;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--class")) {
            search.className = wide(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "--title")) {
            search.title = wide(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "--child-text")) {
            search.childText = wide(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "--child-contains")) {
            search.childText = wide(argv[i + 1]);
            search.childTextPart = true;
        }
    }
    DWORD deadline = GetTickCount() + static_cast<DWORD>(timeoutOption(argc, argv, 20000));
    do {
        EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(search.found)));
            return 0;
        }
        Sleep(100);
    } while (static_cast<LONG>(GetTickCount() - deadline) < 0);
    std::fprintf(stderr, "gui-driver: no such window\n");
    return 1;
}

int waitGone(int argc, char** argv) {
    HWND window = parseHandle(argv[2]);
    DWORD deadline = GetTickCount() + static_cast<DWORD>(timeoutOption(argc, argv, 10000));
    while (IsWindow(window)) {
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) {
            std::fprintf(stderr, "gui-driver: the window is still there\n");
            return 1;
        }
        Sleep(100);
    }
    return 0;
}

struct IdSearch {
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK findDescendantId(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<IdSearch*>(param);
    if (GetDlgCtrlID(child) == search->id && IsWindowVisible(GetParent(child))) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND control(HWND window, int argc, char** argv, int index) {
    if (argc <= index) {
        return window;
    }
    HWND child = GetDlgItem(window, std::atoi(argv[index]));
    if (!child) {
        IdSearch search{std::atoi(argv[index])};
        EnumChildWindows(window, findDescendantId, reinterpret_cast<LPARAM>(&search));
        child = search.found;
    }
    if (!child) {
        std::fprintf(stderr, "gui-driver: no control %s\n", argv[index]);
        std::exit(1);
    }
    return child;
}

int screenshot(HWND window, const char* path) {
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    DWORD rowSize = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    DWORD imageSize = rowSize * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    FILE* out = _wfopen(wide(path).c_str(), L"wb");
    bool ok = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
              std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, out) == 1 &&
              std::fwrite(bits, imageSize, 1, out) == 1;
    if (out) {
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!ok) {
        std::fprintf(stderr, "gui-driver: no screenshot of a %d x %d window into %s (bitmap %s, file %s)\n", width,
                     height, path, bits ? "made" : "not made", out ? "written in part" : "not opened");
        return 1;
    }
    return 0;
}

// A button press sent to a dialog that is not the active window may be lost:
// the press takes the mouse capture, and the dialog's activation, when it
// comes in between, takes it back, so the release no longer counts as a
// click. A box that has only just appeared on a loaded machine is such a
// dialog. The window is brought to the foreground first, as a user's click
// would, and given up to a second to become it.
void activateFor(HWND control) {
    HWND root = GetAncestor(control, GA_ROOT);
    if (root == nullptr || GetForegroundWindow() == root) {
        return;
    }
    SetForegroundWindow(root);
    for (int i = 0; i < 50 && GetForegroundWindow() != root; ++i) {
        Sleep(20);
    }
}

int usage() {
    std::fprintf(stderr, "usage: gui-driver wait-window|wait-gone|children|text|click|command|key|rect|screen|"
                         "screenshot|topmost|enabled|resources ...\n");
    return 2;
}

} // namespace

namespace {

int run(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    std::string verb = argv[1];
    if (verb == "wait-window") {
        return waitWindow(argc, argv);
    }
    if (verb == "ticks") {
        std::printf("%lu\n", static_cast<unsigned long>(GetTickCount()));
        return 0;
    }
    if (verb == "screen") {
        std::printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (verb == "workarea") {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        std::printf("%ld %ld %ld %ld %d\n", work.left, work.top, work.right, work.bottom, dpi);
        return 0;
    }
    if (verb == "windows") {
        // Every visible top-level window: handle, left, top, right, bottom, title.
        EnumWindows(
            [](HWND window, LPARAM) -> BOOL {
                if (IsWindowVisible(window)) {
                    RECT r;
                    GetWindowRect(window, &r);
                    std::printf("%llx\t%ld %ld %ld %ld\t%s\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)),
                                r.left, r.top, r.right, r.bottom, utf8(windowText(window)).c_str());
                }
                return TRUE;
            },
            0);
        return 0;
    }
    if (argc < 3) {
        return usage();
    }
    HWND window = parseHandle(argv[2]);
    if (verb == "wait-gone") {
        return waitGone(argc, argv);
    }
    if (!IsWindow(window)) {
        std::fprintf(stderr, "gui-driver: no window %s\n", argv[2]);
        return 1;
    }
    if (verb == "children") {
        EnumChildWindows(window, printChild, 0);
        return 0;
    }
    if (verb == "text") {
        std::printf("%s\n", utf8(windowText(control(window, argc, argv, 3))).c_str());
        return 0;
    }
    if (verb == "click" && argc > 3) {
        HWND button = control(window, argc, argv, 3);
        activateFor(button);
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (verb == "command" && argc > 3) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), BN_CLICKED), 0);
        return 0;
    }
    if (verb == "key" && argc > 3) {
        WPARAM key = !std::strcmp(argv[3], "esc") ? VK_ESCAPE : !std::strcmp(argv[3], "enter") ? VK_RETURN : 0;
        if (!key) {
            return usage();
        }
        // A dialog's message loop sees keys sent to the dialog or its controls.
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
        return 0;
    }
    if (verb == "close") {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    if (verb == "rect") {
        RECT r;
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (verb == "resources") {
        // The window's process: working set (KB), GDI and USER objects, handles.
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (!process) {
            std::fprintf(stderr, "gui-driver: cannot open process %lu\n", static_cast<unsigned long>(pid));
            return 1;
        }
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process, &memory, sizeof memory);
        DWORD handles = 0;
        GetProcessHandleCount(process, &handles);
        std::printf("%lu %lu %lu %lu\n", static_cast<unsigned long>(memory.WorkingSetSize / 1024),
                    static_cast<unsigned long>(GetGuiResources(process, GR_GDIOBJECTS)),
                    static_cast<unsigned long>(GetGuiResources(process, GR_USEROBJECTS)),
                    static_cast<unsigned long>(handles));
        CloseHandle(process);
        return 0;
    }
    if (verb == "timed-command" && argc > 3) {
        // Sends the command and waits for it, then has CONTROL (argv[4],
        // optional) repaint: the milliseconds the window took, and the tick
        // count at the end.
        const DWORD start = GetTickCount();
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), BN_CLICKED), 0);
        if (argc > 4) {
            RedrawWindow(control(window, argc, argv, 4), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        const DWORD end = GetTickCount();
        std::printf("%lu %lu\n", static_cast<unsigned long>(end - start), static_cast<unsigned long>(end));
        return 0;
    }
    if (verb == "timed-click" && argc > 3) {
        // As click, then the tick count at the press.
        PostMessageW(control(window, argc, argv, 3), BM_CLICK, 0, 0);
        std::printf("%lu\n", static_cast<unsigned long>(GetTickCount()));
        return 0;
    }
    if (verb == "enabled") {
        // 1 when the window (or its control) takes input, else 0.
        std::printf("%d\n", IsWindowEnabled(control(window, argc, argv, 3)) ? 1 : 0);
        return 0;
    }
    if (verb == "topmost") {
        std::printf("%d\n", (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
        return 0;
    }
    if (verb == "screenshot" && argc > 3) {
        return screenshot(window, argv[3]);
    }
    if (verb == "settext" && argc > 4) {
        HWND child = control(window, argc, argv, 3);
        SendMessageW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide(argv[4]).c_str()));
        return 0;
    }
    if (verb == "select" && argc > 4) {
        HWND child = control(window, argc, argv, 3);
        const int line = std::atoi(argv[4]);
        // A list of several selected lines takes its one line with LB_SETSEL.
        const bool several = (GetWindowLongW(child, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
        if (several) {
            SendMessageW(child, LB_SETSEL, FALSE, -1);
        }
        if ((several ? SendMessageW(child, LB_SETSEL, TRUE, line) : SendMessageW(child, LB_SETCURSEL, line, 0)) ==
            LB_ERR) {
            std::fprintf(stderr, "gui-driver: no line %d\n", line);
            return 1;
        }
        const WORD notification = argc > 5 && !std::strcmp(argv[5], "double") ? LBN_DBLCLK : LBN_SELCHANGE;
        PostMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), notification),
                     reinterpret_cast<LPARAM>(child));
        return 0;
    }
    if (verb == "scankey" && argc > 4) {
        HWND child = control(window, argc, argv, 3);
        const unsigned long scan = std::strtoul(argv[4], nullptr, 0);
        const LPARAM lParam = 1 | ((scan & 0xFF) << 16) | ((scan & 0x100) ? (1 << 24) : 0);
        PostMessageW(child, WM_KEYDOWN, 0, lParam);
        PostMessageW(child, WM_KEYUP, 0, lParam | 0xC0000000);
        return 0;
    }
    if (verb == "lines" && argc > 3) {
        HWND list = control(window, argc, argv, 3);
        const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring line(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
            line.resize(std::wcslen(line.c_str()));
            std::printf("%s\n", utf8(line).c_str());
        }
        return 0;
    }
    if (verb == "choose" && argc > 4) {
        const int id = std::atoi(argv[3]);
        HWND list = control(window, argc, argv, 3);
        wchar_t kind[32] = L"";
        GetClassNameW(list, kind, 32);
        const bool combo = _wcsicmp(kind, L"ComboBox") == 0; // CBN_SELCHANGE is LBN_SELCHANGE
        SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(std::atoi(argv[4])), 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        return 0;
    }
    return usage();
}

} // namespace

// Arguments arrive as UTF-16 whatever the code page, so Korean texts survive.
int wmain(int argc, wchar_t** wargv) {
    std::vector<std::string> args;
    std::vector<char*> argv;
    for (int i = 0; i < argc; ++i) {
        args.push_back(utf8(wargv[i]));
    }
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    return run(argc, argv.data());
}
