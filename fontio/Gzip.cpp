#include "Gzip.h"

#include <zlib.h>

#include <algorithm>

namespace {

// zlib's stream; ended on every way out.
struct Inflater {
    z_stream stream{};
    bool started = false;
    Inflater() { started = inflateInit2(&stream, 16 + MAX_WBITS) == Z_OK; }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater() {
        if (started) inflateEnd(&stream);
    }
};

std::string TooLarge() { return "larger than " + std::to_string(kMaxUnpackedBytes >> 20) + " MiB, more than any font"; }

std::string Damaged(const z_stream& stream) {
    return std::string("damaged gzip data") + (stream.msg ? std::string(": ") + stream.msg : "");
}

}  // namespace

bool IsGzip(const uint8_t* data, size_t size) { return size >= 2 && data[0] == 0x1F && data[1] == 0x8B; }

bool UnpackFontFile(std::vector<uint8_t>& bytes, std::string& error) {
    if (!IsGzip(bytes.data(), bytes.size())) {
        if (bytes.size() <= kMaxUnpackedBytes) return true;
        error = "the file is " + TooLarge();
        return false;
    }
    Inflater inflater;
    if (!inflater.started) {
        error = "out of memory";
        return false;
    }
    z_stream& stream = inflater.stream;
    std::vector<uint8_t> out(std::min(kMaxUnpackedBytes, std::max<size_t>(4 * bytes.size(), 4096)));
    stream.next_in = bytes.data();
    size_t produced = 0;
    size_t left = bytes.size();
    for (;;) {
        if (produced == out.size()) {
            if (out.size() == kMaxUnpackedBytes) {
                error = "the gzip data unpack to " + TooLarge();
                return false;
            }
            out.resize(std::min(kMaxUnpackedBytes, 2 * out.size()));
        }
        // zlib counts in 32 bits.
        const uInt inChunk = static_cast<uInt>(std::min<size_t>(left, 1u << 30));
        const uInt outChunk = static_cast<uInt>(std::min<size_t>(out.size() - produced, 1u << 30));
        stream.avail_in = inChunk;
        stream.next_out = out.data() + produced;
        stream.avail_out = outChunk;
        const int result = inflate(&stream, Z_NO_FLUSH);
        left -= inChunk - stream.avail_in;
        produced += outChunk - stream.avail_out;
        if (result == Z_STREAM_END) {
            // Another member may follow, as in files joined with cat.
            if (left == 0) break;
            if (!IsGzip(stream.next_in, left) || inflateReset(&stream) != Z_OK) {
                error = "damaged gzip data: bytes after its end";
                return false;
            }
            continue;
        }
        if (result == Z_BUF_ERROR && left == 0 && stream.avail_out > 0) {
            error = "the gzip data are cut short";
            return false;
        }
        if (result != Z_OK && result != Z_BUF_ERROR) {
            error = result == Z_MEM_ERROR ? "out of memory" : Damaged(stream);
            return false;
        }
    }
    out.resize(produced);
    bytes = std::move(out);
    return true;
}
