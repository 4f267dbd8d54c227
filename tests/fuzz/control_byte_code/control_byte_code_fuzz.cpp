// The reverse readers on arbitrary machine code: the first byte chooses the
// edit or the combination reader, the rest is the code. Whatever lines come
// out must compile without fault, and code compiled from them must read back
// completely into as many lines.
#include <cstdint>
#include <cstdlib>

#include "control/macro_compiler.h"
#include "control/macro_decoder.h"

using namespace quillon::control;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static ZeroedPtr<MacroDocument> document = newMacroDocument();
    static ZeroedPtr<TextStore> store = newTextStore();
    static ZeroedPtr<MacroDocument> again = newMacroDocument();
    static ZeroedPtr<TextStore> againStore = newTextStore();
    const bool combination = data[0] & 1;
    auto decode = combination ? decodeCombinationMacro : decodeEditMacro;
    auto compile = combination ? compileCombinationMacro : compileEditMacro;
    DecodeResult first = decode(data + 1, size - 1, *document, *store, nullptr);
    if (first.lines > kMaxLines) std::abort();
    CompileResult code = compile(*document, *store);
    if (code.ok()) {
        DecodeResult second = decode(code->code.data(), code->code.size(), *again, *againStore, nullptr);
        if (!second.reachedEnd || second.lines != first.lines) std::abort();
    }
    return 0;
}
