#include "driver/xboard.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "book/book.h"
#include "driver/bench.h"
#include "driver/dispatch.h"
#include "driver/engine.h"
#include "driver/game.h"
#include "driver/output.h"
#include "driver/poll.h"
#include "eval/evaluate.h"
#include "notation/fen.h"
#include "notation/movetext.h"
#include "platform/platform.h"
#include "search/root.h"

namespace {

bool startsWith(const char* line, const char* prefix) {
    return std::strncmp(line, prefix, std::strlen(prefix)) == 0;
}

// Milliseconds since a counter reading.
uint64_t millisecondsSince(uint64_t start) {
    return (readCounter() - start) * 1000 / readCounterFrequency();
}

void reportPerft(int depth, uint64_t leaves, uint64_t start) {
    uint64_t elapsed = millisecondsSince(start);
    uint64_t rate = elapsed ? leaves * 1000 / elapsed : 0;
    sendText("perft %d %llu time %llu ms rate %llu/s\n", depth, (unsigned long long)leaves,
             (unsigned long long)elapsed, (unsigned long long)rate);
}

// "eval": the static evaluation of the current position, White's view, as a
// search from here would see it at its root.
void staticEvaluation(Engine& engine, const char* line) {
    if (!engine.boardValid) {
        sendText("Error (no valid position): %s\n", line);
        return;
    }
    rootPieceCount = engine.board.pieceCount;
    sendText("eval %d\n", int(evaluate(engine.board, -FullWindow, FullWindow)));
}

// "perft D" and "divide D": leaf counts from the current position, divide one
// line per root move in generation order first.
void countLeaves(Engine& engine, const char* line, bool divide) {
    Board& board = engine.board;
    int depth = int(std::atol(line + (divide ? 7 : 6)));
    if (!engine.boardValid) {
        sendText("Error (no valid position): %s\n", line);
        return;
    }
    if (depth < 1 || depth > MaxPly || board.ply + depth > MaxGame) {
        sendText("Error (depth out of range): %s\n", line);
        return;
    }
    uint64_t start = readCounter();
    if (!divide) {
        reportPerft(depth, perft(board, depth), start);
        return;
    }
    int count = generateMoves(board);
    uint64_t total = 0;
    for (int i = 0; i < count; ++i) {
        Move move = board.stack->moveLists[0][i].move;
        saveUndo(board);
        makeMove(board, move);
        uint64_t leaves = perft(board, depth - 1, 1);
        unmakeMove(board);
        char text[8];
        formatMoveCoordinates(move, text);
        sendText("%s %llu\n", text, (unsigned long long)leaves);
        total += leaves;
    }
    reportPerft(depth, total, start);
}

void takeBackMove(Engine& engine) {
    engine.resignAllowed = 0;
    if (engine.board.ply > 0) unmakeMove(engine.board);
}

// Moves and take-backs that arrived during an analysis restart it.
void restartAnalysisIfAsked(Engine& engine) {
    if (engine.analysisRestart) dispatchCommand(engine, "analyze");
}

void userMove(Engine& engine, const char* text) {
    if (engine.analysisRestart) {
        if (playMoveText(engine, text)) dispatchCommand(engine, "analyze");
        return;
    }
    if (playMoveText(engine, text) && engine.playing) {
        think(engine, SearchThinking);
        if (engine.ponder) startPonder(engine);
    }
}

void level(Engine& engine, const char* line) {
    engine.moveTime = 0;
    engine.depthLimit = 0;
    copyField(engine.levelText, sizeof engine.levelText, line + 6);
    int moves = 0, base = 0, seconds = 0, increment = 0;
    if (std::strchr(line, ':')) {
        std::sscanf(line, "level %d %d:%d %d", &moves, &base, &seconds, &increment);
        engine.baseTime = base * 60 + seconds;
    } else {
        std::sscanf(line, "level %d %d %d", &moves, &base, &increment);
        engine.baseTime = base;
    }
    engine.increment = increment * 100;
    engine.movesPerSession = moves < 60 ? moves : 60;
}

void announceFeatures(Engine& engine) {
    engine.mode = ModeXboard;
    sendText("feature done=0\n");
    prepareNewGame(engine);
    sendText("feature usermove=1\n");
    sendText("feature setboard=1\n");
    sendText("feature draw=1\n");
    sendText("feature ics=1\n");
    sendText("feature analyze=1\n");
    sendText("feature name=1\n");
    sendText("feature variants=\"normal,nocastle,fischerandom\"\n");
    sendText("feature myname=\"%s\"\n", EngineName);
    sendText("feature reuse=1\n");
    sendText("feature ping=1\n");
    sendText("feature done=1\n");
}

void result(Engine& engine, const char* line) {
    int outcome = 0;
    bool known = true;
    if (startsWith(line, "result 0-1")) {
        copyField(engine.resultComment, sizeof engine.resultComment, textFrom(line, 11));
        copyField(engine.resultText, sizeof engine.resultText, "0-1");
        outcome = -1;
    } else if (startsWith(line, "result 1-0")) {
        copyField(engine.resultComment, sizeof engine.resultComment, textFrom(line, 11));
        copyField(engine.resultText, sizeof engine.resultText, "1-0");
        outcome = 1;
    } else if (startsWith(line, "result 1/2-1/2")) {
        copyField(engine.resultComment, sizeof engine.resultComment, textFrom(line, 15));
        copyField(engine.resultText, sizeof engine.resultText, "1/2-1/2");
    } else {
        known = false;  // "*": an unfinished game teaches nothing
    }
    if (known && engine.book_learning)
        bookLearnGame(engine.opponentPlayer.name, engine.board.stack->undo, engine.board.ply,
                      outcome);
    if (engine.icsMode)
        sendText("tellics tell %s Good game %s\n", engine.opponentPlayer.name,
                 engine.opponentPlayer.name);
    engine.gameInProgress = 0;
}

void opponentName(Engine& engine, const char* name) {
    // A name that fills the field is cut to 62 characters, as GUIs expect.
    size_t length = std::strlen(name);
    size_t size = sizeof engine.opponentPlayer.name;
    if (length >= size) length = size - 2;
    std::memcpy(engine.opponentPlayer.name, name, length);
    engine.opponentPlayer.name[length] = '\0';
}

void bookInformation(Engine& engine) {
    BookRecord record = bookProbe(MainBookName, engine.board.hashKey);
    sendText("telluser W %d, D %d, B %d\n", record.whiteWins, record.draws, record.blackWins);
}

void go(Engine& engine) {
    // Never search before a valid setup: the board may hold a rejected placement.
    if (engine.searchState != SearchIdle || !engine.boardValid) return;
    setPlayerColours(engine, engine.board.toMove->colour == White);
    engine.playing = 1;
    think(engine, SearchThinking);
    if (engine.ponder) startPonder(engine);
}

void searchStatus(Engine& engine) {
    char san[32] = "";
    const RootMove* current = engine.root.currentRootMove;
    if (engine.boardValid && current && current->move)
        formatMoveSan(engine.board, current->move, san);
    double nodes = collectNodeCount(engine);
    int elapsed = int((readCounter() - uint64_t(engine.startCounter)) * 100 /
                      uint64_t(engine.counterFrequency));
    sendText("stat01: %d %.0f %d %d %d %s\n", elapsed, nodes, engine.root.iterationDepth,
             engine.root.rootMoveIndex, engine.root.rootMoveCount, san);
}

}  // namespace

int handleProtocolCommand(Engine& engine, const char* line) {
    if (startsWith(line, "usermove ")) {
        userMove(engine, line + 9);
    } else if (startsWith(line, "time ")) {
        engine.engineClock = int(std::atol(line + 5));
    } else if (startsWith(line, "otim ")) {
        engine.opponentClock = int(std::atol(line + 5));
    } else if (startsWith(line, "level ")) {
        level(engine, line);
    } else if (startsWith(line, "xboard")) {
        announceFeatures(engine);
    } else if (startsWith(line, "protover 2")) {
        engine.mode = ModeXboard;
    } else if (startsWith(line, "accepted ") || startsWith(line, "white") ||
               startsWith(line, "black") || startsWith(line, "random")) {
        // Taken and ignored.
    } else if (startsWith(line, "ics ")) {
        engine.icsMode = line[4] != '-';
        if (engine.icsMode) copyField(engine.icsHost, sizeof engine.icsHost, line + 4);
    } else if (startsWith(line, "remove")) {
        takeBackMove(engine);
        takeBackMove(engine);
        restartAnalysisIfAsked(engine);
    } else if (startsWith(line, "undo")) {
        takeBackMove(engine);
        restartAnalysisIfAsked(engine);
    } else if (startsWith(line, "name ")) {
        opponentName(engine, line + 5);
    } else if (startsWith(line, "result ")) {
        result(engine, line);
    } else if (startsWith(line, "bk")) {
        bookInformation(engine);
    } else if (startsWith(line, "setboard ")) {
        setupPosition(engine, line + 9);
    } else if (startsWith(line, "?")) {
        requestStop(engine, 1);
    } else if (startsWith(line, "post")) {
        engine.post = 1;
    } else if (startsWith(line, "nopost")) {
        engine.post = 0;
    } else if (startsWith(line, "ana")) {
        if (engine.boardValid) think(engine, SearchAnalysing);
    } else if (startsWith(line, "rating ")) {
        int own = engine.self.rating, other = engine.opponentPlayer.rating;
        std::sscanf(line + 7, "%d %d", &own, &other);
        engine.self.rating = own;
        engine.opponentPlayer.rating = other;
    } else if (startsWith(line, "exit")) {
        requestStop(engine, 1);
    } else if (startsWith(line, "draw")) {
        considerDraw(engine, 0);
    } else if (startsWith(line, "computer")) {
        engine.opponentIsComputer = 1;
    } else if (startsWith(line, "easy")) {
        engine.ponder = 0;
    } else if (startsWith(line, "hard")) {
        engine.ponder = 1;
    } else if (startsWith(line, "new")) {
        if (setupPosition(engine, StartFen)) engine.playing = 1;
    } else if (startsWith(line, "force")) {
        engine.playing = 0;
        requestStop(engine, 1);
    } else if (startsWith(line, "sd ")) {
        engine.depthLimit = int(std::atol(line + 3));
        engine.moveTime = 0;
    } else if (startsWith(line, "st ")) {
        engine.moveTime = int(std::atol(line + 3)) * 100;
        engine.depthLimit = 0;
    } else if (startsWith(line, "ping ")) {
        sendText("pong %ld\n", std::atol(line + 5));
    } else if (startsWith(line, "variant")) {
        if (std::strstr(line, "normal"))
            engine.variant = 0;
        else if (std::strstr(line, "fischerandom"))
            engine.variant = 1;
    } else if (startsWith(line, "go")) {
        go(engine);
    } else if (startsWith(line, ".")) {
        searchStatus(engine);
    } else if (startsWith(line, "perft ")) {
        // Claimed here, before the option handler could take it for a move.
        countLeaves(engine, line, false);
    } else if (startsWith(line, "divide ")) {
        countLeaves(engine, line, true);
    } else if (startsWith(line, "eval") && (line[4] == '\0' || line[4] == ' ')) {
        // Only the word itself: evaluate_* option lines share the prefix.
        staticEvaluation(engine, line);
    } else {
        return 0;
    }
    return 1;
}

void sendEngineMove(Engine& engine, Move move) {
    if (!engine.gameInProgress) return;
    if (moveKind(move) == KindCastleKingSide) {
        sendText("move O-O\n");
    } else if (moveKind(move) == KindCastleQueenSide) {
        sendText("move O-O-O\n");
    } else {
        char text[6];
        formatMoveCoordinates(move, text);
        sendText("move %s\n", text);
    }
}
