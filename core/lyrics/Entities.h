#pragma once

// Decoding of the few HTML entities that lyrics pages use. Every edit keeps the
// text's length: the character goes where the '&' was, blanks fill the rest.

// If the bytes at pos equal entity (over the entity's length), writes
// replacement at pos, blanks the entity's remaining bytes and returns true;
// otherwise changes nothing and returns false. pos must be zero-terminated
// text: the comparison stops at its end.
bool ReplaceEntity(char* pos, const char* entity, char replacement);

// Decodes entities in the zero-terminated text, in place. A known entity
// becomes its character and blanks; an unknown one is blanked from its '&'
// through the next ';'; a '&' with no ';' after it ends decoding and leaves the
// rest as it is.
void DecodeEntities(char* text);

// The known entities, in the order they are tried.
struct EntityEntry {
    const char* text;
    char character;
};
extern const EntityEntry kEntityTable[];
extern const int kEntityCount;
