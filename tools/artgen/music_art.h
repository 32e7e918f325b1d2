// The program's music: our own songs, written as note data (scale degrees over a chord chart)
// and arranged into standard MIDI files (format 0, 480 ticks per quarter note, General MIDI
// instruments). Every song has its own accompaniment, bass and drum patterns of two to four bars,
// other patterns and colours for its bridge, and a dynamic arc; it opens with an intro of
// accompaniment alone, fills on the drums at the end of each four-bar phrase, and ends by playing
// its last two bars again, slowing, onto a held tonic.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

inline constexpr char kMusicFolder[] = "music";

// Every song, as ("music/MAIN.MID", file bytes). On a mistake in the note data (a bar whose
// notes do not fill it, an unknown token) returns false with a message in *error.
bool RenderSongs(std::vector<std::pair<std::string, std::vector<uint8_t>>>* files, std::string* error);
