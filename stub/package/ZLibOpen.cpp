#include "ZLibOpen.h"

#include <zlib.h>

#include <vector>

namespace {

// Output is handed on in pieces of this size: large enough for few calls, small enough that a
// record never costs more memory than this, however well it compresses.
constexpr std::size_t OutputPiece = 262144;

} // namespace

struct TZLibInflater::Stream {
    z_stream z{};
    std::vector<unsigned char> out = std::vector<unsigned char>(OutputPiece);
};

TZLibInflater::TZLibInflater(std::function<void()> between)
    : stream_(std::make_unique<Stream>()), between_(std::move(between))
{
    // The stream format and the interface version the package format was defined with.
    const int status = inflateInit_(&stream_->z, "1.1.4", static_cast<int>(sizeof(z_stream)));
    if (status != Z_OK)
        throw EZLibError(zError(status));
}

TZLibInflater::~TZLibInflater() { inflateEnd(&stream_->z); }

void TZLibInflater::Fail(int status)
{
    finished_ = true;
    throw EZLibError(zError(status));
}

void TZLibInflater::Feed(std::string_view input, const Sink& sink)
{
    z_stream& z = stream_->z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    z.avail_in = static_cast<uInt>(input.size());
    while (!finished_) {
        z.next_out = stream_->out.data();
        z.avail_out = static_cast<uInt>(stream_->out.size());
        const uInt before = z.avail_in;
        const int status = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = stream_->out.size() - z.avail_out;
        const bool stalled = produced == 0 && z.avail_in == before;
        // A buffer error without progress only says that the input is used up.
        if (status < 0 && status != Z_BUF_ERROR)
            Fail(status);
        if (produced > 0)
            sink(std::string_view(reinterpret_cast<const char*>(stream_->out.data()), produced));
        if (status == Z_STREAM_END)
            finished_ = true;
        else if ((z.avail_in == 0 && z.avail_out > 0) || stalled)
            break;
        else if (between_)
            between_();
    }
    z.next_in = nullptr;
    z.avail_in = 0;
}

void TZLibInflater::Finish()
{
    if (!finished_)
        Fail(Z_BUF_ERROR);
}

std::string Inflate(std::string_view data, const std::function<void()>& between)
{
    std::string out;
    TZLibInflater inflater(between);
    inflater.Feed(data, [&out](std::string_view piece) { out.append(piece); });
    inflater.Finish();
    return out;
}
