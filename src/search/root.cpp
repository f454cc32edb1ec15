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
#include "search/threads.h"
#include "search/timeman.h"

namespace {

constexpr int32_t MatedScore = -31762;   // below: the move loses to a forced mate
constexpr int32_t EasyMoveMargin = 200;  // score gap that makes the best move an easy move
// No new iteration once this share of the budget is spent; less when the
// best move has stayed the same for StableIterations iterations, since a
// deeper look rarely changes it then.
constexpr double IterationShare = 0.8;
constexpr double StableIterationShare = 0.5;
constexpr int StableIterations = 4;

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

// The control's settings are the main thread's to change: a helper's
// iterations follow them.
void setCanStop(SearchThread& search, int value) {
    if (search.index == 0) search.control->canStop = value;
}

// The main thread stops when told, or after the iteration that found a
// mate; a helper when its stop flag is raised.
bool stopping(const SearchThread& search) {
    return search.index == 0 ? search.control->stopRequested != 0 : search.stack.stopFlag != 0;
}

RootMove* rootMoveOf(RootSearch& root, Move move) {
    for (int i = 0; i < root.rootMoveCount; ++i) {
        if (root.rootMoves[i].move == move) return &root.rootMoves[i];
    }
    return &root.rootMoves[0];
}

// A book move checked by a short search: false when it scores below the
// offer's minimum.
bool bookMoveHolds(SearchThread& search, Board& board, const BookOffer& offer) {
    saveUndo(board);
    makeMove(board, offer.move);
    int32_t score = 0;
    for (int d = 1; d <= offer.verifyDepth; ++d)
        score = -alphaBeta(search, board, 1, d * OnePly, -Mate, Mate);
    unmakeMove(board);
    return score >= offer.minimumScore;
}

// The host's book move, before any search: true when it was chosen.
bool tryBook(SearchThread& search, Board& board, int state) {
    if (state != SearchThinking) return false;
    BookOffer offer = search.control->host->bookMove(board);
    if (!offer.move) return false;
    if (offer.verifyDepth && !bookMoveHolds(search, board, offer)) return false;
    search.root.bestRootMove = offer.move;
    return true;
}

// A ponder search that already answered this position.
bool ponderHit(SearchThread& search, const Board& board) {
    SearchControl& control = *search.control;
    if (!control.request.ponder || board.hashKey != control.ponderKey || board.ply == 0)
        return false;
    if (control.ponderTime < control.deadline) {
        control.deadline -= control.ponderTime;
        return false;
    }
    search.root.bestRootMove = control.ponderResult;
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
int32_t searchRootMove(SearchThread& search, Board& board, int index, int32_t best,
                       int32_t previousScore, int childDepth, bool& stopped) {
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
                setCanStop(search, 0);
                alpha = lowerAlpha(alpha, lowStep);
            } else {
                setCanStop(search, 1);
                beta = raiseBeta(beta, highStep);
            }
            failLine(score, kind);
            score = -alphaBeta(search, board, 1, childDepth, -beta, -alpha);
        }
        // A first move that drops needs time to find a replacement.
        if (!stack.stopFlag && score + 20 < root.bestRootScore) setCanStop(search, 0);
    } else {
        int32_t alpha = best;
        int32_t beta = alpha == -MateBound ? 1 : alpha + 1;
        int step = 0, widenings = 0;
        score = -alphaBeta(search, board, 1, childDepth, -beta, -alpha);
        while (score >= beta && beta <= Mate - 1 && !stack.stopFlag) {
            beta = widenBeta(beta, step);
            failLine(score, ThinkingFailHigh);
            setCanStop(search, 0);
            if (++widenings >= 2) root.bestRootMove = move;
            score = -alphaBeta(search, board, 1, childDepth, -beta, -alpha);
        }
    }
    unmakeMove(board);
    stopped = stack.stopFlag != 0;
    return score;
}

// Iterative deepening over the root moves, then the final line. False when
// the search ended early with the one move that escapes a mate. A helper
// starts one iteration deeper when its index is odd, so that the threads
// spread over two depths, and leaves the clock, the reports and the
// decision to the main thread.
bool iterate(SearchThread& search, Board& board, int state, int maxIterations) {
    RootSearch& root = search.root;
    SearchStack& stack = search.stack;
    SearchControl& control = *search.control;
    const bool main = search.index == 0;
    prepareSearch(search, board);
    root.iterationDepth = main ? 1 : 1 + (search.index & 1);
    int32_t previousScore = 0;
    bool easyMove = false;
    Move lastBest = 0;
    int stable = 0;
    auto finish = [&] {
        if (main) stopHelpers(search);
    };
    while (!stopping(search)) {
        setCanStop(search, root.iterationDepth > 1);
        stack.selDepth = stack.qsSelDepth = 0;
        int childDepth = root.iterationDepth * OnePly - OnePly;
        if (main && state == SearchThinking && root.iterationDepth > 1) {
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
                finish();
                return false;
            }
        }
        sortRootMoves(root);
        for (int i = 0; i < root.rootMoveCount; ++i) root.rootMoves[i].nodes = 0;
        if (main && root.iterationDepth == 2 && root.rootMoveCount > 1 && state == SearchThinking &&
            root.rootMoves[0].score - root.rootMoves[1].score > EasyMoveMargin &&
            control.limits->engineClock - elapsedCentiseconds(control) > 999) {
            // One move stands out: a third of the time will do.
            easyMove = true;
            control.pollInterval = 0;
            control.deadline /= 3;
        }
        int32_t best = NoScore;
        for (int i = 0; i < root.rootMoveCount && !stopping(search); ++i) {
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
                setCanStop(search, 0);
                if (easyMove && root.iterationDepth > 1) {
                    easyMove = false;
                    control.deadline *= 3;
                }
            }
            // A mate found with iterations to spare will not get shorter.
            if (main && (score > -MatedScore || score < MatedScore) &&
                32767 - score < root.iterationDepth)
                control.stopRequested = 2;
            root.bestRootMove = rootMove.move;
            root.bestRootScore = score;
            extendVariation(root.rootPv, rootMove.move, score, childDepth, stack.plies[1].pv);
            reportThinking(search, board, rootMove.move, score, ThinkingBest);
            previousScore = best = score;
        }
        root.iterationsDone += 1;
        rootMoveOf(root, root.bestRootMove)->bestIteration = root.iterationsDone;
        if (main && control.timeExtended) break;
        stable = root.bestRootMove == lastBest ? stable + 1 : 0;
        lastBest = root.bestRootMove;
        const double share = stable >= StableIterations ? StableIterationShare : IterationShare;
        if (main && state == SearchThinking &&
            elapsedCentiseconds(control) > share * control.deadline)
            break;
        if (++root.iterationDepth > maxIterations) break;
    }
    finish();
    reportThinking(search, board, root.bestRootMove, root.bestRootScore, ThinkingFinal);
    return true;
}

// The lines of the iteration, best first: those with exact scores, at most
// lines of them.
void reportLines(SearchThread& search, Board& board, int lines, bool final) {
    RootSearch& root = search.root;
    for (int k = 0; k < lines && k < root.rootMoveCount && root.rootMoves[k].exact; ++k)
        reportLine(search, board, root.rootMoves[k], k + 1, final);
}

// Iterative deepening of the main thread with several best lines: each
// iteration searches the first `lines` moves with the whole window, and
// every later move with a null window at the weakest of the lines, again
// with the window above it when it beats that line. The best line decides.
bool iterateLines(SearchThread& search, Board& board, int state, int maxIterations, int lines) {
    RootSearch& root = search.root;
    SearchStack& stack = search.stack;
    SearchControl& control = *search.control;
    prepareSearch(search, board);
    if (lines > root.rootMoveCount) lines = root.rootMoveCount;
    for (root.iterationDepth = 1; !control.stopRequested; ++root.iterationDepth) {
        control.canStop = root.iterationDepth > 1;
        stack.selDepth = stack.qsSelDepth = 0;
        const int childDepth = root.iterationDepth * OnePly - OnePly;
        for (int i = 0; i < root.rootMoveCount && !control.stopRequested; ++i) {
            RootMove& rootMove = root.rootMoves[i];
            root.rootMoveIndex = i;
            root.currentRootMove = &rootMove;
            // The weakest line's score: a move must beat it to be a line.
            const int32_t floor = i < lines ? -Mate : root.rootMoves[lines - 1].score;
            saveUndo(board);
            makeMove(board, rootMove.move);
            int32_t score = floor == -Mate
                                ? -alphaBeta(search, board, 1, childDepth, -Mate, Mate)
                                : -alphaBeta(search, board, 1, childDepth, -floor - 1, -floor);
            if (floor != -Mate && score > floor && !stack.stopFlag)
                score = -alphaBeta(search, board, 1, childDepth, -Mate, -floor);
            unmakeMove(board);
            if (stack.stopFlag) break;
            rootMove.score = score;
            rootMove.lineDepth = root.iterationDepth;
            rootMove.exact = i < lines || score > floor;
            rootMove.mated = score < MatedScore;
            if (rootMove.exact)
                extendVariation(rootMove.line, rootMove.move, score, childDepth, stack.plies[1].pv);
            // A new line takes its place among the lines at once.
            for (int k = i; k > 0 && root.rootMoves[k].score > root.rootMoves[k - 1].score; --k) {
                RootMove held = root.rootMoves[k];
                root.rootMoves[k] = root.rootMoves[k - 1];
                root.rootMoves[k - 1] = held;
            }
        }
        const RootMove& best = root.rootMoves[0];
        root.bestRootMove = best.move;
        root.bestRootScore = best.score;
        root.rootPv = best.line;
        if (!stack.stopFlag) {
            root.iterationsDone += 1;
            reportLines(search, board, lines, false);
        }
        if (state == SearchThinking && elapsedCentiseconds(control) > 0.8 * control.deadline) break;
        if (root.iterationDepth >= maxIterations) break;
    }
    stopHelpers(search);
    reportLines(search, board, lines, true);
    return true;
}

// The root move list of the position: the legal moves, or those of them
// that the request names.
int listRootMoves(SearchThread& search, Board& board, const SearchRequest& request) {
    RootSearch& root = search.root;
    BoardStack& moves = *board.stack;
    int count = 0;
    for (int i = 0, legal = generateLegalMoves(board, 0); i < legal; ++i) {
        Move move = moves.moveLists[0][i].move;
        if (request.onlyMoveCount && !isOneOf(move, request.onlyMoves, request.onlyMoveCount))
            continue;
        RootMove& rootMove = root.rootMoves[count++];
        rootMove = RootMove{};
        rootMove.move = move;
    }
    root.rootMoveCount = count;
    return count;
}

// The thread's root for a search: its moves, no iteration done, the first
// move as the best for now. Returns the number of root moves.
int setUpRoot(SearchThread& search, const SearchRequest& request, int state) {
    RootSearch& root = search.root;
    Board& board = search.board;
    const int count = listRootMoves(search, board, request);
    root.iterationsDone = 0;
    root.bestRootMove = count ? root.rootMoves[0].move : 0;
    root.rootPv.pvLength = 0;
    root.rootPieceCount = search.eval.rootPieceCount = board.pieceCount;
    root.rootPly = board.ply;
    root.rootSearchState = state;
    return count;
}

// The thread's board: a copy of board on the thread's own undo records, with
// the game's history that the repetition test reads.
void copyRootBoard(SearchThread& search, const Board& board) {
    Board& copy = search.board;
    BoardStack& moves = search.moves;
    const BoardStack& from = *board.stack;
    copy = board;
    bool whiteToMove = board.toMove == &board.white;
    copy.toMove = whiteToMove ? &copy.white : &copy.black;
    copy.opponent = whiteToMove ? &copy.black : &copy.white;
    copy.stack = &moves;
    if (&from != &moves) {
        int records = StackMargin + board.ply + 1;
        if (records > StackMargin + MaxGame) records = StackMargin + MaxGame;
        std::memcpy(moves.undoStore, from.undoStore, size_t(records) * sizeof(UndoRecord));
        for (int colour = Black; colour <= White; ++colour) {
            moves.kingStart[colour] = from.kingStart[colour];
            moves.rookStartKingSide[colour] = from.rookStartKingSide[colour];
            moves.rookStartQueenSide[colour] = from.rookStartQueenSide[colour];
        }
    }
    moves.makeCount = moves.nullMoveCount = 0;
    moves.moveLists[0] = moves.moveLists[1] = moves.moveLists[2] = moves.moveBuffer;
}

}  // namespace

void initSearch(Search& search, const SearchSettings& settings, SearchHost& host) {
    search = Search{};
    SearchControl& control = search.control;
    control.settings = &settings;
    control.host = &host;
    control.state = SearchIdle;
    control.counterFrequency = int64_t(readCounterFrequency());
    control.startCounter = int64_t(readCounter());
    initSearchThread(search.main, control, 0);
    search.threadCount = 1;
}

SearchResult think(Search& search, const Board& gameBoard, const SearchRequest& request,
                   SearchLimits& limits) {
    SearchControl& control = search.control;
    SearchThread& main = search.main;
    RootSearch& root = main.root;
    const int state = request.state;
    control.limits = &limits;
    control.request = request;
    control.state = state;
    control.stopRequested = 0;
    main.stack.stopFlag = 0;

    copyRootBoard(main, gameBoard);
    Board& board = main.board;
    root.previousBestMove = root.bestRootMove;
    root.previousBestScore = root.bestRootScore;
    const int count = setUpRoot(main, request, state);

    SearchResult result{};
    result.moveCount = count;
    // No move: nothing to search or play. A single move is played without a
    // search, except in analysis.
    if (count > 1 || (count == 1 && state == SearchAnalysing)) {
        int maxIterations = limits.depthLimit;
        if (maxIterations == 0 || maxIterations >= MaxPly) maxIterations = MaxPly - 1;
        if (maxIterations < 1) maxIterations = 1;
        timeBudget(main, gamePly(board), board.ply - board.lastIrreversiblePly,
                   root.previousBestScore);
        if (tryBook(main, board, state)) {
            result.fromBook = true;
        } else if (state == SearchThinking && ponderHit(main, board)) {
            result.ponderHit = true;
        } else {
            // The table's generation moves on before any thread probes it.
            control.table.generation = uint8_t(control.table.generation + 1);
            startHelpers(main, board, maxIterations);
            const int lines = control.settings->search_multipv;
            result.searched = lines > 1 && count > 1
                                  ? iterateLines(main, board, state, maxIterations, lines)
                                  : iterate(main, board, state, maxIterations);
        }
    }
    control.state = SearchIdle;
    result.bestMove = root.bestRootMove;
    result.score = root.bestRootScore;
    return result;
}

void prepareHelper(SearchThread& helper, const Board& board) { copyRootBoard(helper, board); }

void searchAsHelper(SearchThread& helper, int maxIterations) {
    SearchControl& control = *helper.control;
    helper.stack.stopFlag = 0;
    const int count = setUpRoot(helper, control.request, control.state);
    helper.root.bestRootScore = 0;
    if (count) iterate(helper, helper.board, control.state, maxIterations);
}

Move predictedReply(const Search& search) {
    const PrincipalVariation& pv = search.main.root.rootPv;
    return pv.pvLength >= 2 ? pv.pvMoves[1] : 0;
}

void clearPonder(Search& search) {
    SearchControl& control = search.control;
    control.ponderResult = control.ponderMove = 0;
    control.ponderKey = 0;
    control.ponderTime = 0;
}

void ponderPosition(Search& search, const Board& board, const SearchRequest& request,
                    SearchLimits& limits) {
    SearchControl& control = search.control;
    control.startCounter = int64_t(readCounter());
    control.ponderKey = board.hashKey;
    SearchRequest pondering = request;
    pondering.state = SearchPondering;
    think(search, board, pondering, limits);
    if (control.canStop) {
        control.ponderResult = search.main.root.bestRootMove;
        control.ponderTime = elapsedCentiseconds(control);
    }
}

void ponder(Search& search, Board& board, const SearchRequest& request, SearchLimits& limits) {
    Move move = predictedReply(search);
    search.control.ponderMove = move;
    if (!move || !undoHasRoom(board)) return;
    saveUndo(board);
    if (!isMoveLegal(board, move)) return;
    makeMove(board, move);
    ponderPosition(search, board, request, limits);
    unmakeMove(board);
}

void requestStop(SearchThread& search, int value) {
    search.control->stopRequested = value;
    search.stack.stopFlag = value;
    if (value == 1) signalHelpers(search);
}

void requestStop(Search& search, int value) { requestStop(search.main, value); }

double collectNodeCount(SearchThread& search) {
    SearchStack& stack = search.stack;
    BoardStack& moves = search.moves;
    stack.totalNodes += double(moves.makeCount) + double(moves.nullMoveCount);
    moves.makeCount = 0;
    moves.nullMoveCount = 0;
    stack.pollLimit = 10000;
    // Under a node limit the next poll comes no later than the limit.
    const SearchLimits* limits = search.control->limits;
    if (search.index == 0 && limits && limits->nodeLimit > 0) {
        double left = limits->nodeLimit - stack.totalNodes - helperNodeCount(search);
        if (left < stack.pollLimit) stack.pollLimit = left > 0 ? uint32_t(left) : 0;
    }
    return stack.totalNodes;
}

double searchNodeCount(SearchThread& main) {
    return collectNodeCount(main) + helperNodeCount(main);
}

double searchNodeCount(Search& search) { return searchNodeCount(search.main); }
