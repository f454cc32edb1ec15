#include "search/root.h"

#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "book/book.h"
#include "driver/bench.h"
#include "driver/engine.h"
#include "driver/game.h"
#include "driver/output.h"
#include "driver/xboard.h"
#include "eval/evaluate.h"
#include "notation/movetext.h"
#include "platform/platform.h"
#include "search/alphabeta.h"
#include "search/thinking.h"
#include "search/timeman.h"

namespace {

constexpr int32_t MatedScore = -31762;  // below: the move loses to a forced mate

// A copy of the game board whose side pointers aim at its own records.
void copyBoard(Board& copy, const Board& board) {
    copy = board;
    bool whiteToMove = board.toMove == &board.white;
    copy.toMove = whiteToMove ? &copy.white : &copy.black;
    copy.opponent = whiteToMove ? &copy.black : &copy.white;
}

uint64_t packedMove(Move move, int32_t score) { return uint64_t(uint32_t(score)) << 32 | move; }

// The aspiration steps after the first window of +-50: 350 further, then the
// win bound, then the whole range.
int32_t lowerAlpha(int32_t alpha, int& step) {
    if (alpha < -MateBound + 1) return -Mate;
    if (step++ == 0) return alpha - 350 > -Mate ? alpha - 350 : -Mate;
    return step == 2 ? -MateBound : -Mate;
}
int32_t raiseBeta(int32_t beta, int& step) {
    if (beta >= MateBound) return Mate;
    if (step++ == 0) return beta + 350 < Mate ? beta + 350 : Mate;
    return step == 2 ? MateBound : Mate;
}
// A later root move that fails high over the best: 50, 350, the win bound,
// the whole range.
int32_t widenBeta(int32_t beta, int& step) {
    if (beta < MatedScore) return 1;
    if (beta >= MateBound) return Mate;
    switch (step++) {
        case 0: return beta + 50;
        case 1: return beta + 350 < MateBound ? beta + 350 : MateBound;
        case 2: return MateBound;
        default: return Mate;
    }
}

RootMove* rootMoveOf(RootSearch& root, Move move) {
    for (int i = 0; i < root.rootMoveCount; ++i) {
        if (root.rootMoves[i].move == move) return &root.rootMoves[i];
    }
    return &root.rootMoves[0];
}

// Verifies a book move by a short search, deeper with more time on the clock:
// false when the move scores below the side's minimum.
bool bookMoveHolds(Engine& engine, Board& board, Move move) {
    int depth = engine.engineClock > 360000   ? 12
                : engine.engineClock > 120000 ? 10
                : engine.engineClock > 60000  ? 8
                                              : 6;
    int minimum = board.toMove->colour == White ? engine.book_minwhite : engine.book_minblack;
    saveUndo(board);
    makeMove(board, move);
    int32_t score = 0;
    for (int d = 1; d <= depth; ++d) score = -alphaBeta(board, 1, d * OnePly, -Mate, Mate);
    unmakeMove(board);
    return score >= minimum;
}

// The opening book, before any search: true when a book move was chosen.
bool tryBook(Engine& engine, Board& board, int state) {
    RootSearch& root = engine.root;
    if (!engine.book_allowed || state != SearchThinking) return false;
    if (!engine.bookHit && board.ply >= 20) return false;
    char line[4096];
    Move move = bookChooseMove(engine, board, line, sizeof line);
    if (!move) return false;
    // Short of time (or told not to verify) the move goes out at once, unannounced.
    if (engine.book_verify && engine.engineClock >= 12000) {
        if (!bookMoveHolds(engine, board, move)) return false;
        if (engine.mode == ModeXboard && std::strlen(line) > 402) std::memcpy(line + 396, "...", 4);
        if (engine.post) sendText("%s\n", line);
    }
    root.bestRootMove = move;
    return true;
}

// A ponder search that already answered this position.
bool ponderHit(Engine& engine, const Board& board) {
    if (!engine.ponder || board.hashKey != engine.ponderKey || board.ply == 0) return false;
    if (engine.ponderTime < engine.deadline) {
        engine.deadline -= engine.ponderTime;
        return false;
    }
    engine.root.bestRootMove = engine.ponderResult;
    if (engine.icsMode && engine.kibitzText[0]) {
        int level = engine.opponentIsComputer ? engine.serverComputer : engine.serverHuman;
        if (level == 2) sendText("tellics kibitz %s\n", engine.kibitzText);
        if (level == 1) sendText("tellics whisper %s\n", engine.kibitzText);
    }
    return true;
}

void sortRootMoves(RootSearch& root) {
    RootMove* moves = root.rootMoves;
    bool byScore = root.iterationDepth == 2;
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < root.rootMoveCount; ++i) {
            RootMove& a = moves[i];
            RootMove& b = moves[i + 1];
            bool swap = byScore ? b.score > a.score
                                : a.move != root.bestRootMove &&
                                      (b.move == root.bestRootMove || a.nodes < b.nodes);
            if (swap) {
                RootMove held = a;
                a = b;
                b = held;
                swapped = true;
            }
        }
    }
}

// Searches one root move through the iteration's windows. Returns its score;
// stopped tells whether the search was interrupted.
int32_t searchRootMove(Engine& engine, Board& board, int index, int32_t best, int32_t previousScore,
                       int childDepth, bool& stopped) {
    RootSearch& root = engine.root;
    SearchStack& stack = *engine.search;
    RootMove& rootMove = root.rootMoves[index];
    Move move = rootMove.move;
    auto failLine = [&](int32_t score) {
        unmakeMove(board);
        rootMove.score = score;
        printThinking(engine, board, packedMove(move, score), 0, 1);
        saveUndo(board);
        makeMove(board, move);
    };
    saveUndo(board);
    makeMove(board, move);
    int32_t score;
    if (root.iterationDepth == 1) {
        score = -alphaBeta(board, 1, 0, -Mate, Mate);
    } else if (index == 0) {
        int32_t alpha = previousScore - 50 > -Mate ? previousScore - 50 : -Mate;
        int32_t beta = previousScore + 50 < Mate ? previousScore + 50 : Mate;
        int lowStep = 0, highStep = 0;
        score = -alphaBeta(board, 1, childDepth, -beta, -alpha);
        while (!((score > alpha || alpha == -Mate) && (score < beta || beta == Mate))) {
            if (stack.stopFlag) break;
            if (score <= alpha) {
                engine.canStop = 0;
                alpha = lowerAlpha(alpha, lowStep);
            } else {
                engine.canStop = 1;
                beta = raiseBeta(beta, highStep);
            }
            failLine(score);
            score = -alphaBeta(board, 1, childDepth, -beta, -alpha);
        }
        // A first move that drops needs time to find a replacement.
        if (!stack.stopFlag && score + 20 < root.bestRootScore) engine.canStop = 0;
    } else {
        int32_t alpha = best;
        int32_t beta = alpha == -MateBound ? 1 : alpha + 1;
        int step = 0, widenings = 0;
        score = -alphaBeta(board, 1, childDepth, -beta, -alpha);
        while (score >= beta && beta <= Mate - 1 && !stack.stopFlag) {
            beta = widenBeta(beta, step);
            failLine(score);
            engine.canStop = 0;
            if (++widenings >= 2) root.bestRootMove = move;
            score = -alphaBeta(board, 1, childDepth, -beta, -alpha);
        }
    }
    unmakeMove(board);
    stopped = stack.stopFlag != 0;
    return score;
}

// Iterative deepening over the root moves, then the final line and the
// resignation rule.
void iterate(Engine& engine, Board& board, int state, int maxIterations) {
    RootSearch& root = engine.root;
    SearchStack& stack = *engine.search;
    prepareSearch(engine, board);
    root.iterationDepth = 1;
    int32_t previousScore = 0;
    bool easyMove = false;
    while (!engine.stopRequested) {
        engine.canStop = root.iterationDepth > 1;
        stack.selDepth = stack.qsSelDepth = 0;
        int childDepth = root.iterationDepth * OnePly - OnePly;
        if (state == SearchThinking && root.iterationDepth > 1) {
            // All but one move lose to a mate: no need to look further.
            int alive = 0;
            Move survivor = 0;
            for (int i = 0; i < root.rootMoveCount; ++i) {
                if (!root.rootMoves[i].mated) {
                    ++alive;
                    survivor = root.rootMoves[i].move;
                }
            }
            if (alive == 1) {
                root.bestRootMove = survivor;
                return;
            }
        }
        sortRootMoves(root);
        for (int i = 0; i < root.rootMoveCount; ++i) root.rootMoves[i].nodes = 0;
        if (root.iterationDepth == 2 && root.rootMoveCount > 1 && state == SearchThinking &&
            root.rootMoves[0].score - root.rootMoves[1].score > engine.easyMoveMargin &&
            engine.engineClock - elapsedCentiseconds(engine) > 999) {
            // One move stands out: a third of the time will do.
            easyMove = true;
            engine.pollInterval = 0;
            engine.deadline /= 3;
        }
        int32_t best = NoScore;
        for (int i = 0; i < root.rootMoveCount && !engine.stopRequested; ++i) {
            RootMove& rootMove = root.rootMoves[i];
            if (rootMove.mated && root.bestRootScore >= MatedScore) continue;
            root.rootMoveIndex = i;
            root.currentRootMove = &rootMove;
            double nodesBefore = collectNodeCount(engine);
            bool stopped;
            int32_t score =
                searchRootMove(engine, board, i, best, previousScore, childDepth, stopped);
            if (stopped) break;
            rootMove.nodes = collectNodeCount(engine) - nodesBefore;
            rootMove.score = score;
            rootMove.mated = score < MatedScore;
            if (score <= best) continue;
            if (i != 0) {
                engine.canStop = 0;
                if (easyMove && root.iterationDepth > 1) {
                    easyMove = false;
                    engine.deadline *= 3;
                }
            }
            // A mate found with iterations to spare will not get shorter.
            if ((score > -MatedScore || score < MatedScore) && 32767 - score < root.iterationDepth)
                engine.stopRequested = 2;
            root.bestRootMove = rootMove.move;
            root.bestRootScore = score;
            extendVariation(root.rootPv, rootMove.move, score, childDepth, stack.plies[1].pv);
            printThinking(engine, board, packedMove(rootMove.move, score), 0, 0);
            previousScore = best = score;
        }
        root.iterationsDone += 1;
        rootMoveOf(root, root.bestRootMove)->bestIteration = root.iterationsDone;
        if (engine.timeExtended) break;
        if (state == SearchThinking && elapsedCentiseconds(engine) > 0.8 * engine.deadline) break;
        if (++root.iterationDepth > maxIterations) break;
    }
    printThinking(engine, board, packedMove(root.bestRootMove, root.bestRootScore), 1, 0);

    // Resign a lost game, but never on a mate score against a human.
    if (engine.resignAllowed && state == SearchThinking &&
        (root.bestRootScore > -MateBound || engine.opponentIsComputer) &&
        root.bestRootScore < engine.behavior_resign_value && root.iterationDepth > 7 &&
        engine.gameInProgress) {
        engine.gameInProgress = 0;
        sendText(engine.whitePlayer == &engine.self ? "0-1 {White resigned}\n"
                                                    : "1-0 {Black resigned}\n");
    }
}

void playBestMove(Engine& engine) {
    RootSearch& root = engine.root;
    sendEngineMove(engine, root.bestRootMove);
    if (!engine.gameInProgress || !playMoveIfValid(engine, root.bestRootMove)) return;
    // A quiet pawnless ending that the evaluation calls level: offer a draw.
    considerDraw(engine, 1);
}

}  // namespace

void think(Engine& engine, int state) {
    RootSearch& root = engine.root;
    SearchStack& stack = *engine.search;
    if (state == SearchThinking && checkGameEnd(engine)) {
        engine.searchState = SearchIdle;
        return;
    }
    engine.searchState = state;
    engine.stopRequested = 0;
    stack.stopFlag = 0;
    if (state == SearchThinking) engine.playing = 1;

    Board board;
    copyBoard(board, engine.board);
    BoardStack& moves = *board.stack;
    moves.moveLists[0] = moves.moveLists[1] = moves.moveLists[2] = moves.moveBuffer;

    int count = generateLegalMoves(board, 0);
    root.rootMoveCount = count;
    for (int i = 0; i < count; ++i) root.rootMoves[i] = {moves.moveLists[0][i].move, 0, 0, 0, 0};
    root.previousBestMove = root.bestRootMove;
    root.previousBestScore = root.bestRootScore;
    root.iterationsDone = 0;
    root.bestRootMove = count ? root.rootMoves[0].move : 0;
    root.rootPv.pvLength = 0;
    root.rootPieceCount = rootPieceCount = board.pieceCount;
    root.rootPly = board.ply;
    root.rootSearchState = state;

    // No move: nothing to search or play. A single move is played without a
    // search, except in analysis.
    bool search = count > 1 || (count == 1 && state == SearchAnalysing);
    if (search) {
        int maxIterations = engine.depthLimit;
        if (maxIterations == 0 || maxIterations >= engine.maxDepth)
            maxIterations = engine.maxDepth - 1;
        if (maxIterations < 1) maxIterations = 1;
        timeBudget(engine, board.ply, board.lastIrreversiblePly, root.previousBestScore);
        if (!tryBook(engine, board, state) &&
            !(state == SearchThinking && ponderHit(engine, board)))
            iterate(engine, board, state, maxIterations);
    }
    if (count > 0 && state == SearchThinking && engine.playing) playBestMove(engine);
    engine.searchState = SearchIdle;
}

void startPonder(Engine& engine) {
    engine.ponderResult = engine.ponderMove = 0;
    engine.ponderKey = 0;
    engine.ponderTime = 0;
    engine.kibitzText[0] = '\0';
    if (!engine.gameInProgress || !engine.ponder) return;
    if (engine.engineClock < 1000 && engine.opponentClock < 2000) return;
    if (engine.engineClock < 500) return;
    const PrincipalVariation& pv = engine.root.rootPv;
    Move move = pv.pvLength >= 2 ? pv.pvMoves[1] : 0;
    engine.ponderMove = move;
    Board& board = engine.board;
    if (!move || !undoHasRoom(board)) return;
    saveUndo(board);
    if (!isMoveLegal(board, move)) return;
    makeMove(board, move);
    engine.startCounter = int64_t(readCounter());
    engine.ponderKey = board.hashKey;
    think(engine, SearchPondering);
    unmakeMove(board);
    if (engine.canStop) {
        engine.ponderResult = engine.root.bestRootMove;
        engine.ponderTime = elapsedCentiseconds(engine);
    }
}
