#include "reference_writer.h"

#include <algorithm>

namespace quillon::analyzer::reference {

void SparseBytes::put32(uint64_t offset, int64_t value) {
    auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes_[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

void SparseBytes::putText(uint64_t offset, const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        bytes_[offset + i] = static_cast<uint8_t>(text[i]);
    }
    bytes_[offset + text.size()] = 0;
}

void SparseBytes::putBytes(uint64_t offset, const std::vector<uint8_t>& data) {
    for (size_t i = 0; i < data.size(); ++i) {
        bytes_[offset + i] = data[i];
    }
}

std::vector<uint8_t> SparseBytes::slice(uint64_t begin, uint64_t length) const {
    std::vector<uint8_t> out(length, 0);
    for (auto it = bytes_.lower_bound(begin); it != bytes_.end() && it->first < begin + length; ++it) {
        out[it->first - begin] = it->second;
    }
    return out;
}

bool SparseBytes::anyWritten(uint64_t begin, uint64_t length) const {
    auto it = bytes_.lower_bound(begin);
    return it != bytes_.end() && it->first < begin + length;
}

namespace {

// A compressed chunk body whose only references repeat the previous byte
// when it starts a run of zeros: literals elsewhere.
std::vector<uint8_t> encodeZeroRuns(const std::vector<uint8_t>& chunk) {
    std::vector<uint8_t> body;
    size_t flagAt = 0;
    int tokens = 8;
    size_t p = 0;
    while (p < chunk.size()) {
        if (tokens == 8) {
            flagAt = body.size();
            body.push_back(0);
            tokens = 0;
        }
        size_t run = 0;
        while (p > 0 && chunk[p - 1] == 0 && p + run < chunk.size() && chunk[p + run] == 0) {
            ++run;
        }
        int lengthBits = 12;
        for (size_t i = p - (p > 0 ? 1 : 0); i >= 0x10; i >>= 1) {
            --lengthBits;
        }
        size_t longest = (size_t{1} << lengthBits) - 1 + 3;
        if (run >= 3) {
            size_t length = std::min(run, longest);
            uint16_t token = static_cast<uint16_t>(length - 3); // displacement 1: top bits 0
            body[flagAt] = static_cast<uint8_t>(body[flagAt] | (1u << tokens));
            body.push_back(static_cast<uint8_t>(token));
            body.push_back(static_cast<uint8_t>(token >> 8));
            p += length;
        } else {
            body.push_back(chunk[p]);
            ++p;
        }
        ++tokens;
    }
    return body;
}

} // namespace

std::vector<uint8_t> lznt1Encode(const SparseBytes& data) {
    std::vector<uint8_t> out;
    auto header = [&](uint16_t h) {
        out.push_back(static_cast<uint8_t>(h));
        out.push_back(static_cast<uint8_t>(h >> 8));
    };
    for (uint64_t begin = 0; begin < data.size(); begin += 4096) {
        uint64_t n = std::min<uint64_t>(4096, data.size() - begin);
        std::vector<uint8_t> chunk = data.anyWritten(begin, n) ? data.slice(begin, n) : std::vector<uint8_t>();
        bool zero = std::all_of(chunk.begin(), chunk.end(), [](uint8_t b) { return b == 0; });
        if (zero && n >= 4) {
            // Flags 0b10: a literal 0, then a reference one byte back for the
            // remaining n - 1 bytes (12-bit length field at position 1).
            header(static_cast<uint16_t>(0x8000 | 0x3000 | (4 - 1)));
            uint16_t token = static_cast<uint16_t>(n - 1 - 3);
            out.insert(out.end(), {0x02, 0x00, static_cast<uint8_t>(token), static_cast<uint8_t>(token >> 8)});
        } else {
            chunk.resize(n, 0);
            std::vector<uint8_t> body = encodeZeroRuns(chunk);
            if (body.size() < n) {
                header(static_cast<uint16_t>(0x8000 | 0x3000 | (body.size() - 1)));
                out.insert(out.end(), body.begin(), body.end());
            } else {
                header(static_cast<uint16_t>(0x3000 | (n - 1)));
                out.insert(out.end(), chunk.begin(), chunk.end());
            }
        }
    }
    return out;
}

std::vector<uint8_t> block(const SparseBytes& data) {
    std::vector<uint8_t> encoded = data.size() ? lznt1Encode(data) : std::vector<uint8_t>{};
    auto n = static_cast<uint32_t>(encoded.size());
    std::vector<uint8_t> out(4 + encoded.size());
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(n >> (8 * i));
    }
    std::copy(encoded.begin(), encoded.end(), out.begin() + 4);
    return out;
}

std::vector<uint8_t> block(const std::vector<uint8_t>& data) {
    SparseBytes sparse(data.size());
    sparse.putBytes(0, data);
    return block(sparse);
}

Analyzer::Analyzer() {
    record.put32(at::kActiveVariables, 50);
    record.put32(at::kNextImageNumber, 1);
    record.put32(at::kFormatMarker, 30);
    record.put32(at::kScreenWidth, 1280);
    record.put32(at::kScreenHeight, 800);
}

void Analyzer::addScreenshot(Screenshot shot) {
    uint64_t base = at::kScreenshots + at::kScreenshotSize * static_cast<uint64_t>(shot.slot);
    record.put32(base + 0, 1);
    record.put32(base + 4, shot.erased ? 1 : 0);
    record.put32(base + 16, shot.erased ? 0 : static_cast<int64_t>(shot.bmp.size()));
    record.putText(base + 28, shot.name);
    auto count = static_cast<uint64_t>(std::count_if(screenshots.begin(), screenshots.end(), [](auto&) { return true; }));
    record.put32(at::kScreenshotOrder + 4 * count, shot.slot);
    record.put32(at::kScreenshotCount, static_cast<int64_t>(count + 1));
    screenshots.push_back(std::move(shot));
}

void Analyzer::addSound(Sound sound) {
    uint64_t base = at::kSounds + 132 * sounds.size();
    record.put32(base + 4, static_cast<int64_t>(sound.wav.size()));
    record.putText(base + 8, sound.name);
    sounds.push_back(std::move(sound));
    record.put32(at::kSoundCount, static_cast<int64_t>(sounds.size()));
}

void Analyzer::addRecognitionImage(int slot, int screenshotSlot, int cx, int cy, int width, int height,
                                   const std::string& name) {
    SparseBytes b(kRecognitionImageSize);
    b.put32(0, 1);
    b.put32(16, cx);
    b.put32(20, cy);
    b.put32(24, width);
    b.put32(28, height);
    b.put32(32, cx - width / 2);
    b.put32(36, cy - height / 2);
    b.put32(40, cx + width / 2);
    b.put32(44, cy + height / 2);
    b.put32(48, screenshotSlot);
    b.putText(88, name);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.put32(228 + static_cast<uint64_t>(y) * 804 + static_cast<uint64_t>(x) * 4, 0x00102030 + x + y);
        }
    }
    record.put32(at::kImageOrder + 4 * recognitionImages.size(), slot);
    recognitionImages.emplace_back(slot, std::move(b));
    record.put32(at::kImageCount, static_cast<int64_t>(recognitionImages.size()));
}

void Analyzer::addNumberPack(int slot, const std::string& name) {
    SparseBytes b(kNumberPackSize);
    b.put32(0, 1);
    b.putText(80, name);
    b.put32(144, 1); // first sample set
    b.put32(144 + 20, 7);
    record.put32(at::kPackOrder + 4 * numberPacks.size(), slot);
    numberPacks.emplace_back(slot, std::move(b));
    record.put32(at::kPackCount, static_cast<int64_t>(numberPacks.size()));
}

void Analyzer::setItemCount(int count) { record.put32(at::kItemCount, count); }

void Analyzer::putItem(int position, int id, const std::string& name) {
    uint64_t base = at::kItems + at::kItemSize * static_cast<uint64_t>(position);
    record.put32(base + at::kItemId, id);
    record.putText(base + at::kItemName, name);
}

void Analyzer::putCondition(int position, int index, std::vector<std::pair<uint64_t, int64_t>> body) {
    uint64_t item = at::kItems + at::kItemSize * static_cast<uint64_t>(position);
    uint64_t slot = item + at::kConditions + 92 * static_cast<uint64_t>(index);
    record.put32(slot, 1);
    for (auto [offset, value] : body) {
        record.put32(slot + 8 + offset, value);
    }
    record.put32(item + at::kConditionCount, index + 1);
}

void Analyzer::putCommand(int position, int index, std::vector<std::pair<uint64_t, int64_t>> body) {
    uint64_t item = at::kItems + at::kItemSize * static_cast<uint64_t>(position);
    uint64_t slot = item + at::kCommands + 172 * static_cast<uint64_t>(index);
    record.put32(slot, 1);
    for (auto [offset, value] : body) {
        record.put32(slot + 8 + offset, value);
    }
    record.put32(item + at::kCommandCount, index + 1);
}

std::vector<uint8_t> Analyzer::bytes() const {
    std::vector<uint8_t> out = block(record);
    auto append = [&](const std::vector<uint8_t>& b) { out.insert(out.end(), b.begin(), b.end()); };
    std::vector<const Screenshot*> bySlot;
    for (const auto& s : screenshots) {
        bySlot.push_back(&s);
    }
    std::sort(bySlot.begin(), bySlot.end(), [](auto* x, auto* y) { return x->slot < y->slot; });
    for (const Screenshot* s : bySlot) {
        if (!s->erased && !s->bmp.empty()) {
            append(block(s->bmp));
        }
    }
    append(block(sentences));
    append(macroSection);
    for (const auto& s : sounds) {
        append(block(s.wav));
    }
    for (const auto& [slot, b] : recognitionImages) {
        append(block(b));
    }
    for (const auto& [slot, b] : numberPacks) {
        append(block(b));
    }
    return out;
}

std::vector<uint8_t> smallBmp(int width, int height, uint8_t seed) {
    uint32_t pixels = static_cast<uint32_t>(width * height * 4);
    std::vector<uint8_t> out(54 + pixels, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = 32;
    put32(34, pixels);
    for (uint32_t i = 0; i < pixels; ++i) {
        out[54 + i] = static_cast<uint8_t>(seed + i * 7 + (i >> 5));
    }
    return out;
}

} // namespace quillon::analyzer::reference
