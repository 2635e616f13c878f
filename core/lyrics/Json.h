#pragma once

// A strict JSON reader (RFC 8259) over untrusted bytes that keeps only a few
// named members of the top-level object. The whole text is checked: UTF-8
// without a byte-order mark, the full grammar, every escape; what is not kept
// is checked and dropped.
#include <cstddef>
#include <string>
#include <vector>

// Objects and arrays nest at most this deep (the top-level object is 1), so a
// hostile answer cannot run the reader's recursion into the stack's end.
constexpr int kJsonMaxDepth = 64;

enum class JsonKind { Missing, Null, False, True, Number, String, Array, Object };

// One member asked for by name. After a successful read, kind says what the
// top-level object held under that name (Missing when nothing), and text holds
// a string's value in UTF-8 (escapes decoded) or a number's literal. When the
// name occurs more than once, the last occurrence counts.
struct JsonField {
    explicit JsonField(const char* fieldName) : name(fieldName) {}
    const char* name;
    JsonKind kind = JsonKind::Missing;
    std::string text;
};

// Reads data[0, size) as one JSON text whose value is an object and fills the
// count fields. False, with the fields in no particular state, for anything
// else: bad UTF-8 (overlong forms and encoded surrogates included), a grammar
// error, a \u escape that leaves a surrogate unpaired, nesting deeper than
// kJsonMaxDepth, or a top-level value that is not an object.
bool ReadJsonObject(const char* data, std::size_t size, JsonField* fields, std::size_t count);

// Where one element of a top-level array lies in the text: data[offset, offset + length).
struct JsonSpan {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// Reads data[0, size) as one JSON text whose value is an array of objects (an
// LRCLIB search answer) and gives each object's place in the text, in order;
// each span is itself a JSON text for ReadJsonObject. The same checks as
// ReadJsonObject over the whole text (the array is depth 1); false, with spans
// in no particular state, for anything else, an element that is not an object
// included.
bool ReadJsonArrayOfObjects(const char* data, std::size_t size, std::vector<JsonSpan>* spans);
