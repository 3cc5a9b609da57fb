// Any bytes as a stored token and as an INFORM document; and any bytes as a token to store, which
// must read back unchanged.
#include "PackageTokens.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    DescrambleToken(text);
    SplitInformDocument(text);
    const std::uint32_t seed = size > 0 ? data[0] * 16777619u : 0;
    if (DescrambleToken(ScrambleToken(text, seed)) != text)
        __builtin_trap();
    const InformDocument document = SplitInformDocument(MakeInformDocument(text, text, size % 2 == 1, seed));
    if (document.token != text || document.body != text)
        __builtin_trap();
    return 0;
}
