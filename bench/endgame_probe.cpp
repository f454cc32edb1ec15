// Endgame verdicts in batch, for checking the recognisers from outside.
// Usage: endgame_probe < positions.fen
// One FEN per input line; prints per line
//   FEN<tab>class<tab>label<tab>found<tab>result<tab>flag
// (result in White's view) or FEN<tab>invalid when the position is rejected.
// An empty line flushes the output, so that a caller can feed batches through
// one process and read each batch's answers before sending the next.
#include <cstdio>
#include <cstring>

#include "board/types.h"
#include "driver/engine.h"
#include "eval/endgame.h"
#include "notation/fen.h"
#include "search/searchstack.h"

namespace {

// One board, rebuilt for every line.
Board board;

}  // namespace

int main() {
    static Engine engine;
    static QuietHost host;
    initEngine(engine, host);
    ensureInitialised(engine);
    char line[512];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (!line[0]) {
            std::fflush(stdout);
            continue;
        }
        char message[FenMessageSize];
        if (!parseFen(board, engine.game.stack, line, message)) {
            std::printf("%s\tinvalid\n", line);
            continue;
        }
        int material = classifyMaterial(board);
        int32_t result = 0, flag = 0;
        int found = probeEndgame(board, result, flag);
        std::printf("%s\t%d\t%s\t%d\t%d\t%d\n", line, material, materialClassName(material), found,
                    int(result), int(flag));
    }
    return 0;
}
