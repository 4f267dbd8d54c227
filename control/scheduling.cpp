#include "control/scheduling.h"

#include "base/format_text.h"

namespace quillon::control {

namespace {

int bankOf(size_t index) { return static_cast<int>(index / 8) + 1; }
int slotOf(size_t index) { return static_cast<int>(index % 8) + 1; }

} // namespace

std::string scheduleListLine(const ScheduleEntry& entry) {
    switch (entry.kind) {
    case ScheduleKind::Recorded:
    case ScheduleKind::Edit:
        return formatText("  %d-%d메모리---%s", bankOf(entry.index), slotOf(entry.index), entry.name.c_str());
    case ScheduleKind::Combination:
        return formatText("  %d번메모리---%s", static_cast<int>(entry.index) + 1, entry.name.c_str());
    case ScheduleKind::AutoClick:
        return entry.name;
    }
    return {};
}

std::vector<std::string> scheduleListLines(ScheduleKind kind, const std::vector<std::string>& names) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < names.size(); ++i) {
        lines.push_back(scheduleListLine({kind, i, names[i]}));
    }
    return lines;
}

std::string scheduleClickEcho(const ScheduleEntry& entry) {
    switch (entry.kind) {
    case ScheduleKind::Recorded:
    case ScheduleKind::Edit:
        return formatText("%d-%d번메모리     %s", bankOf(entry.index), slotOf(entry.index), entry.name.c_str());
    case ScheduleKind::Combination:
        return formatText("%d번메모리     %s", static_cast<int>(entry.index) + 1, entry.name.c_str());
    case ScheduleKind::AutoClick:
        return formatText("[자동클릭]%s", entry.name.c_str());
    }
    return {};
}

std::string scheduleDoubleClickEcho(const ScheduleEntry& entry) {
    switch (entry.kind) {
    case ScheduleKind::Recorded:
    case ScheduleKind::Edit:
        return formatText("%d-%d번메모리 \"%s\"", bankOf(entry.index), slotOf(entry.index), entry.name.c_str());
    case ScheduleKind::Combination:
        return formatText("%d번메모리 \"%s\"", static_cast<int>(entry.index) + 1, entry.name.c_str());
    case ScheduleKind::AutoClick:
        return scheduleClickEcho(entry);
    }
    return {};
}

std::string memoryPickerEcho(bool combination, size_t index, const std::string& name) {
    return combination ? formatText("%d번 메모리     %s", static_cast<int>(index) + 1, name.c_str())
                       : formatText("%d-%d번메모리     %s", bankOf(index), slotOf(index), name.c_str());
}

std::string clearMemoryQuestion(const std::string& echo) {
    return formatText("%s\n\n선택한 메모리의 내용을 삭제하시겠습니까?\n(삭제한 내용은 되살릴 수 없습니다.)", echo.c_str());
}

std::string scheduleQuestion(const std::string& echo) {
    return formatText("%s를 실행예약 하시겠습니까?", echo.c_str());
}

ScheduleCommand scheduleCommandOf(const ScheduleEntry& entry) {
    const auto index = static_cast<uint8_t>(entry.index);
    switch (entry.kind) {
    case ScheduleKind::Recorded:
        return {1, index};
    case ScheduleKind::Edit:
        return {2, index};
    case ScheduleKind::Combination:
        return {3, index};
    case ScheduleKind::AutoClick:
        return {kAutoClickScheduleKind, kAutoClickScheduleIndex};
    }
    return {1, index};
}

} // namespace quillon::control
