// Games of the engine against itself at a small fixed depth, written as PGN:
// many real games in little time, for the book import and its tests. Game k
// starts from opening k / 2 of the file (one FEN a line, "#" lines skipped)
// and searches 2 + k % 3 plies a move, so that the two games of an opening
// differ. A game that reaches 400 plies ends unfinished ("*").
//
// Usage: vostrel_selfplay OPENINGS GAMES OUT.pgn
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "driver/engine.h"
#include "driver/game.h"
#include "notation/movetext.h"
#include "search/search.h"

namespace {

constexpr int MaxPlies = 400;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vostrel_selfplay OPENINGS GAMES OUT.pgn\n");
        return 2;
    }
    std::vector<std::string> openings;
    std::ifstream input(argv[1]);
    for (std::string line; std::getline(input, line);)
        if (!line.empty() && line[0] != '#') openings.push_back(line);
    long games = std::atol(argv[2]);
    std::FILE* out = std::fopen(argv[3], "w");
    if (openings.empty() || games < 1 || !out) {
        std::fprintf(stderr, "vostrel_selfplay: no openings, no games or no output file\n");
        return 2;
    }
    static Engine engine;
    static QuietHost host;
    initEngine(engine, host);
    ensureInitialised(engine);
    engine.settings.book_allowed = 0;
    for (long k = 0; k < games; ++k) {
        const std::string& fen = openings[size_t(k / 2) % openings.size()];
        if (!setupPosition(engine, fen.c_str(), nullptr)) continue;
        Game& game = engine.game;
        std::string movetext;
        char text[32];
        for (int ply = 0; ply < MaxPlies && game.gameInProgress; ++ply) {
            engine.clock = SearchLimits{6000, 6000, 0, 0, 0, 2 + int(k % 3)};
            SearchResult result = searchGame(engine, SearchAnalysing);
            if (!result.bestMove) break;
            if (game.board.toMove->colour == White || ply == 0)
                movetext += std::to_string(gamePly(game.board) / 2 + 1) +
                            (game.board.toMove->colour == White ? ". " : "... ");
            formatMoveSan(game.board, result.bestMove, text);
            movetext += text;
            if (!playMoveIfValid(game, result.bestMove)) break;
        }
        // "1-0 {White mates}": the result is the first word.
        std::string result = game.resultLine ? game.resultLine : "*";
        result = result.substr(0, result.find(' '));
        std::fprintf(out,
                     "[Event \"vostrel selfplay\"]\n[Round \"%ld\"]\n[Result \"%s\"]\n"
                     "[FEN \"%s\"]\n[SetUp \"1\"]\n\n%s%s\n\n",
                     k + 1, result.c_str(), fen.c_str(), movetext.c_str(), result.c_str());
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
