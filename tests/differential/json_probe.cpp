// Reads JSON texts from standard input, each as a 4-byte little-endian length
// and the bytes, and writes one line per text: "0" when the reader refuses
// it, else "1" and, for "plainLyrics", "syncedLyrics" and "instrumental",
// the kind and the string's bytes in hex. json_differential.py compares this
// with Python's json module.
#include "core/lyrics/Json.h"

#include <cstdio>
#include <string>
#include <vector>

int main()
{
    static const char* kKinds[] = {"Missing", "Null", "False", "True", "Number", "String", "Array", "Object"};
    std::vector<char> text;
    for (;;) {
        unsigned char prefix[4];
        if (std::fread(prefix, 1, 4, stdin) != 4) break;
        const std::size_t size = prefix[0] | prefix[1] << 8 | prefix[2] << 16 | static_cast<std::size_t>(prefix[3]) << 24;
        text.resize(size);
        if (size && std::fread(text.data(), 1, size, stdin) != size) return 2;
        JsonField fields[] = {JsonField("plainLyrics"), JsonField("syncedLyrics"), JsonField("instrumental")};
        if (!ReadJsonObject(text.data(), size, fields, 3)) {
            std::puts("0");
            continue;
        }
        std::string line = "1";
        for (const JsonField& f : fields) {
            line += ' ';
            line += kKinds[static_cast<int>(f.kind)];
            line += ':';
            if (f.kind != JsonKind::String) continue;
            for (unsigned char c : f.text) {
                char hex[3];
                std::snprintf(hex, sizeof(hex), "%02x", c);
                line += hex;
            }
        }
        std::puts(line.c_str());
    }
    return 0;
}
