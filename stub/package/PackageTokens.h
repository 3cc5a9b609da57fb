// The per-build tokens of a package and the INFORM document that carries one.
//
// A stored token is the hexadecimal text of a byte sequence B1..Bm with every character shifted
// up by 50. B1 xor Bm is a key that B2..B(m-1) are xor-ed with; B(m-1) is the sum of all other
// bytes; after the xor, B2 and B3 give the lengths of the filler around the token's own bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The token in a stored text, or a random decimal text (0 to 99,998) when the text is malformed,
// so that two malformed tokens practically never compare equal.
std::string DescrambleToken(std::string_view text);
// The stored form of a token; the seed chooses the key and the filler, so a builder can write the
// same bytes again from the same inputs.
std::string ScrambleToken(std::string_view token, std::uint32_t seed);

struct InformDocument {
    std::string token;
    std::string body;
};
// "Scrambled=01" texts are unscrambled first; then the text before the first "|" is dropped, the
// next field holds the scrambled token, two more fields follow, and the body is everything after
// the fourth "|".
InformDocument SplitInformDocument(std::string_view text);
// An INFORM text that SplitInformDocument reads back as token and body; with scrambled set, in
// the "Scrambled=01" form (its key chosen by the seed).
std::string MakeInformDocument(std::string_view token, std::string_view body, bool scrambled, std::uint32_t seed);

// A seed for the functions above from the texts it protects, so equal inputs give equal output.
std::uint32_t SeedOf(std::string_view text);
