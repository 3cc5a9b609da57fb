#include "PackageTokens.h"

#include "Utils.h"

#include <vector>

namespace {

constexpr int TokenShift = 50;

std::vector<std::uint8_t> TokenBytes(std::string_view text)
{
    std::string hex(text);
    for (char& c : hex)
        c = static_cast<char>(static_cast<unsigned char>(c) - TokenShift);
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(HexToInt(std::string_view(hex).substr(i, 2)) & 0xFF));
    return bytes;
}

std::uint8_t SumExceptChecksum(const std::vector<std::uint8_t>& b)
{
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < b.size(); ++i)
        if (i != b.size() - 2)
            sum = static_cast<std::uint8_t>(sum + b[i]);
    return sum;
}

// Small deterministic generator for the key and filler bytes of a stored token.
class SeededBytes {
public:
    explicit SeededBytes(std::uint32_t seed) : state_(seed | 1) {}
    std::uint8_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<std::uint8_t>(state_ >> 8);
    }

private:
    std::uint32_t state_;
};

// The text between two "|" from position from, and the position behind its closing "|"; the
// rest is empty once a "|" is missing.
std::string_view NextField(std::string_view text, std::size_t& from)
{
    if (from == std::string_view::npos)
        return {};
    const std::size_t end = text.find('|', from);
    if (end == std::string_view::npos) {
        from = std::string_view::npos;
        return {};
    }
    const std::string_view field = text.substr(from, end - from);
    from = end + 1;
    return field;
}

} // namespace

std::string DescrambleToken(std::string_view text)
{
    const std::string random = RandomText(0, 99998);
    std::vector<std::uint8_t> b = TokenBytes(text);
    const std::size_t m = b.size();
    if (m <= 4 || SumExceptChecksum(b) != b[m - 2])
        return random;
    const std::uint8_t key = b[0] ^ b[m - 1];
    for (std::size_t j = 1; j + 1 < m; ++j)
        b[j] ^= key;
    const std::int64_t a = b[1], count = static_cast<std::int64_t>(m) - b[1] - b[2] - 4;
    const std::size_t start = static_cast<std::size_t>(a + 3);
    if (start >= m || count <= 0)
        return {};
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(start), b.begin() + static_cast<std::ptrdiff_t>(start + count));
}

std::string ScrambleToken(std::string_view token, std::uint32_t seed)
{
    SeededBytes random(seed);
    const std::uint8_t before = 1 + random.Next() % 8, after = 1 + random.Next() % 8;
    // Key, the two filler lengths, filler, the token, filler, the checksum place, key partner.
    std::vector<std::uint8_t> b{random.Next(), before, after};
    for (int i = 0; i < before; ++i)
        b.push_back(random.Next());
    b.insert(b.end(), token.begin(), token.end());
    for (int i = 1; i < after; ++i)
        b.push_back(random.Next());
    b.push_back(0);
    b.push_back(random.Next());
    const std::uint8_t key = b.front() ^ b.back();
    for (std::size_t j = 1; j + 1 < b.size(); ++j)
        b[j] ^= key;
    b[b.size() - 2] = SumExceptChecksum(b);
    std::string text = HexDump(std::string(b.begin(), b.end()), false, false);
    for (char& c : text)
        c = static_cast<char>(c + TokenShift);
    return text;
}

InformDocument SplitInformDocument(std::string_view text)
{
    const std::string plain = ScrambleText(text, false, false);
    const std::string_view view = plain;
    std::size_t from = view.find('|');
    if (from != std::string_view::npos)
        ++from;
    const std::string_view token = NextField(view, from);
    NextField(view, from);
    NextField(view, from);
    InformDocument document;
    document.token = DescrambleToken(token);
    if (from != std::string_view::npos)
        document.body = std::string(view.substr(from));
    return document;
}

std::string MakeInformDocument(std::string_view token, std::string_view body, bool scrambled, std::uint32_t seed)
{
    const std::string text = "|" + ScrambleToken(token, seed) + "|||" + std::string(body);
    return scrambled ? ScrambleTextWithKey(text, static_cast<int>(33 + seed % 90)) : text;
}

std::uint32_t SeedOf(std::string_view text)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}
