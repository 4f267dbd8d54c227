// The typing sentences of the sentence table.
#include <cstring>

#include "analyzer/limits.h"
#include "analyzer/model.h"
#include "analyzer/sentence_keys.h"
#include "base/text.h"

namespace quillon::analyzer {

Status AnalyzerModel::storeSentence(int index, std::string_view name, std::string_view utf8Text, int speed) {
    if (index < 0 || index >= kSentenceCapacity) {
        return Status::failure(message::kSentenceTableFull);
    }
    std::string cp949 = text::utf8ToCp949(utf8Text);
    if (cp949.size() >= static_cast<size_t>(kSentenceTextBytes)) {
        return Status::failure(message::kSentenceTooLong);
    }
    std::vector<uint8_t> codes = sentenceKeyCodes(cp949);
    if (codes.size() > static_cast<size_t>(kSentenceMaxKeyCodes)) {
        return Status::failure(message::kSentenceTooLong);
    }
    if (speed <= 0) {
        speed = 500;
    }
    TypingSentence& s = sentences_->sentences[index];
    int32_t inUse = s.inUse;
    std::memset(&s, 0, sizeof s);
    s.inUse = inUse;
    s.speed = speed;
    s.keyDownMs = (60000 / speed) / 2;
    s.keyUpMs = 60000 / speed - s.keyDownMs;
    s.keyCount = static_cast<int32_t>(codes.size());
    std::memcpy(s.keyCodes, codes.data(), codes.size());
    storeFixedText(s.name, text::utf8ToCp949(name));
    storeFixedText(s.text, cp949);
    return Status::success();
}

int AnalyzerModel::firstFreeSentence() const {
    for (int i = 0; i < kSentenceCapacity; ++i) {
        const TypingSentence& s = sentences_->sentences[i];
        if (s.name[0] == 0 && s.text[0] == 0 && s.keyCount == 0) {
            return i;
        }
    }
    return -1;
}

} // namespace quillon::analyzer
