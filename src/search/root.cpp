// The search driver: the root move list, iterative deepening with aspiration
// windows, the book move's check and pondering.
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "platform/platform.h"
#include "search/alphabeta.h"
#include "search/search.h"
#include "search/thinking.h"
#include "search/timeman.h"

namespace {

constexpr int32_t MatedScore = -31762;   // below: the move loses to a forced mate
constexpr int32_t EasyMoveMargin = 200;  // score gap that makes the best move an easy move

// A copy of the game board whose side pointers aim at its own records.
void copyBoard(Board& copy, const Board& board) {
    copy = board;
    bool whiteToMove = board.toMove == &board.white;
    copy.toMove = whiteToMove ? &copy.white : &copy.black;
    copy.opponent = whiteToMove ? &copy.black : &copy.white;
}

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

bool isOneOf(Move move, const Move* moves, int count) {
    for (int i = 0; i < count; ++i)
        if (moves[i] == move) return true;
    return false;
}

RootMove* rootMoveOf(RootSearch& root, Move move) {
    for (int i = 0; i < root.rootMoveCount; ++i) {
        if (root.rootMoves[i].move == move) return &root.rootMoves[i];
    }
    return &root.rootMoves[0];
}

// A book move checked by a short search: false when it scores below the
// offer's minimum.
bool bookMoveHolds(Search& search, Board& board, const BookOffer& offer) {
    saveUndo(board);
    makeMove(board, offer.move);
    int32_t score = 0;
    for (int d = 1; d <= offer.verifyDepth; ++d)
        score = -alphaBeta(search, board, 1, d * OnePly, -Mate, Mate);
    unmakeMove(board);
    return score >= offer.minimumScore;
}

// The host's book move, before any search: true when it was chosen.
bool tryBook(Search& search, Board& board, int state) {
    if (state != SearchThinking) return false;
    BookOffer offer = search.host->bookMove(board);
    if (!offer.move) return false;
    if (offer.verifyDepth && !bookMoveHolds(search, board, offer)) return false;
    search.root.bestRootMove = offer.move;
    return true;
}

// A ponder search that already answered this position.
bool ponderHit(Search& search, const Board& board) {
    if (!search.request.ponder || board.hashKey != search.ponderKey || board.ply == 0) return false;
    if (search.ponderTime < search.deadline) {
        search.deadline -= search.ponderTime;
        return false;
    }
    search.root.bestRootMove = search.ponderResult;
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
int32_t searchRootMove(Search& search, Board& board, int index, int32_t best, int32_t previousScore,
                       int childDepth, bool& stopped) {
    RootSearch& root = search.root;
    SearchStack& stack = search.stack;
    RootMove& rootMove = root.rootMoves[index];
    Move move = rootMove.move;
    auto failLine = [&](int32_t score, ThinkingKind kind) {
        unmakeMove(board);
        rootMove.score = score;
        reportThinking(search, board, move, score, kind);
        saveUndo(board);
        makeMove(board, move);
    };
    saveUndo(board);
    makeMove(board, move);
    int32_t score;
    if (root.iterationDepth == 1) {
        score = -alphaBeta(search, board, 1, 0, -Mate, Mate);
    } else if (index == 0) {
        int32_t alpha = previousScore - 50 > -Mate ? previousScore - 50 : -Mate;
        int32_t beta = previousScore + 50 < Mate ? previousScore + 50 : Mate;
        int lowStep = 0, highStep = 0;
        score = -alphaBeta(search, board, 1, childDepth, -beta, -alpha);
        while (!((score > alpha || alpha == -Mate) && (score < beta || beta == Mate))) {
            if (stack.stopFlag) break;
            ThinkingKind kind = score <= alpha ? ThinkingFailLow : ThinkingFailHigh;
            if (score <= alpha) {
                search.canStop = 0;
                alpha = lowerAlpha(alpha, lowStep);
            } else {
                search.canStop = 1;
                beta = raiseBeta(beta, highStep);
            }
            failLine(score, kind);
            score = -alphaBeta(search, board, 1, childDepth, -beta, -alpha);
        }
        // A first move that drops needs time to find a replacement.
        if (!stack.stopFlag && score + 20 < root.bestRootScore) search.canStop = 0;
    } else {
        int32_t alpha = best;
        int32_t beta = alpha == -MateBound ? 1 : alpha + 1;
        int step = 0, widenings = 0;
        score = -alphaBeta(search, board, 1, childDepth, -beta, -alpha);
        while (score >= beta && beta <= Mate - 1 && !stack.stopFlag) {
            beta = widenBeta(beta, step);
            failLine(score, ThinkingFailHigh);
            search.canStop = 0;
            if (++widenings >= 2) root.bestRootMove = move;
            score = -alphaBeta(search, board, 1, childDepth, -beta, -alpha);
        }
    }
    unmakeMove(board);
    stopped = stack.stopFlag != 0;
    return score;
}

// Iterative deepening over the root moves, then the final line. False when
// the search ended early with the one move that escapes a mate.
bool iterate(Search& search, Board& board, int state, int maxIterations) {
    RootSearch& root = search.root;
    SearchStack& stack = search.stack;
    prepareSearch(search, board);
    root.iterationDepth = 1;
    int32_t previousScore = 0;
    bool easyMove = false;
    while (!search.stopRequested) {
        search.canStop = root.iterationDepth > 1;
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
                return false;
            }
        }
        sortRootMoves(root);
        for (int i = 0; i < root.rootMoveCount; ++i) root.rootMoves[i].nodes = 0;
        if (root.iterationDepth == 2 && root.rootMoveCount > 1 && state == SearchThinking &&
            root.rootMoves[0].score - root.rootMoves[1].score > EasyMoveMargin &&
            search.limits->engineClock - elapsedCentiseconds(search) > 999) {
            // One move stands out: a third of the time will do.
            easyMove = true;
            search.pollInterval = 0;
            search.deadline /= 3;
        }
        int32_t best = NoScore;
        for (int i = 0; i < root.rootMoveCount && !search.stopRequested; ++i) {
            RootMove& rootMove = root.rootMoves[i];
            if (rootMove.mated && root.bestRootScore >= MatedScore) continue;
            root.rootMoveIndex = i;
            root.currentRootMove = &rootMove;
            double nodesBefore = collectNodeCount(search);
            bool stopped;
            int32_t score =
                searchRootMove(search, board, i, best, previousScore, childDepth, stopped);
            if (stopped) break;
            rootMove.nodes = collectNodeCount(search) - nodesBefore;
            rootMove.score = score;
            rootMove.mated = score < MatedScore;
            if (score <= best) continue;
            if (i != 0) {
                search.canStop = 0;
                if (easyMove && root.iterationDepth > 1) {
                    easyMove = false;
                    search.deadline *= 3;
                }
            }
            // A mate found with iterations to spare will not get shorter.
            if ((score > -MatedScore || score < MatedScore) && 32767 - score < root.iterationDepth)
                search.stopRequested = 2;
            root.bestRootMove = rootMove.move;
            root.bestRootScore = score;
            extendVariation(root.rootPv, rootMove.move, score, childDepth, stack.plies[1].pv);
            reportThinking(search, board, rootMove.move, score, ThinkingBest);
            previousScore = best = score;
        }
        root.iterationsDone += 1;
        rootMoveOf(root, root.bestRootMove)->bestIteration = root.iterationsDone;
        if (search.timeExtended) break;
        if (state == SearchThinking && elapsedCentiseconds(search) > 0.8 * search.deadline) break;
        if (++root.iterationDepth > maxIterations) break;
    }
    reportThinking(search, board, root.bestRootMove, root.bestRootScore, ThinkingFinal);
    return true;
}

}  // namespace

void initSearch(Search& search, BoardStack& moves, const SearchSettings& settings,
                SearchHost& host) {
    search = Search{};
    initSearchStack(search.stack);
    search.moves = &moves;
    search.settings = &settings;
    search.host = &host;
    search.state = SearchIdle;
    search.counterFrequency = int64_t(readCounterFrequency());
    search.startCounter = int64_t(readCounter());
}

SearchResult think(Search& search, const Board& gameBoard, const SearchRequest& request,
                   SearchLimits& limits) {
    RootSearch& root = search.root;
    const int state = request.state;
    search.limits = &limits;
    search.request = request;
    search.state = state;
    search.stopRequested = 0;
    search.stack.stopFlag = 0;

    Board board;
    copyBoard(board, gameBoard);
    BoardStack& moves = *board.stack;
    moves.moveLists[0] = moves.moveLists[1] = moves.moveLists[2] = moves.moveBuffer;

    int count = 0;
    for (int i = 0, legal = generateLegalMoves(board, 0); i < legal; ++i) {
        Move move = moves.moveLists[0][i].move;
        if (request.onlyMoveCount && !isOneOf(move, request.onlyMoves, request.onlyMoveCount))
            continue;
        root.rootMoves[count++] = {move, 0, 0, 0, 0};
    }
    root.rootMoveCount = count;
    root.previousBestMove = root.bestRootMove;
    root.previousBestScore = root.bestRootScore;
    root.iterationsDone = 0;
    root.bestRootMove = count ? root.rootMoves[0].move : 0;
    root.rootPv.pvLength = 0;
    root.rootPieceCount = rootPieceCount = board.pieceCount;
    root.rootPly = board.ply;
    root.rootSearchState = state;

    SearchResult result{};
    result.moveCount = count;
    // No move: nothing to search or play. A single move is played without a
    // search, except in analysis.
    if (count > 1 || (count == 1 && state == SearchAnalysing)) {
        int maxIterations = limits.depthLimit;
        if (maxIterations == 0 || maxIterations >= MaxPly) maxIterations = MaxPly - 1;
        if (maxIterations < 1) maxIterations = 1;
        timeBudget(search, gamePly(board), board.ply - board.lastIrreversiblePly,
                   root.previousBestScore);
        if (tryBook(search, board, state))
            result.fromBook = true;
        else if (state == SearchThinking && ponderHit(search, board))
            result.ponderHit = true;
        else
            result.searched = iterate(search, board, state, maxIterations);
    }
    search.state = SearchIdle;
    result.bestMove = root.bestRootMove;
    result.score = root.bestRootScore;
    return result;
}

Move predictedReply(const Search& search) {
    const PrincipalVariation& pv = search.root.rootPv;
    return pv.pvLength >= 2 ? pv.pvMoves[1] : 0;
}

void clearPonder(Search& search) {
    search.ponderResult = search.ponderMove = 0;
    search.ponderKey = 0;
    search.ponderTime = 0;
}

void ponderPosition(Search& search, const Board& board, const SearchRequest& request,
                    SearchLimits& limits) {
    search.startCounter = int64_t(readCounter());
    search.ponderKey = board.hashKey;
    SearchRequest pondering = request;
    pondering.state = SearchPondering;
    think(search, board, pondering, limits);
    if (search.canStop) {
        search.ponderResult = search.root.bestRootMove;
        search.ponderTime = elapsedCentiseconds(search);
    }
}

void ponder(Search& search, Board& board, const SearchRequest& request, SearchLimits& limits) {
    Move move = predictedReply(search);
    search.ponderMove = move;
    if (!move || !undoHasRoom(board)) return;
    saveUndo(board);
    if (!isMoveLegal(board, move)) return;
    makeMove(board, move);
    ponderPosition(search, board, request, limits);
    unmakeMove(board);
}

void requestStop(Search& search, int value) {
    search.stopRequested = value;
    search.stack.stopFlag = value;
}

double collectNodeCount(Search& search) {
    SearchStack& stack = search.stack;
    BoardStack& moves = *search.moves;
    stack.totalNodes += double(moves.makeCount) + double(moves.nullMoveCount);
    moves.makeCount = 0;
    moves.nullMoveCount = 0;
    stack.pollLimit = 10000;
    // Under a node limit the next poll comes no later than the limit.
    if (search.limits && search.limits->nodeLimit > 0) {
        double left = search.limits->nodeLimit - stack.totalNodes;
        if (left < stack.pollLimit) stack.pollLimit = left > 0 ? uint32_t(left) : 0;
    }
    return stack.totalNodes;
}
