#include "analyzer/model_json.h"

#include <cstdio>

#include "analyzer/model_text.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

class Json {
public:
    std::string out;

    void open(char bracket) {
        comma();
        out += bracket;
        first_ = true;
    }
    void close(char bracket) {
        out += bracket;
        first_ = false;
    }
    void key(const char* name) {
        comma();
        string(name);
        out += ':';
        first_ = true;
    }
    void value(int64_t v) {
        comma();
        out += std::to_string(v);
    }
    void text(std::string_view utf8) {
        comma();
        string(utf8);
    }
    void fixed(const char* field, size_t size) { text(text::cp949ToUtf8(fixedText(field, size))); }
    template <size_t N>
    void fixed(const char (&field)[N]) {
        fixed(field, N);
    }
    void member(const char* name, int64_t v) {
        key(name);
        value(v);
    }
    void memberText(const char* name, std::string_view utf8) {
        key(name);
        text(utf8);
    }
    template <size_t N>
    void memberFixed(const char* name, const char (&field)[N]) {
        key(name);
        fixed(field, N);
    }
    // Size, non-zero bytes and FNV-1a of a run of pixel bytes.
    void summary(const char* name, const uint8_t* data, size_t size) {
        uint64_t hash = 1469598103934665603ull;
        size_t nonZero = 0;
        for (size_t i = 0; i < size; ++i) {
            hash = (hash ^ data[i]) * 1099511628211ull;
            nonZero += data[i] != 0;
        }
        char hex[24];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
        key(name);
        open('{');
        member("bytes", static_cast<int64_t>(size));
        member("nonZero", static_cast<int64_t>(nonZero));
        memberText("fnv1a", hex);
        close('}');
    }

private:
    void comma() {
        if (!first_) {
            out += ',';
        }
        first_ = false;
    }
    void string(std::string_view s) {
        out += '"';
        for (unsigned char c : s) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20) {
                char b[8];
                std::snprintf(b, sizeof b, "\\u%04x", c);
                out += b;
            } else {
                out += static_cast<char>(c);
            }
        }
        out += '"';
    }
    bool first_ = true;
};

void order(Json& j, const char* name, const int32_t* entries, int32_t count) {
    j.key(name);
    j.open('[');
    for (int32_t i = 0; i < count; ++i) {
        j.value(entries[i]);
    }
    j.close(']');
}

void fields(Json& j, const std::vector<FieldInfo>& infos, const uint8_t* body, size_t size) {
    j.key("fields");
    j.open('{');
    for (const FieldValue& v : fieldValues(infos, body, size)) {
        if (v.info->type == FieldType::Text) {
            j.memberText(v.info->name, v.text);
        } else {
            j.member(v.info->name, v.number);
        }
    }
    j.close('}');
}

void item(Json& j, const Item& it) {
    j.open('{');
    j.member("id", it.id);
    j.memberFixed("name", it.name);
    j.member("head", it.head);
    j.member("alwaysScan", it.alwaysScan);
    j.member("noItemDelay", it.noItemDelay);
    j.member("takeScreenshot", it.takeScreenshot);
    j.member("ignoreMode", it.ignoreMode);
    j.member("falseBranch", it.falseBranch);
    j.member("falseBranchTarget", it.falseBranchTarget);
    j.member("otherwiseBranch", it.otherwiseBranch);
    j.member("otherwiseBranchTarget", it.otherwiseBranchTarget);
    j.key("conditions");
    j.open('[');
    for (int i = 0; i < it.conditionCount && i < kConditionsPerItem; ++i) {
        const Condition& c = it.conditions[i];
        j.open('{');
        j.member("kind", c.kind());
        const char* name = conditionKindName(c.kind());
        j.memberText("kindName", name ? name : "");
        fields(j, conditionFields(c.kind()), c.body, sizeof c.body);
        j.close('}');
    }
    j.close(']');
    j.key("commands");
    j.open('[');
    for (int i = 0; i < it.commandCount && i < kCommandsPerItem; ++i) {
        const Command& c = it.commands[i];
        j.open('{');
        j.member("kind", c.kind());
        const char* name = commandKindName(c.kind());
        j.memberText("kindName", name ? name : "");
        fields(j, commandFields(c.kind()), c.body, sizeof c.body);
        j.close('}');
    }
    j.close(']');
    j.key("nextLinks");
    j.open('[');
    for (int i = 0; i < it.nextLinkCount && i < kNextLinksPerItem; ++i) {
        const NextLink& l = it.nextLinks[i];
        j.open('{');
        j.member("kind", l.kind);
        j.member("lowIsVariable", l.lowIsVariable);
        j.member("low", l.low);
        j.member("lowOperator", l.lowOperator);
        j.member("variable", l.variable);
        j.member("highOperator", l.highOperator);
        j.member("highIsVariable", l.highIsVariable);
        j.member("high", l.high);
        j.member("targetId", l.targetId);
        j.close('}');
    }
    j.close(']');
    j.close('}');
}

} // namespace

std::string modelToJson(const AnalyzerModel& model) {
    const AnalyzerImage& a = model.image();
    Json j;
    j.open('{');
    j.memberFixed("name", a.name);
    j.key("screen");
    j.open('{');
    j.member("width", a.screenshotWidth);
    j.member("height", a.screenshotHeight);
    j.member("bitsPerPixel", a.screenshotBitsPerPixel);
    j.member("windowNoFrame", a.captureWindowNoFrame);
    j.member("windowFramed", a.captureWindowFramed);
    j.member("fullScreen", a.captureFullScreen);
    j.member("legacyCapture", a.captureLegacy);
    j.close('}');
    j.member("formatMarker", a.formatMarker);
    j.key("macroMasks");
    j.open('{');
    j.member("recorded", a.recordedMacroMask);
    j.member("edit", a.editMacroMask);
    j.member("combination", a.combinationMacroMask);
    j.close('}');

    j.member("currentScreenshot", a.currentScreenshot);
    order(j, "screenshotOrder", a.screenshotOrder, std::min(a.screenshotCount, kScreenshotCapacity));
    j.key("screenshots");
    j.open('[');
    for (int s = 0; s < kScreenshotCapacity; ++s) {
        const ScreenshotEntry& e = a.screenshots[s];
        if (!e.used) {
            continue;
        }
        j.open('{');
        j.member("slot", s);
        j.member("erased", e.erased);
        j.member("recognitionImageCount", e.recognitionImageCount);
        j.member("fileSize", e.fileSize);
        j.member("cursorX", e.cursorX);
        j.member("cursorY", e.cursorY);
        j.memberFixed("name", e.name);
        j.memberFixed("label", e.label);
        j.memberFixed("path", e.path);
        j.close('}');
    }
    j.close(']');

    j.member("nextRecognitionImageNumber", a.nextRecognitionImageNumber);
    j.member("currentRecognitionImage", a.currentRecognitionImage);
    order(j, "recognitionImageOrder", a.recognitionImageOrder,
          std::min(a.recognitionImageCount, kRecognitionImageCapacity));
    j.key("recognitionImages");
    j.open('[');
    for (int s = 0; s < kRecognitionImageCapacity; ++s) {
        const RecognitionImage* r = model.recognitionImage(s);
        if (!r) {
            continue;
        }
        j.open('{');
        j.member("slot", s);
        j.memberFixed("name", r->name);
        j.member("pattern", r->pattern);
        j.member("centreX", r->centreX);
        j.member("centreY", r->centreY);
        j.member("width", r->width);
        j.member("height", r->height);
        j.member("left", r->left);
        j.member("top", r->top);
        j.member("right", r->right);
        j.member("bottom", r->bottom);
        j.member("screenshotSlot", r->screenshotSlot);
        j.member("inUse", r->inUse);
        j.member("background", r->background[0] | (r->background[1] << 8) | (r->background[2] << 16));
        j.summary("pixels", r->pixels, sizeof r->pixels);
        j.close('}');
    }
    j.close(']');

    j.member("nextNumberPackNumber", a.nextNumberPackNumber);
    j.member("currentNumberPack", a.currentNumberPack);
    order(j, "numberPackOrder", a.numberPackOrder, std::min(a.numberPackCount, kNumberPackCapacity));
    j.key("numberPacks");
    j.open('[');
    for (int s = 0; s < kNumberPackCapacity; ++s) {
        const NumberPack* p = model.numberPack(s);
        if (!p) {
            continue;
        }
        j.open('{');
        j.member("slot", s);
        j.memberFixed("name", p->name);
        j.key("samples");
        j.open('[');
        for (int k = 0; k < kNumberPackSamples; ++k) {
            const NumberSample& sample = p->samples[k];
            j.open('{');
            j.member("set", sample.set);
            j.summary("header", sample.header, sizeof sample.header);
            j.summary("pixels", reinterpret_cast<const uint8_t*>(sample.pixels), sizeof sample.pixels);
            j.close('}');
        }
        j.close(']');
        j.close('}');
    }
    j.close(']');

    j.member("nextAreaNumber", a.nextAreaNumber);
    j.member("currentArea", a.currentArea);
    j.member("areasHidden", a.areasHidden);
    order(j, "areaOrder", a.areaOrder, std::min(a.areaCount, kAreaCapacity));
    j.key("areas");
    j.open('[');
    for (int s = 0; s < kAreaCapacity; ++s) {
        const RecognitionArea& r = a.areas[s];
        if (!r.used) {
            continue;
        }
        j.open('{');
        j.member("slot", s);
        j.memberFixed("name", r.name);
        j.member("left", r.left);
        j.member("top", r.top);
        j.member("width", r.width);
        j.member("height", r.height);
        j.member("screenshotSlot", r.screenshotSlot);
        j.member("inUse", r.inUse);
        j.close('}');
    }
    j.close(']');

    j.member("fillPatchesInert", a.fillPatchesInert);
    j.key("fillPatches");
    j.open('[');
    for (int s = 0; s < kFillPatchCapacity; ++s) {
        const FillPatch& p = a.fillPatches[s];
        if (!p.used) {
            continue;
        }
        j.open('{');
        j.member("slot", s);
        j.member("left", p.left);
        j.member("top", p.top);
        j.member("width", p.width);
        j.member("height", p.height);
        j.member("screenshotSlot", p.screenshotSlot);
        j.member("colour", p.colour);
        j.close('}');
    }
    j.close(']');

    j.member("nextCursorNumber", a.nextCursorNumber);
    j.member("currentCursor", a.currentCursor);
    order(j, "cursorOrder", a.cursorOrder, std::min(a.cursorCount, kCursorCapacity));
    j.key("cursors");
    j.open('[');
    for (int s = 0; s < kCursorCapacity; ++s) {
        const CursorSample& c = a.cursors[s];
        if (!c.used) {
            continue;
        }
        j.open('{');
        j.member("slot", s);
        j.memberFixed("name", c.name);
        j.member("parts", c.parts);
        j.member("inUse", c.inUse);
        j.summary("mask", c.maskBits, sizeof c.maskBits);
        j.summary("colour", c.colourBits, sizeof c.colourBits);
        j.close('}');
    }
    j.close(']');

    j.member("activeVariableCount", a.activeVariableCount);
    j.key("variables");
    j.open('[');
    for (int v = 0; v < a.activeVariableCount && v < kVariableCapacity; ++v) {
        j.fixed(a.variables[v].name);
    }
    j.close(']');

    j.key("sounds");
    j.open('[');
    for (int s = 0; s < a.soundCount && s < kSoundCapacity; ++s) {
        j.open('{');
        j.memberFixed("fileName", a.sounds[s].fileName);
        j.member("fileSize", a.sounds[s].fileSize);
        j.close('}');
    }
    j.close(']');

    j.key("sentences");
    j.open('[');
    for (int s = 0; s < kSentenceCapacity; ++s) {
        const TypingSentence& t = model.sentenceTable().sentences[s];
        if (!t.name[0] && !t.text[0] && !t.keyCount) {
            continue;
        }
        j.open('{');
        j.member("index", s);
        j.memberFixed("name", t.name);
        j.memberFixed("text", t.text);
        j.member("inUse", t.inUse);
        j.member("speed", t.speed);
        j.member("keyDownMs", t.keyDownMs);
        j.member("keyUpMs", t.keyUpMs);
        j.key("keyCodes");
        j.open('[');
        for (int k = 0; k < t.keyCount && k < kSentenceMaxKeyCodes; ++k) {
            j.value(t.keyCodes[k]);
        }
        j.close(']');
        j.close('}');
    }
    j.close(']');

    j.member("nextItemId", a.nextItemId);
    j.member("currentItem", a.currentItem);
    j.key("items");
    j.open('[');
    for (int i = 0; i < a.itemCount && i < kItemCapacity; ++i) {
        item(j, a.items[i]);
    }
    j.close(']');
    j.close('}');
    j.out += '\n';
    return j.out;
}

} // namespace quillon::analyzer
