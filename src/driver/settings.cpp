#include "driver/settings.h"

void setDefaultSettings(Settings& s) {
    s = Settings{};
    s.search_prune_nullmove = 1;
    s.search_prune_lmr_moves = 4;
    s.search_prune_quiet_moves = 10;
    s.search_extend_check = 8;
    s.pv_hash_extract = 1;
    s.book_allowed = 1;
    s.book_learning = 1;
    s.book_verify = 1;
    s.book_rand = 10;
    s.book_occurrence = 1;
    s.book_minwhite = -15;
    s.book_minblack = -45;
    s.behavior_resign_value = -730;
    s.behavior_accept_remis = 1;
    s.behavior_offer_remis = 1;
    s.pv_objective_score = 1;
    s.pv_show_mate = 1;
    s.serverHuman = 1;
    s.serverComputer = 2;
    s.memory = 32;
    s.egtb_cache = 8;
    s.search_threads = 0;
    s.search_multipv = 1;
    s.move_overhead = 30;
}
