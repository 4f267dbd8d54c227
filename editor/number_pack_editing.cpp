#include "editor/number_pack_editing.h"

#include <algorithm>
#include <cstring>

#include "base/format_text.h"
#include "base/text.h"
#include "editor/recognition_capture.h"
#include "editor/reference_checks.h"
#include "editor/side_panel.h"

namespace quillon::editor {

using namespace analyzer;

bool NumberPackDraft::anySet() const {
    return std::any_of(slots.begin(), slots.end(), [](const SampleSlot& s) { return s.set; });
}

bool takeSample(NumberPackDraft& draft, int slot, const PickingGrid& grid) {
    if (slot < 0 || slot >= kSampleSlots) {
        return false;
    }
    const SelectionBox box = grid.selection();
    if (box.empty()) {
        return false;
    }
    SampleSlot sample;
    sample.set = true;
    sample.width = box.width();
    sample.height = box.height();
    sample.top = box.top;
    for (int row = box.top; row <= box.bottom; ++row) {
        for (int column = box.left; column <= box.right; ++column) {
            const GridCell& c = grid.cell(column, row);
            if (c.selected == 1) {
                sample.points.push_back({column - box.left, row - box.top, c.rgb()});
            }
        }
    }
    draft.slots[static_cast<size_t>(slot)] = std::move(sample);
    return true;
}

void clearSample(NumberPackDraft& draft, int slot) {
    if (slot >= 0 && slot < kSampleSlots) {
        draft.slots[static_cast<size_t>(slot)] = {};
    }
}

Status pickScreenPixel(ScreenPicking& picking, PickingGrid& grid, const ScreenshotBitmap& shot, int x, int y) {
    uint8_t bgr[3];
    if (!screenshotPixel(shot, x, y, bgr)) {
        return Status::failure("");
    }
    for (const ScreenPicking::Pixel& p : picking.pixels) {
        if (p.x == x && p.y == y) return Status::success();
    }
    SelectionBox box = picking.box;
    if (box.empty()) {
        box = {x, y, x, y};
    } else {
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
    }
    if (box.width() > kGridSide || box.height() > kGridSide) {
        return Status::failure(kPickTooLarge);
    }
    const bool first = picking.pixels.empty();
    picking.pixels.push_back({x, y});
    picking.box = box;
    picking.redSum += bgr[2];
    picking.greenSum += bgr[1];
    picking.blueSum += bgr[0];
    const uint64_t n = picking.pixels.size();
    const uint64_t limit = 127 * n; // average above 127, without rounding
    picking.background =
        picking.redSum > limit || picking.greenSum > limit || picking.blueSum > limit ? 0u : 0xFFFFFFu;

    // The grid again: the screenshot inside the box, the added pixels picked.
    grid.cells.fill(GridCell{});
    grid.width = box.width();
    grid.height = box.height();
    grid.imageSlot = -1;
    for (int row = 0; row < grid.height; ++row) {
        for (int column = 0; column < grid.width; ++column) {
            uint8_t c[3];
            if (screenshotPixel(shot, box.left + column, box.top + row, c)) {
                GridCell& cell = grid.cell(column, row);
                cell.blue = c[0];
                cell.green = c[1];
                cell.red = c[2];
            }
        }
    }
    for (const ScreenPicking::Pixel& p : picking.pixels) {
        grid.cell(p.x - box.left, p.y - box.top).selected = 1;
    }
    if (first) {
        grid.pointColour = static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 | bgr[0];
    }
    grid.anySelected = true;
    return Status::success();
}

void clearScreenPicking(ScreenPicking& picking, PickingGrid& grid) {
    picking = {};
    grid.cells.fill(GridCell{});
    grid.width = 0;
    grid.height = 0;
    grid.imageSlot = -1;
    grid.anySelected = false;
}

bool recolourCell(PickingGrid& grid, int column, int row) {
    if (!grid.inside(column, row) || grid.cell(column, row).selected != 1) {
        return false;
    }
    GridCell& c = grid.cell(column, row);
    c.red = static_cast<uint8_t>(grid.pointColour >> 16);
    c.green = static_cast<uint8_t>(grid.pointColour >> 8);
    c.blue = static_cast<uint8_t>(grid.pointColour);
    return true;
}

int packSlotAt(const AnalyzerModel& model, int position) {
    const AnalyzerImage& a = model.image();
    const int listed = std::clamp(static_cast<int>(a.numberPackCount), 0, kNumberPackCapacity);
    if (position < 0 || position >= listed) {
        return -1;
    }
    const int slot = a.numberPackOrder[position];
    return model.numberPack(slot) ? slot : -1;
}

std::vector<std::string> packLines(const AnalyzerModel& model) {
    std::vector<std::string> lines;
    const int listed = std::clamp(static_cast<int>(model.image().numberPackCount), 0, kNumberPackCapacity);
    for (int position = 0; position < listed; ++position) {
        lines.push_back(packName(model, position));
    }
    return lines;
}

std::string packName(const AnalyzerModel& model, int position) {
    const NumberPack* pack = model.numberPack(packSlotAt(model, position));
    return pack ? text::cp949ToUtf8(fixedText(pack->name)) : std::string();
}

bool loadPack(NumberPackDraft& draft, const AnalyzerModel& model, int position) {
    const NumberPack* pack = model.numberPack(packSlotAt(model, position));
    if (!pack) {
        return false;
    }
    for (int i = 0; i < kSampleSlots; ++i) {
        const NumberSample& stored = pack->samples[i];
        const NumberSampleHeader header = sampleHeader(stored);
        SampleSlot& slot = draft.slots[static_cast<size_t>(i)];
        slot = {};
        // A sample whose fields do not fit a grid is left out, as number
        // reading leaves it out.
        if (stored.set != 1 || header.width < 1 || header.width > kGridSide || header.height < 1 ||
            header.height > kGridSide || header.pointCount < 0 || header.pointCount > kNumberSamplePixels ||
            header.lineOffset < 0 || header.lineOffset >= kGridSide) {
            continue;
        }
        const NumberSamplePoint* points = samplePoints(stored);
        slot.set = true;
        slot.width = header.width;
        slot.height = header.height;
        slot.top = header.lineOffset;
        for (int p = 0; p < header.pointCount; ++p) {
            if (points[p].column >= 0 && points[p].column < header.width && points[p].row >= 0 &&
                points[p].row < header.height) {
                slot.points.push_back(points[p]);
            }
        }
    }
    return true;
}

void writeSamples(const NumberPackDraft& draft, NumberPack& pack) {
    int lineTop = kGridSide;
    for (const SampleSlot& s : draft.slots) {
        if (s.set) lineTop = std::min(lineTop, s.top);
    }
    for (int i = 0; i < kNumberPackSamples; ++i) {
        NumberSample& stored = pack.samples[i];
        std::memset(&stored, 0, sizeof(NumberSample::set) + sizeof(NumberSample::header));
        const SampleSlot* s = i < kSampleSlots ? &draft.slots[static_cast<size_t>(i)] : nullptr;
        if (!s || !s->set) {
            continue;
        }
        const int count = std::min(static_cast<int>(s->points.size()), kNumberSamplePixels);
        stored.set = 1;
        setSampleHeader(stored, {s->width, s->height, count, s->top - lineTop});
        std::copy_n(s->points.begin(), count, samplePoints(stored));
    }
}

bool storeChangedPack(AnalyzerModel& model, int position, const NumberPackDraft& draft, const std::string& name) {
    NumberPack* pack = model.numberPack(packSlotAt(model, position));
    if (!pack || !draft.anySet()) {
        return false;
    }
    const std::string chosen =
        name.empty() ? formatText(kChangedPackName, static_cast<int>(model.image().nextNumberPackNumber++)) : name;
    storeFixedText(pack->name, std::min(sizeof pack->name, kObjectNameLimit + 1), text::utf8ToCp949(chosen));
    writeSamples(draft, *pack);
    return true;
}

int storeNewPack(AnalyzerModel& model, const NumberPackDraft& draft, const std::string& name, UserDialogs& dialogs) {
    if (model.image().numberPackCount >= kNumberPackCapacity) {
        dialogs.warn(formatText(kTooManyPacks, kNumberPackCapacity));
        return -1;
    }
    if (!draft.anySet()) {
        return -1;
    }
    int slot = -1;
    const Status added = model.addNumberPack(name, slot);
    if (!added.ok) {
        dialogs.warn(added.message.empty() ? formatText(kTooManyPacks, kNumberPackCapacity) : kPackAllocationFailed);
        return -1;
    }
    writeSamples(draft, *model.numberPack(slot));
    return model.image().numberPackCount - 1;
}

std::optional<int> deletePack(AnalyzerModel& model, int position, const Item* workingCopy, UserDialogs& dialogs) {
    if (packSlotAt(model, position) < 0 || !deleteNumberPackAt(model, position, workingCopy, dialogs)) {
        return std::nullopt;
    }
    const int left = model.image().numberPackCount;
    return left == 0 ? -1 : std::clamp(position - 1, 0, left - 1);
}

} // namespace quillon::editor
