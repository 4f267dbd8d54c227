// The HID interfaces the test stand-ins present, in enumeration order. Only
// the last is the machine; the others are there to be passed over: a
// keyboard, a vendor page outside the machine's window, the machine's page
// with a 64-byte input report, and a matching interface that does not open
// (held by another program).
#pragma once

struct StandinInterface {
    const char* path;
    unsigned short usagePage;
    unsigned short usage;
    unsigned short inputLength;
    unsigned short outputLength;
    bool opens;      // for reading and writing
    bool isMachine;  // carried to machine-sim
};

inline constexpr StandinInterface kStandinInterfaces[] = {
    {"\\\\?\\hid#vid_5151&pid_0001&mi_00#7&quillon-standin&0&0000#keyboard", 0x0001, 0x06, 9, 2, true, false},
    {"\\\\?\\hid#vid_5151&pid_0001&mi_01#7&quillon-standin&0&0000#vendor-ff80", 0xFF80, 0x61, 65, 65, true, false},
    {"\\\\?\\hid#vid_5151&pid_0001&mi_01#7&quillon-standin&0&0001#short-report", 0xFF60, 0x61, 64, 65, true, false},
    {"\\\\?\\hid#vid_5151&pid_0001&mi_01#7&quillon-standin&0&0002#held-elsewhere", 0xFF60, 0x61, 65, 65, false, false},
    {"\\\\?\\hid#vid_5151&pid_0001&mi_01#7&quillon-standin&0&0003#machine", 0xFF61, 0x61, 65, 65, true, true},
};
inline constexpr unsigned kStandinInterfaceCount = sizeof kStandinInterfaces / sizeof kStandinInterfaces[0];
