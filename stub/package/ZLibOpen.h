// Decompression of the package's file records: zlib streams (two-byte header, deflate data,
// Adler-32, 15-bit window). A record is inflated as it is read, piece by piece, so neither its
// compressed nor its decompressed bytes are ever held whole.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// A damaged zlib stream; what() is zlib's message text for the status it reported.
class EZLibError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TZLibInflater {
public:
    // Receives each piece of output as it is produced.
    using Sink = std::function<void(std::string_view piece)>;

    // between is called after every inflate round that did not end the stream, so that a
    // caller can keep its window responsive.
    explicit TZLibInflater(std::function<void()> between = {});
    ~TZLibInflater();
    TZLibInflater(const TZLibInflater&) = delete;
    TZLibInflater& operator=(const TZLibInflater&) = delete;

    // Inflates the next input bytes into sink. Bytes after the end of the stream are ignored.
    // EZLibError when zlib reports an error.
    void Feed(std::string_view input, const Sink& sink);
    // Call once all input was fed: EZLibError when the stream did not end.
    void Finish();
    bool Finished() const { return finished_; }

private:
    struct Stream;
    [[noreturn]] void Fail(int status);

    std::unique_ptr<Stream> stream_;
    std::function<void()> between_;
    bool finished_ = false;
};

// The whole output of one zlib stream; EZLibError when it is damaged or incomplete.
std::string Inflate(std::string_view data, const std::function<void()>& between = {});
