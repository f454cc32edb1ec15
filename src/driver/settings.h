// The settings: one record for everything vostrel.ini and the option lines
// set, named after their option keys. The option table points into it.
#pragma once

#include <cstdint>

#include "search/search.h"

// The search's own settings come first, so that the search can be handed
// this record as its SearchSettings.
struct Settings : SearchSettings {
    // Opening book.
    int32_t book_allowed;
    int32_t book_learning;
    int32_t book_verify;
    int32_t book_rand;  // random spread of book scores, hundredths
    int32_t book_occurrence;
    int32_t book_minwhite;  // lowest verification score of a book move, centipawns
    int32_t book_minblack;
    // Behaviour.
    int32_t behavior_resign_value;
    int32_t behavior_accept_remis;
    int32_t behavior_offer_remis;
    // Thinking output.
    int32_t pv_objective_score;
    int32_t pv_show_mate;
    // Where book and thinking summaries go on a chess server, by the kind of
    // opponent: 0 nowhere, 1 whisper, 2 kibitz.
    int32_t serverHuman;
    int32_t serverComputer;
    // Memory: transposition table megabytes, and what the tablebase cache
    // adds beyond 8.
    int32_t memory;
    int32_t egtb_cache;
    // Threads that search, 1 to 256, never more than xboard's "cores" allows;
    // 0: as many as it allows (one without a word from the GUI).
    int32_t search_threads;
};

// The compiled-in defaults.
void setDefaultSettings(Settings& settings);
