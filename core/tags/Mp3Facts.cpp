#include "core/tags/Mp3Facts.h"

#include <algorithm>
#include <vector>

namespace songlark {
namespace {

std::uint32_t Be32(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint32_t SyncSafe32(const unsigned char* p)
{
    return std::uint32_t(p[0] & 0x7F) << 21 | std::uint32_t(p[1] & 0x7F) << 14 | std::uint32_t(p[2] & 0x7F) << 7 |
           (p[3] & 0x7F);
}

// Undoes unsynchronisation: every 0x00 that follows a 0xFF was inserted.
std::vector<unsigned char> Resync(const unsigned char* p, std::size_t n)
{
    std::vector<unsigned char> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        if (!(p[i] == 0 && i > 0 && p[i - 1] == 0xFF)) out.push_back(p[i]);
    return out;
}

bool IsId(const unsigned char* id, const char* want, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        if (id[i] != static_cast<unsigned char>(want[i])) return false;
    return true;
}

// TLEN: milliseconds as decimal digits, blanks around them allowed.
int PlausibleLength(const std::string& text)
{
    std::size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;
    if (i == end || end - i > 9) return 0;
    long value = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        value = value * 10 + (text[i] - '0');
    }
    return value >= kMinLengthMs && value <= kMaxLengthMs ? static_cast<int>(value) : 0;
}

struct FrameHead {
    int version;  // 2, 3 or 4
    std::size_t headBytes() const { return version == 2 ? 6 : 10; }
};

void TakeFrame(const FrameHead& head, const unsigned char* frame, const unsigned char* content, std::size_t size,
               ConvertTextFn fromUtf8, Id3TagFacts& facts)
{
    const bool v2 = head.version == 2;
    const std::size_t idLength = v2 ? 3 : 4;
    std::string* target = nullptr;
    bool length = false;
    if (IsId(frame, v2 ? "TP1" : "TPE1", idLength)) target = &facts.artist;
    else if (IsId(frame, v2 ? "TT2" : "TIT2", idLength)) target = &facts.title;
    else if (IsId(frame, v2 ? "TAL" : "TALB", idLength)) target = &facts.album;
    else if (IsId(frame, v2 ? "TLE" : "TLEN", idLength)) length = true;
    else return;
    if ((target && !target->empty()) || (length && facts.lengthMs)) return;  // the first frame counts

    std::string utf8;
    if (!DecodeId3Text(content, size, &utf8)) return;
    if (length) {
        facts.lengthMs = PlausibleLength(utf8);
    } else {
        ConvertWhole(fromUtf8, utf8, target);
    }
}

}  // namespace

Id3TagFacts ReadId3TagFacts(const unsigned char* data, std::size_t size, ConvertTextFn fromUtf8)
{
    Id3TagFacts facts;
    if (size < 10 || !IsId(data, "ID3", 3) || data[3] < 2 || data[3] > 4) return facts;
    const int version = data[3];
    const unsigned char flags = data[5];
    facts.present = true;
    facts.tagBytes = 10 + std::uint64_t(SyncSafe32(data + 6)) + (version == 4 && (flags & 0x10) ? 10 : 0);

    // The body as far as it was read; unsynchronised as a whole in 2.2 and 2.3.
    const std::size_t bodyEnd = static_cast<std::size_t>(std::min<std::uint64_t>(size, 10 + SyncSafe32(data + 6)));
    std::vector<unsigned char> body(data + 10, data + bodyEnd);
    if ((flags & 0x80) && version < 4) body = Resync(body.data(), body.size());

    std::size_t p = 0;
    if ((flags & 0x40) && version == 2) return facts;  // 2.2's compression: nothing defined to read
    if ((flags & 0x40) && version > 2) {
        if (body.size() < 4) return facts;
        // 2.3 counts the extended header without its size field, 2.4 with it.
        // Counted in 64 bits: a hostile size must not wrap a 32-bit size_t.
        const std::uint64_t extended = version == 3 ? 4 + std::uint64_t(Be32(body.data())) : SyncSafe32(body.data());
        if (extended > body.size()) return facts;
        p = static_cast<std::size_t>(extended);
    }

    const FrameHead head{version};
    while (p <= body.size() && body.size() - p >= head.headBytes()) {
        const unsigned char* frame = body.data() + p;
        if (frame[0] == 0) break;  // padding
        std::uint64_t frameSize;
        unsigned char format = 0;
        if (version == 2) {
            frameSize = std::uint32_t(frame[3]) << 16 | std::uint32_t(frame[4]) << 8 | frame[5];
        } else {
            frameSize = version == 4 ? SyncSafe32(frame + 4) : Be32(frame + 4);
            format = frame[9];
        }
        const std::size_t contentAt = p + head.headBytes();
        if (frameSize > body.size() - contentAt) break;
        const unsigned char* content = body.data() + contentAt;
        std::size_t contentSize = static_cast<std::size_t>(frameSize);

        // 2.3: compressed 0x80, encrypted 0x40, grouped 0x20 (one byte more).
        // 2.4: grouped 0x40, compressed 0x08, encrypted 0x04, unsynchronised
        // 0x02, a data length 0x01 (four bytes more).
        bool readable = true;
        std::vector<unsigned char> resynced;
        if (version == 3) {
            readable = !(format & 0xC0);
            const std::size_t skip = (format & 0x20) ? 1 : 0;
            if (skip > contentSize) readable = false;
            else content += skip, contentSize -= skip;
        } else if (version == 4) {
            readable = !(format & 0x0C);
            const std::size_t skip = ((format & 0x40) ? 1 : 0) + ((format & 0x01) ? 4 : 0);
            if (skip > contentSize) {
                readable = false;
            } else {
                content += skip, contentSize -= skip;
                if ((format & 0x02) || (flags & 0x80)) {
                    resynced = Resync(content, contentSize);
                    content = resynced.data(), contentSize = resynced.size();
                }
            }
        }
        if (readable) TakeFrame(head, frame, content, contentSize, fromUtf8, facts);
        p = contentAt + static_cast<std::size_t>(frameSize);
    }
    return facts;
}

namespace {

struct MpegFrame {
    int bitRate = 0;  // bits per second
    int sampleRate = 0;
    int samples = 0;  // per frame
    std::size_t bytes = 0;
    std::size_t sideInfo = 0;  // Layer III side information, where a Xing header follows
};

bool ReadMpegHeader(const unsigned char* h, MpegFrame& f)
{
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
    const int version = (h[1] >> 3) & 3;  // 0: 2.5, 1: reserved, 2: 2, 3: 1
    const int layer = (h[1] >> 1) & 3;    // 1: III, 2: II, 3: I
    const int rateIndex = h[2] >> 4, sampleIndex = (h[2] >> 2) & 3;
    if (version == 1 || layer == 0 || rateIndex == 0 || rateIndex == 15 || sampleIndex == 3 || (h[3] & 3) == 2)
        return false;
    static const short kRates[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // 1, I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // 1, II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // 1, III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // 2 and 2.5, I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // 2 and 2.5, II and III
    };
    static const int kSampleRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int table = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
    f.bitRate = kRates[table][rateIndex] * 1000;
    f.sampleRate = kSampleRates[sampleIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    f.samples = layer == 3 ? 384 : (layer == 1 && !mpeg1) ? 576 : 1152;
    const int padding = (h[2] >> 1) & 1;
    f.bytes = layer == 3 ? std::size_t((12 * f.bitRate / f.sampleRate + padding) * 4)
                         : std::size_t(f.samples / 8 * f.bitRate / f.sampleRate + padding);
    const bool mono = (h[3] >> 6) == 3;
    f.sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return true;
}

int Plausible(std::uint64_t ms)
{
    return ms >= std::uint64_t(kMinLengthMs) && ms <= std::uint64_t(kMaxLengthMs) ? static_cast<int>(ms) : 0;
}

}  // namespace

int Mp3LengthMs(const unsigned char* data, std::size_t size, std::uint64_t audioStart, std::uint64_t fileSize)
{
    constexpr std::size_t kSearch = 16 * 1024;
    if (audioStart >= size) return 0;
    const std::size_t from = static_cast<std::size_t>(audioStart);
    const std::size_t last = size - from > kSearch ? from + kSearch : size;
    for (std::size_t at = from; at + 4 <= last; ++at) {
        MpegFrame f;
        if (!ReadMpegHeader(data + at, f)) continue;
        MpegFrame next;
        if (at + f.bytes + 4 <= size && !ReadMpegHeader(data + at + f.bytes, next)) continue;

        // A variable bit rate's first frame counts the frames.
        const std::size_t xing = at + 4 + f.sideInfo, vbri = at + 4 + 32;
        std::uint64_t frames = 0;
        if (xing + 12 <= size && (IsId(data + xing, "Xing", 4) || IsId(data + xing, "Info", 4))) {
            if (data[xing + 7] & 1) frames = Be32(data + xing + 8);
        } else if (vbri + 18 <= size && IsId(data + vbri, "VBRI", 4)) {
            frames = Be32(data + vbri + 14);
        }
        if (frames) return Plausible(frames * std::uint64_t(f.samples) * 1000 / std::uint64_t(f.sampleRate));
        if (fileSize <= at) return 0;
        // From the frame on: whatever lies before it is no audio either.
        return Plausible((fileSize - at) * 8000 / std::uint64_t(f.bitRate));
    }
    return 0;
}

}  // namespace songlark
