// quillon analyzer report TRACE.jsonl [--screens DIR] -o PAGE.html: the run
// trace as one self-contained page (no network, no other file): a row per
// evaluated item with its screenshot scaled down and a box where each
// condition looked or matched, the similarities, the actions and the next
// item, filterable by item. Each distinct screenshot is encoded once, as a
// CSS class holding a data: address that every row showing it refers to.
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analyzer/file_stream.h"
#include "base/file.h"
#include "base/path.h"
#include "screenshots/screenshot_files.h"
#include "tools/quillon/commands.h"
#include "tools/quillon/report_json.h"
#include "tools/quillon/report_png.h"

namespace quillon::cli {
namespace {

constexpr int kThumbnail = 480;  // the largest side of a picture on the page
constexpr size_t kLongTrace = 2000; // beyond this many lines the page says how to find one's way
constexpr int64_t kCoordinate = 1 << 20;

// Lines of a file read a block at a time; the last line may lack its "\n".
class LineReader {
public:
    bool open(const std::string& path) { return source_.open(path); }
    std::optional<std::string> next() {
        for (;;) {
            size_t end = buffer_.find('\n', at_);
            if (end != std::string::npos) {
                std::string line = buffer_.substr(at_, end - at_);
                at_ = end + 1;
                return trimmed(std::move(line));
            }
            buffer_.erase(0, at_);
            at_ = 0;
            size_t block = static_cast<size_t>(std::min<uint64_t>(1 << 16, source_.bytesLeft()));
            if (block == 0) {
                if (buffer_.empty()) return std::nullopt;
                return trimmed(std::move(buffer_));
            }
            size_t old = buffer_.size();
            buffer_.resize(old + block);
            if (!source_.read(buffer_.data() + old, block)) {
                buffer_.resize(old);
            }
        }
    }

private:
    static std::string trimmed(std::string line) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }
    analyzer::FileSource source_;
    std::string buffer_;
    size_t at_ = 0;
};

std::string html(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string percent(double part, double whole) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f%%", whole > 0 ? part * 100.0 / whole : 0.0);
    return buffer;
}

std::string kindName(const std::string& kind) {
    static const std::map<std::string, std::string> names = {
        {"variable", "변수"},         {"timer", "타이머"},         {"date-time", "년월일시분초"},
        {"state", "매크로 상태"},     {"image", "이미지"},         {"range-search", "범위검색"},
        {"cursor", "커서"},           {"key", "키눌림"},           {"remote", "원격 제어"},
        {"no-item-delay", "항목 없음 지연"}, {"unknown", "알 수 없는 조건"}};
    auto it = names.find(kind);
    return it == names.end() ? kind : it->second;
}

// A name inside the screenshot folder: no absolute path, no way out of it.
bool insideFolder(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':')) return false;
    size_t start = 0;
    for (;;) {
        size_t end = name.find_first_of("/\\", start);
        if (name.substr(start, end == std::string::npos ? std::string::npos : end - start) == "..") return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

struct Picture {
    int index = -1;     // CSS class "s<index>" when the file was read
    int width = 0;      // the screenshot's own size (the boxes' coordinates)
    int height = 0;
    std::string problem; // why there is no picture
};

Picture loadPicture(const std::string& folder, const std::string& name, int index, std::string& css) {
    Picture picture;
    if (!insideFolder(name)) {
        picture.problem = "스크린샷 폴더 밖을 가리키는 이름";
        return picture;
    }
    if (folder.empty()) {
        picture.problem = "스크린샷 폴더가 주어지지 않음";
        return picture;
    }
    auto bytes = readFile(joinPath(folder, name));
    if (!bytes) {
        picture.problem = "파일 없음";
        return picture;
    }
    BitmapFileView view;
    BitmapStatus status = readBitmapFile(bytes->data(), bytes->size(), view);
    if (status != BitmapStatus::Ok) {
        picture.problem = status == BitmapStatus::Unsupported ? "지원하지 않는 비트맵" : "손상된 비트맵";
        return picture;
    }
    RgbImage thumbnail = scaledDown(view.width, view.height, kThumbnail,
                                    [&view](int x, int y) { return bitmapPixel(view, x, y); });
    picture.index = index;
    picture.width = view.width;
    picture.height = view.height;
    css += ".s" + std::to_string(index) + "{background-image:url(data:image/png;base64," +
           base64(encodePng(thumbnail)) + ")}\n";
    return picture;
}

struct TraceHead {
    std::string analyzer;
    std::string screens; // "" in a real run
    bool realRun = false;
    int width = 0, height = 0;
};

// What the first pass learns: enough to write the page's head before its rows.
struct TraceSurvey {
    size_t lines = 0, held = 0, notHeld = 0, unreadable = 0, actions = 0;
    bool truncated = false;
    std::vector<std::string> items; // in order of first appearance
    std::vector<std::string> screens;
};

std::optional<TraceHead> readHead(const std::string& line) {
    auto v = parseJson(line);
    if (!v || !v->isObject() || textField(*v, "trace") != "quillon-run") return std::nullopt;
    auto version = intField(*v, "version", 0, 1 << 30);
    auto width = intField(*v, "screen_width", 1, kLargestBitmapSide);
    auto height = intField(*v, "screen_height", 1, kLargestBitmapSide);
    if (version != 1 || !width || !height) return std::nullopt;
    TraceHead head;
    head.analyzer = textField(*v, "analyzer");
    const JsonValue* screens = v->field("screens");
    head.realRun = !screens || screens->type == JsonValue::Type::Null;
    head.screens = textField(*v, "screens");
    head.width = static_cast<int>(*width);
    head.height = static_cast<int>(*height);
    return head;
}

class Page {
public:
    explicit Page(analyzer::AtomicFileSink& sink) : sink_(sink) {}
    Page& operator<<(const std::string& text) {
        buffer_ += text;
        if (buffer_.size() > (1 << 20)) flush();
        return *this;
    }
    bool flush() {
        ok_ = ok_ && sink_.write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok_;
    }

private:
    analyzer::AtomicFileSink& sink_;
    std::string buffer_;
    bool ok_ = true;
};

const char* kStyle = R"(body{font-family:"Malgun Gothic","NanumGothic",sans-serif;margin:16px;color:#222;background:#fafafa}
h1{font-size:20px;margin:0 0 8px}
.summary,.notice{margin:4px 0}
.notice{color:#a05000;font-weight:bold}
.filter{position:sticky;top:0;background:#fafafa;padding:8px 0;border-bottom:1px solid #ccc;z-index:10}
.row{display:flex;gap:16px;padding:10px 0;border-bottom:1px solid #ddd;content-visibility:auto;contain-intrinsic-size:auto 300px}
.row[hidden]{display:none}
.shot{position:relative;flex:none;overflow:hidden;border:1px solid #888;background:#e8e8e8}
.pic{position:absolute;inset:0;background-size:100% 100%}
.frame{position:absolute;inset:0;display:flex;align-items:center;justify-content:center;color:#777;font-size:12px;text-align:center}
.box,.area{position:absolute;box-sizing:border-box;min-width:5px;min-height:5px}
.box{border:2px solid}
.box.held{border-color:#10a030}
.box.not-held{border-color:#e02020}
.box span{position:absolute;left:0;top:-15px;font-size:11px;color:#fff;padding:0 3px;line-height:14px}
.box span.below{top:100%}
.box.held span{background:#10a030}
.box.not-held span{background:#e02020}
.area{border:1px dashed #2060e0}
.info{flex:1;min-width:0}
.verdict{font-weight:bold;padding:0 6px;border-radius:3px;color:#fff}
.verdict.held{background:#10a030}
.verdict.not-held{background:#e02020}
.conds{border-collapse:collapse;margin:6px 0}
.conds td,.conds th{border:1px solid #ccc;padding:2px 6px;font-size:13px;text-align:left}
td.held{color:#10a030;font-weight:bold}
td.not-held{color:#e02020;font-weight:bold}
.missing{color:#e02020}
.note{color:#a05000;font-weight:bold}
.muted{color:#777}
)";

const char* kScript = R"(<script>
(function(){
var rows=document.querySelectorAll('.row'),item=document.getElementById('item-filter'),
held=document.getElementById('held-filter'),shown=document.getElementById('shown');
function apply(){var it=item.value,h=held.value,n=0;
for(var i=0;i<rows.length;i++){var r=rows[i],show=(it===''||r.dataset.item===it)&&(h===''||r.dataset.held===h);
r.hidden=!show;if(show)n++;}
shown.textContent=n;}
item.onchange=apply;held.onchange=apply;
var m=/^#item=(.*)$/.exec(location.hash);if(m){item.value=decodeURIComponent(m[1]);}
apply();
})();
</script>
)";

// One trace line as a row of the page; counts the boxes it draws.
std::string itemRow(const JsonValue& v, const TraceHead& head, const std::map<std::string, Picture>& pictures,
                    size_t& boxes) {
    std::string name = textField(v, "item");
    bool held = v.field("held") && v.field("held")->isTrue();
    const JsonValue* screenValue = v.field("screen");
    bool hasScreen = screenValue && screenValue->isString();
    const Picture* picture = nullptr;
    if (hasScreen) {
        auto it = pictures.find(screenValue->text);
        if (it != pictures.end()) picture = &it->second;
    }
    int width = picture && picture->index >= 0 ? picture->width : head.width;
    int height = picture && picture->index >= 0 ? picture->height : head.height;
    int side = std::max(width, height);
    int shownWidth = side > kThumbnail ? std::max(1, width * kThumbnail / side) : width;
    int shownHeight = side > kThumbnail ? std::max(1, height * kThumbnail / side) : height;

    std::string row = "<div class=\"row\" data-item=\"" + html(name) + "\" data-held=\"" + (held ? "1" : "0") + "\">";
    row += "<div class=\"shot\" style=\"width:" + std::to_string(shownWidth) + "px;height:" +
           std::to_string(shownHeight) + "px\">";
    if (picture && picture->index >= 0) {
        row += "<div class=\"pic s" + std::to_string(picture->index) + "\"></div>";
    } else if (hasScreen) {
        row += "<div class=\"frame missing\">" + html(screenValue->text) + "<br>" +
               html(picture ? picture->problem : "파일 없음") + "</div>";
    } else {
        row += "<div class=\"frame\">" + std::to_string(width) + " x " + std::to_string(height) + "<br>실제 화면</div>";
    }

    std::string table;
    const JsonValue* conditions = v.field("conditions");
    int number = 0;
    if (conditions && conditions->isArray()) {
        for (const JsonValue& c : conditions->items) {
            if (!c.isObject()) continue;
            ++number;
            bool cHeld = c.field("held") && c.field("held")->isTrue();
            const char* cls = cHeld ? "held" : "not-held";
            std::string kind = kindName(textField(c, "kind"));
            auto similarity = intField(c, "similarity", -1000, 1000);
            std::string similarityText = similarity ? std::to_string(*similarity) + "%" : "-";
            auto x = intField(c, "x", -kCoordinate, kCoordinate);
            auto y = intField(c, "y", -kCoordinate, kCoordinate);
            auto rect = [&](const char* field) -> std::optional<std::array<int64_t, 4>> {
                const JsonValue* r = c.field(field);
                if (!r || !r->isArray() || r->items.size() != 4) return std::nullopt;
                std::array<int64_t, 4> out{};
                for (int i = 0; i < 4; ++i) {
                    const JsonValue& e = r->items[i];
                    if (!e.isNumber() || e.number < -kCoordinate || e.number > kCoordinate) return std::nullopt;
                    out[i] = static_cast<int64_t>(e.number);
                }
                if (out[2] < 0 || out[3] < 0) return std::nullopt;
                return out;
            };
            auto place = [&](const std::array<int64_t, 4>& r) {
                return "left:" + percent(static_cast<double>(r[0]), width) + ";top:" +
                       percent(static_cast<double>(r[1]), height) + ";width:" +
                       percent(static_cast<double>(r[2]), width) + ";height:" + percent(static_cast<double>(r[3]), height);
            };
            if (auto area = rect("area")) {
                row += "<div class=\"area\" style=\"" + place(*area) + "\" title=\"" + html(kind) + " 검색 범위\"></div>";
            }
            std::string where = "-";
            if (x && y) {
                std::array<int64_t, 4> box = {*x, *y, 1, 1};
                if (auto b = rect("box")) box = *b;
                // The number sits above the box, or below it when the box touches the picture's top.
                bool atTop = box[1] * shownHeight < 16LL * height;
                row += "<div class=\"box " + std::string(cls) + "\" style=\"" + place(box) + "\" title=\"" +
                       std::to_string(number) + ". " + html(kind) + " " + (cHeld ? "성립" : "불성립") + " " +
                       similarityText + "\"><span" + (atTop ? " class=\"below\"" : "") + ">" +
                       std::to_string(number) + "</span></div>";
                ++boxes;
                where = "(" + std::to_string(*x) + ", " + std::to_string(*y) + ")";
            }
            table += "<tr><td>" + std::to_string(number) + "</td><td>" + html(kind) + "</td><td class=\"" + cls +
                     "\">" + (cHeld ? "성립" : "불성립") + "</td><td>" + similarityText + "</td><td>" + where +
                     "</td></tr>";
        }
    }
    row += "</div><div class=\"info\"><div><b>" + html(name.empty() ? "(이름 없음)" : name) + "</b>";
    if (auto position = intField(v, "position", 0, 1 << 30)) row += " <span class=\"muted\">칸 " + std::to_string(*position) + "</span>";
    row += std::string(" <span class=\"verdict ") + (held ? "held\">성립" : "not-held\">불성립") + "</span>";
    row += " <span class=\"muted\">" + html(textField(v, "t_ms")) + " ms</span></div>";
    if (hasScreen) {
        row += "<div>화면: " + html(screenValue->text);
        if (!picture || picture->index < 0) row += " <span class=\"missing\">(" + html(picture ? picture->problem : "파일 없음") + ")</span>";
        row += "</div>";
    }
    if (table.empty()) {
        row += "<div class=\"muted\">조건 없음</div>";
    } else {
        row += "<table class=\"conds\"><tr><th>#</th><th>조건</th><th>결과</th><th>유사도</th><th>위치</th></tr>" +
               table + "</table>";
    }
    std::string actions;
    if (const JsonValue* a = v.field("actions"); a && a->isArray()) {
        for (const JsonValue& e : a->items) {
            if (!e.isString()) continue;
            actions += (actions.empty() ? "" : ", ") + std::string("<code>") + html(e.text) + "</code>";
        }
    }
    row += "<div>동작: " + (actions.empty() ? std::string("<span class=\"muted\">없음</span>") : actions) + "</div>";
    row += "<div>다음 항목: " + html(textField(v, "next")) + "</div></div></div>\n";
    return row;
}

int usage() {
    std::fprintf(stderr, "usage: quillon analyzer report TRACE.jsonl [--screens DIR] -o PAGE.html\n");
    return 2;
}

} // namespace

int reportCommand(const Args& args) {
    std::string tracePath, folder, outPath;
    for (size_t i = 1; i < args.size(); ++i) {
        if ((args[i] == "--screens" || args[i] == "-o" || args[i] == "--output") && i + 1 < args.size()) {
            (args[i] == "--screens" ? folder : outPath) = args[i + 1];
            ++i;
        } else if (tracePath.empty() && !args[i].empty() && args[i][0] != '-') {
            tracePath = args[i];
        } else {
            return usage();
        }
    }
    if (tracePath.empty() || outPath.empty()) return usage();

    // First pass: the head, and what the page's top needs (items, screens, counts).
    LineReader reader;
    if (!reader.open(tracePath)) {
        std::fprintf(stderr, "quillon analyzer report: %s: cannot be read\n", tracePath.c_str());
        return 2;
    }
    auto first = reader.next();
    std::optional<TraceHead> head = first ? readHead(*first) : std::nullopt;
    if (!head) {
        std::fprintf(stderr,
                     "quillon analyzer report: %s: not a run trace (the first line must be "
                     "{\"trace\":\"quillon-run\",\"version\":1,...} with the screen's size)\n",
                     tracePath.c_str());
        return 2;
    }
    TraceSurvey survey;
    std::set<std::string> seenItems, seenScreens;
    while (auto line = reader.next()) {
        if (line->empty()) continue;
        ++survey.lines;
        auto v = parseJson(*line);
        if (!v || !v->isObject()) {
            ++survey.unreadable;
            continue;
        }
        if (v->field("truncated") && v->field("truncated")->isTrue()) {
            survey.truncated = true;
            continue;
        }
        std::string name = textField(*v, "item");
        if (seenItems.insert(name).second) survey.items.push_back(name);
        if (const JsonValue* s = v->field("screen"); s && s->isString() && seenScreens.insert(s->text).second) {
            survey.screens.push_back(s->text);
        }
        (v->field("held") && v->field("held")->isTrue() ? survey.held : survey.notHeld)++;
        if (const JsonValue* a = v->field("actions"); a && a->isArray()) survey.actions += a->items.size();
    }

    analyzer::AtomicFileSink sink;
    if (!sink.open(outPath)) {
        std::fprintf(stderr, "quillon analyzer report: %s: cannot be written\n", outPath.c_str());
        return 1;
    }
    Page page(sink);
    page << "<!DOCTYPE html>\n<html lang=\"ko\"><head><meta charset=\"utf-8\">\n<title>분석기 실행 기록 - " +
                html(head->analyzer) + "</title>\n<style>\n" + kStyle;
    std::map<std::string, Picture> pictures;
    size_t missing = 0;
    for (const std::string& name : survey.screens) {
        std::string css;
        Picture picture = loadPicture(folder, name, static_cast<int>(pictures.size()), css);
        missing += picture.index < 0;
        pictures[name] = picture;
        page << css;
    }
    page << std::string("</style></head>\n<body>\n<h1>분석기 실행 기록</h1>\n<p class=\"summary\">분석기: <b>") +
                html(head->analyzer) + "</b> · " +
                (head->realRun ? std::string("실제 실행") : "스크린샷 폴더: " + html(head->screens)) + " · 화면 " +
                std::to_string(head->width) + " x " + std::to_string(head->height) + " · 줄 " +
                std::to_string(survey.lines) + " · 성립 " + std::to_string(survey.held) + " · 불성립 " +
                std::to_string(survey.notHeld) + " · 동작 " + std::to_string(survey.actions) + "</p>\n";
    if (missing) {
        page << "<p class=\"notice\">읽지 못한 스크린샷 " + std::to_string(missing) + "개: 해당 줄에 이유를 적었습니다.</p>\n";
    }
    if (survey.unreadable) {
        page << "<p class=\"notice\">읽을 수 없는 줄 " + std::to_string(survey.unreadable) + "개: 그 자리에 표시했습니다.</p>\n";
    }
    if (survey.truncated) {
        page << std::string("<p class=\"notice\">기록이 크기 한도에서 멈췄습니다: 그 뒤의 실행은 기록되지 않았습니다.</p>\n");
    }
    if (survey.lines > kLongTrace) {
        page << "<p class=\"notice\">기록이 " + std::to_string(survey.lines) +
                    "줄로 깁니다. 모든 줄을 실었으니 항목이나 결과로 걸러 보십시오.</p>\n";
    }
    page << std::string("<div class=\"filter\"><label>항목 <select id=\"item-filter\"><option value=\"\">(전체)</option>");
    for (const std::string& item : survey.items) {
        page << "<option value=\"" + html(item) + "\">" + html(item.empty() ? "(이름 없음)" : item) + "</option>";
    }
    page << std::string("</select></label> <label>결과 <select id=\"held-filter\"><option value=\"\">(전체)</option>"
                        "<option value=\"1\">성립</option><option value=\"0\">불성립</option></select></label> "
                        "보이는 줄: <span id=\"shown\">") +
                std::to_string(survey.lines) + "</span></div>\n<div id=\"rows\">\n";

    // Second pass: the rows.
    LineReader rows;
    if (!rows.open(tracePath)) {
        std::fprintf(stderr, "quillon analyzer report: %s: cannot be read again\n", tracePath.c_str());
        return 2;
    }
    rows.next();
    size_t lineNumber = 1, boxes = 0;
    while (auto line = rows.next()) {
        ++lineNumber;
        if (line->empty()) continue;
        auto v = parseJson(*line);
        if (!v || !v->isObject()) {
            page << "<div class=\"row\" data-item=\"\" data-held=\"\"><p class=\"note\">" + std::to_string(lineNumber) +
                        "번째 줄: 읽을 수 없는 줄</p></div>\n";
        } else if (v->field("truncated") && v->field("truncated")->isTrue()) {
            page << "<div class=\"row\" data-item=\"\" data-held=\"\"><p class=\"note\">" + html(textField(*v, "t_ms")) +
                        " ms: 기록이 크기 한도에서 멈췄습니다.</p></div>\n";
        } else {
            page << itemRow(*v, *head, pictures, boxes);
        }
    }
    page << std::string("</div>\n") + kScript + "</body></html>\n";
    if (!page.flush() || !sink.commit()) {
        std::fprintf(stderr, "quillon analyzer report: %s: cannot be written\n", outPath.c_str());
        return 1;
    }
    std::printf("%s: %zu lines, %zu boxes, %zu screenshots (%zu not read)\n", outPath.c_str(), survey.lines, boxes,
                survey.screens.size(), missing);
    if (survey.unreadable) {
        std::fprintf(stderr, "quillon analyzer report: %s: %zu lines could not be read\n", tracePath.c_str(),
                     survey.unreadable);
    }
    return 0;
}

const char* reportHelp() {
    return "  analyzer report TRACE.jsonl [--screens DIR] -o PAGE.html\n"
           "                        a run trace as one self-contained HTML page: each item's\n"
           "                        screenshot with where its conditions looked, filterable by item\n";
}

} // namespace quillon::cli
