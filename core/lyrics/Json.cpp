#include "core/lyrics/Json.h"

#include <cstdint>
#include <cstring>

namespace {

// Length of the well-formed UTF-8 sequence at p (at most end - p bytes), or 0.
std::size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end)
{
    const std::size_t left = static_cast<std::size_t>(end - p);
    const unsigned char b = p[0];
    if (b < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0) low = 0xA0;        // no overlong forms
        else if (b == 0xED) high = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0) low = 0x90;
        else if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF) return 0;
    return length;
}

void AppendUtf8(std::uint32_t c, std::string* out)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

class Reader {
public:
    Reader(const char* data, std::size_t size)
        : p_(reinterpret_cast<const unsigned char*>(data)), end_(p_ + size)
    {
    }

    bool ReadDocument(JsonField* fields, std::size_t count)
    {
        SkipBlanks();
        if (!ReadObject(1, fields, count)) return false;
        SkipBlanks();
        return p_ == end_;
    }

    bool ReadArrayDocument(std::vector<JsonSpan>* spans)
    {
        const unsigned char* start = p_;
        SkipBlanks();
        if (!Take('[')) return false;
        SkipBlanks();
        if (Take(']')) {
            SkipBlanks();
            return p_ == end_;
        }
        for (;;) {
            JsonSpan span;
            span.offset = static_cast<std::size_t>(p_ - start);
            if (AtEnd() || *p_ != '{' || !ReadObject(2, nullptr, 0)) return false;
            span.length = static_cast<std::size_t>(p_ - start) - span.offset;
            spans->push_back(span);
            SkipBlanks();
            if (Take(']')) break;
            if (!Take(',')) return false;
            SkipBlanks();
        }
        SkipBlanks();
        return p_ == end_;
    }

private:
    bool AtEnd() const { return p_ == end_; }

    void SkipBlanks()
    {
        while (p_ != end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r')) ++p_;
    }

    bool Take(char c)
    {
        if (p_ == end_ || *p_ != static_cast<unsigned char>(c)) return false;
        ++p_;
        return true;
    }

    bool TakeWord(const char* word)
    {
        const std::size_t length = std::strlen(word);
        if (static_cast<std::size_t>(end_ - p_) < length || std::memcmp(p_, word, length) != 0) return false;
        p_ += length;
        return true;
    }

    // A value; when field is given, what it is goes there.
    bool ReadValue(int depth, JsonField* field)
    {
        if (AtEnd()) return false;
        JsonKind kind;
        std::string* text = field ? &field->text : nullptr;
        if (text) text->clear();
        switch (*p_) {
        case '{':
            kind = JsonKind::Object;
            if (!ReadObject(depth + 1, nullptr, 0)) return false;
            break;
        case '[':
            kind = JsonKind::Array;
            if (!ReadArray(depth + 1)) return false;
            break;
        case '"':
            kind = JsonKind::String;
            if (!ReadString(text)) return false;
            break;
        case 't':
            kind = JsonKind::True;
            if (!TakeWord("true")) return false;
            break;
        case 'f':
            kind = JsonKind::False;
            if (!TakeWord("false")) return false;
            break;
        case 'n':
            kind = JsonKind::Null;
            if (!TakeWord("null")) return false;
            break;
        default:
            kind = JsonKind::Number;
            if (!ReadNumber(text)) return false;
            break;
        }
        if (field) field->kind = kind;
        return true;
    }

    bool ReadObject(int depth, JsonField* fields, std::size_t count)
    {
        if (depth > kJsonMaxDepth || !Take('{')) return false;
        SkipBlanks();
        if (Take('}')) return true;
        std::string name;
        for (;;) {
            if (!ReadString(&name)) return false;
            SkipBlanks();
            if (!Take(':')) return false;
            SkipBlanks();
            JsonField* field = nullptr;
            for (std::size_t i = 0; i < count && !field; ++i)
                if (name == fields[i].name) field = &fields[i];
            if (!ReadValue(depth, field)) return false;
            SkipBlanks();
            if (Take('}')) return true;
            if (!Take(',')) return false;
            SkipBlanks();
        }
    }

    bool ReadArray(int depth)
    {
        if (depth > kJsonMaxDepth || !Take('[')) return false;
        SkipBlanks();
        if (Take(']')) return true;
        for (;;) {
            if (!ReadValue(depth, nullptr)) return false;
            SkipBlanks();
            if (Take(']')) return true;
            if (!Take(',')) return false;
            SkipBlanks();
        }
    }

    bool ReadDigits()
    {
        if (AtEnd() || *p_ < '0' || *p_ > '9') return false;
        while (!AtEnd() && *p_ >= '0' && *p_ <= '9') ++p_;
        return true;
    }

    bool ReadNumber(std::string* text)
    {
        const unsigned char* start = p_;
        Take('-');
        if (Take('0')) {
            // No leading zeros: "01" is "0" followed by garbage.
        } else if (!ReadDigits()) {
            return false;
        }
        if (Take('.') && !ReadDigits()) return false;
        if (!AtEnd() && (*p_ == 'e' || *p_ == 'E')) {
            ++p_;
            if (!Take('+')) Take('-');
            if (!ReadDigits()) return false;
        }
        if (text) text->assign(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p_ - start));
        return true;
    }

    bool ReadHex4(std::uint32_t* value)
    {
        if (end_ - p_ < 4) return false;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const unsigned char c = *p_++;
            v <<= 4;
            if (c >= '0' && c <= '9') v |= c - '0';
            else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
            else return false;
        }
        *value = v;
        return true;
    }

    // The \u escape after its backslash and 'u', with a low surrogate's own
    // escape following a high one.
    bool ReadUnicodeEscape(std::string* text)
    {
        std::uint32_t c;
        if (!ReadHex4(&c)) return false;
        if (c >= 0xDC00 && c <= 0xDFFF) return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            std::uint32_t low;
            if (!TakeWord("\\u") || !ReadHex4(&low) || low < 0xDC00 || low > 0xDFFF) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
        if (text) AppendUtf8(c, text);
        return true;
    }

    // A string; its value goes to text when given.
    bool ReadString(std::string* text)
    {
        if (text) text->clear();
        if (!Take('"')) return false;
        for (;;) {
            if (AtEnd()) return false;
            const unsigned char c = *p_;
            if (c == '"') {
                ++p_;
                return true;
            }
            if (c < 0x20) return false;
            if (c == '\\') {
                ++p_;
                if (AtEnd()) return false;
                const unsigned char e = *p_++;
                char plain;
                switch (e) {
                case '"': plain = '"'; break;
                case '\\': plain = '\\'; break;
                case '/': plain = '/'; break;
                case 'b': plain = '\b'; break;
                case 'f': plain = '\f'; break;
                case 'n': plain = '\n'; break;
                case 'r': plain = '\r'; break;
                case 't': plain = '\t'; break;
                case 'u':
                    if (!ReadUnicodeEscape(text)) return false;
                    continue;
                default: return false;
                }
                if (text) text->push_back(plain);
                continue;
            }
            const std::size_t length = Utf8SequenceLength(p_, end_);
            if (length == 0) return false;
            if (text) text->append(reinterpret_cast<const char*>(p_), length);
            p_ += length;
        }
    }

    const unsigned char* p_;
    const unsigned char* end_;
};

}  // namespace

bool ReadJsonObject(const char* data, std::size_t size, JsonField* fields, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        fields[i].kind = JsonKind::Missing;
        fields[i].text.clear();
    }
    Reader reader(data, size);
    return reader.ReadDocument(fields, count);
}

bool ReadJsonArrayOfObjects(const char* data, std::size_t size, std::vector<JsonSpan>* spans)
{
    spans->clear();
    Reader reader(data, size);
    return reader.ReadArrayDocument(spans);
}
