// The simulated machine: the machine's side of the link protocol, for tests,
// machine-sim and the programs' demo mode. It keeps the option and hotkey
// records, the macro memories and the auto-click block as the machine does
// (link byte order), logs the action frames it receives with their times,
// answers status requests from a per-poll script, queues screenshot signals,
// and can be told to fail (silence, garbage, wrong magic, unplug at frame N).
//
// The machine itself does not know about frames; the two link front-ends
// (SimHidLink, SimSerialLink) turn reports and bytes into commands and the
// machine's responses back into the link's framing and block rules.
#pragma once

#include "base/clock.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quillon::sim {

inline constexpr size_t kRecordedMemories = 32;
inline constexpr size_t kEditMemories = 32;
inline constexpr size_t kCombinationMemories = 8;
inline constexpr size_t kRecordedHeaderSize = 63;
inline constexpr size_t kEditHeaderSize = 53;
inline constexpr size_t kCombinationHeaderSize = 65;
inline constexpr size_t kAutoClickBlockSize = 512;
inline constexpr size_t kStatusReplySize = 11;
// Largest body the machine takes (recorded macros may exceed the 32,768 bytes
// of compiled code).
inline constexpr size_t kMaxBodySize = 1u << 20;

enum class MachineMode { Normal, Screenshot, Analysis };

// One action frame as received: its time (machine clock), code and operands.
struct LoggedAction {
    uint32_t time = 0;
    uint8_t code = 0;
    std::vector<uint8_t> operands;
};

// One status reply in the per-poll script. Unset fields take the machine's
// current state; `marked` false gives a reply without 0xC5.
struct ScriptedStatus {
    bool marked = true;
    uint8_t hotkey = 0;
    std::optional<uint8_t> macroState;
    std::optional<uint8_t> remoteCommand;
    std::optional<std::array<uint8_t, 6>> heldKeys;
    uint8_t flags = 0;
};

enum class FaultKind {
    None,
    Silence, // frames are taken but nothing is answered
    Garbage, // answers are scrambled (framing kept)
    Unplug,  // the link is gone: every call fails
};

// A memory as the machine holds it: header and body in link byte order.
struct SimMemory {
    std::vector<uint8_t> header;
    std::vector<uint8_t> body;
};

// What the link front-end does after a command.
struct MachineResponse {
    enum class Kind { None, Reply, RawReply, BlockOut, BlockIn } kind = Kind::None;
    std::vector<uint8_t> bytes; // reply payload, raw reply, or the block to send
    size_t blockInLength = 0;   // BlockIn: bytes to take after the acknowledgement
    std::function<void(const std::vector<uint8_t>&)> storeBlock;
};

// How the front-end treats a frame, given the faults.
enum class FrameFate { Accept, Swallow, Unplugged };

class SimulatedMachine {
public:
    explicit SimulatedMachine(Clock& clock);

    Clock& clock() { return clock_; }

    // ---- used by the link front-ends --------------------------------------
    // Counts a frame from the host and says what becomes of it.
    FrameFate frameArrives();
    bool unplugged() const;
    bool silent() const;
    // Scrambles answer bytes while the garbage fault is active.
    void garble(std::vector<uint8_t>& bytes) const;
    MachineResponse handleCommand(const uint8_t* payload, size_t length);
    // Next screenshot signal, while in screenshot mode.
    std::optional<uint8_t> takeSignal();
    // Reads that the HID front-end answers idle before a mode acknowledgement.
    int modeAcknowledgementDelay() const;
    // Milliseconds the serial front-end waits before each answer (a slow
    // machine, so that a transfer lasts long enough to be watched).
    int serialAnswerPace() const;

    // ---- control (thread-safe) -------------------------------------------
    void injectHotkey(uint8_t code);
    void injectSignal(uint8_t signal);
    void injectRemoteCommand(uint8_t number);
    void setHeldKeys(const std::array<uint8_t, 6>& keys);
    void scriptStatus(const ScriptedStatus& status);
    // The fault starts with the host's frame number `atFrame` (counted from
    // the machine's start; frameCount() gives the count so far).
    void setFault(FaultKind kind, uint64_t atFrame);
    void clearFault();
    // The fault starts `afterFrames` frames after the next command `code`
    // (0: with the frame that follows it; a keep-alive before it does not count).
    void setFaultOnCommand(FaultKind kind, uint8_t code, uint64_t afterFrames);
    void setWrongMagic(bool wrong);
    void setModeAcknowledgementDelay(int reads);
    void setSerialAnswerPace(int milliseconds);
    // How many status polls a started macro keeps playing (0 = until stopped).
    void setMacroPlayPolls(int polls);
    // Screen size for decoding absolute moves into pixels.
    void setScreenSize(int width, int height);
    // Puts the records and memories back to the machine's defaults.
    void resetToDefaults();

    // ---- state --------------------------------------------------------------
    uint64_t frameCount() const;
    MachineMode mode() const;
    std::vector<LoggedAction> actions() const;
    std::vector<uint8_t> optionRecordBytes() const;
    std::vector<uint8_t> hotkeyRecordBytes() const;
    void setOptionRecordBytes(const std::vector<uint8_t>& bytes);
    SimMemory recordedMemory(size_t index) const;
    SimMemory editMemory(size_t index) const;
    SimMemory combinationMemory(size_t index) const;
    std::vector<uint8_t> autoClickBlock() const;
    size_t linkTests() const;
    std::string stateJson() const;
    // Called after each action frame (machine-sim turns actions into X input).
    void setActionListener(std::function<void(const LoggedAction&)> listener);

private:
    MachineResponse handleAction(const uint8_t* payload, size_t length);
    std::vector<uint8_t> nextStatus();
    MachineResponse blockOut(std::vector<uint8_t> bytes) const;
    MachineResponse blockIn(size_t length, std::function<void(const std::vector<uint8_t>&)> store) const;
    MachineResponse reply(uint8_t first) const;

    Clock& clock_;
    mutable std::recursive_mutex mutex_;
    MachineMode mode_ = MachineMode::Normal;
    std::vector<uint8_t> optionRecord_;
    std::vector<uint8_t> hotkeyRecord_;
    std::array<SimMemory, kRecordedMemories> recorded_;
    std::array<SimMemory, kEditMemories> edit_;
    std::array<SimMemory, kCombinationMemories> combination_;
    std::vector<uint8_t> autoClick_;
    std::vector<LoggedAction> actions_;
    std::deque<ScriptedStatus> statusScript_;
    std::deque<uint8_t> signals_;
    std::optional<uint8_t> pendingHotkey_;
    std::optional<uint8_t> pendingRemote_;
    std::array<uint8_t, 6> heldKeys_{};
    std::vector<uint8_t> pressedKeys_;   // pressed by key-down actions
    uint8_t pressedButtons_ = 0;
    bool macroPlaying_ = false;
    bool macroPaused_ = false;
    int macroPollsLeft_ = 0;
    int macroPlayPolls_ = 3;
    bool keyboardLocked_ = false;
    bool mouseLocked_ = false;
    std::array<bool, 3> lights_{};
    bool computerOff_ = false;
    std::optional<std::pair<uint8_t, uint8_t>> scheduled_;
    int pointerX_ = 0, pointerY_ = 0; // screen pixels
    int screenWidth_ = 1920, screenHeight_ = 1080;
    FaultKind faultKind_ = FaultKind::None;
    uint64_t faultAtFrame_ = 0;
    bool faultActive_ = false;
    std::optional<uint8_t> faultOnCommand_;
    FaultKind faultOnCommandKind_ = FaultKind::None;
    uint64_t faultOnCommandAfter_ = 0;
    bool wrongMagic_ = false;
    int modeAckDelay_ = 0;
    int serialAnswerPace_ = 0;
    uint64_t frames_ = 0;
    size_t linkTests_ = 0;
    std::function<void(const LoggedAction&)> actionListener_;
};

// The machine's defaults.
std::vector<uint8_t> defaultOptionRecordBytes();
std::vector<uint8_t> defaultHotkeyRecordBytes();

} // namespace quillon::sim
