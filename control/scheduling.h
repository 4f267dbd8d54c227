// The scheduling dialog ("실행 예약") without its window: the lines of its
// list, the echoes of a click and a double click, the question, and the
// scheduling command each choice sends. The machine then starts or ends the
// scheduled macro with the lock key chosen in the hotkey record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::control {

enum class ScheduleKind { Recorded, Edit, Combination, AutoClick };

struct ScheduleEntry {
    ScheduleKind kind = ScheduleKind::Recorded;
    size_t index = 0;  // memory index; 0 for the auto-click entry
    std::string name;  // UTF-8
};

// The list for one kind: recorded and edit memories "  %d-%d메모리---%s",
// combination memories "  %d번메모리---%s", the auto-click entry its name.
std::string scheduleListLine(const ScheduleEntry& entry);
std::vector<std::string> scheduleListLines(ScheduleKind kind, const std::vector<std::string>& names);

// The echo line: "%d-%d번메모리     %s" (or "%d번메모리     %s") for a click,
// the name in quotation marks for a double click; "[자동클릭]%s" for both
// with the auto-click entry.
std::string scheduleClickEcho(const ScheduleEntry& entry);
std::string scheduleDoubleClickEcho(const ScheduleEntry& entry);

// The memory pickers' echo of a click: "%d-%d번메모리     %s" for recorded
// and edit memories, "%d번 메모리     %s" for combination memories.
std::string memoryPickerEcho(bool combination, size_t index, const std::string& name);

// The question before a picker's "선택메모리\n내용 삭제".
std::string clearMemoryQuestion(const std::string& echo);

// "%s를 실행예약 하시겠습니까?" with the echo shown (OK/Cancel).
std::string scheduleQuestion(const std::string& echo);

struct ScheduleCommand {
    uint8_t kind;  // 1 recorded, 2 edit, 3 combination
    uint8_t index;
};
// The auto-click block is scheduled as edit memory 72.
ScheduleCommand scheduleCommandOf(const ScheduleEntry& entry);

constexpr uint8_t kAutoClickScheduleKind = 2;
constexpr uint8_t kAutoClickScheduleIndex = 72;
constexpr const char* kScheduleCancelled = "예약실행을 취소했습니다.";

} // namespace quillon::control
