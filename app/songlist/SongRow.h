#pragma once

// The row data word of a song-table row: source * 256 + state.
enum SongRowSource {
    ROW_SOURCE_NONE = 0,      // from the lyric store or a manual search
    ROW_SOURCE_LIMEWIRE = 1,  // found in the LimeWire folder
    ROW_SOURCE_KAZAA = 2,     // found in the Kazaa folder
};

enum SongRowState {
    ROW_STATE_FOUND = 0,      // "OK": a lyric is stored
    ROW_STATE_SEARCHING = 1,  // "SEARCH": waiting for, or in, its lyric fetch
    ROW_STATE_NOT_FOUND = 2,  // "FALSE": no lyric was found
};

inline unsigned MakeRowData(int source, int state)
{
    return static_cast<unsigned>(source) * 256u + static_cast<unsigned>(state);
}

// The glyph-strip columns that draw a row's status.
inline int SourceGlyphColumn(unsigned rowData)
{
    const unsigned source = rowData >> 8;
    return (source == ROW_SOURCE_LIMEWIRE || source == ROW_SOURCE_KAZAA) ? static_cast<int>(source) : 0;
}

inline int StateGlyphColumn(unsigned rowData)
{
    switch (rowData & 0xFF) {
    case ROW_STATE_FOUND: return 3;
    case ROW_STATE_SEARCHING: return 5;
    default: return 4;
    }
}
