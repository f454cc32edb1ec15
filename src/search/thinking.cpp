#include "search/thinking.h"

#include "board/makemove.h"
#include "board/movegen.h"
#include "search/search.h"
#include "search/tt.h"

namespace {

constexpr int MaxPrinted = MaxVariation - 1;  // moves a thinking line shows at most

}  // namespace

void pvHashExtract(const TranspositionTable& table, PrincipalVariation& variation, Board& board) {
    uint64_t keys[MaxVariation * 2];
    int count = variation.pvLength < MaxVariation ? variation.pvLength : MaxVariation;
    if (count < 0) count = 0;
    int made = 0;
    bool valid = true;
    for (int i = 0; i < count; ++i) {
        Move move = variation.pvMoves[i];
        if (!undoHasRoom(board) || !isMoveLegal(board, move)) {
            valid = false;
            break;
        }
        saveUndo(board);
        makeMove(board, move);
        keys[made++] = board.hashKey;
    }
    if (valid) {
        int length = count;
        for (;;) {
            TableEntry entry;
            if (!readTableEntry(table, board, entry) || (entry.flags & 3) != 3 || entry.move == 0)
                break;
            Move move = expandTableMove(board, entry.move);
            // The check is only 32 bits: a foreign entry's move must not be played
            // unless it is legal here, check or no check.
            if (!undoHasRoom(board) || !isMoveLegal(board, move)) break;
            int16_t score = entry.score;
            int16_t depth = int16_t(entry.depth * OnePly);
            saveUndo(board);
            makeMove(board, move);
            keys[made++] = board.hashKey;
            if (length >= MaxPrinted) break;
            variation.pvMoves[length] = move;
            variation.pvScores[length] = score;
            variation.pvDepths[length] = depth;
            variation.pvLength = ++length;
            bool repeated = false;
            for (int i = 0; i < made - 1; ++i) repeated |= keys[i] == board.hashKey;
            if (repeated) break;
        }
    }
    while (made-- > 0) unmakeMove(board);
}

void prepareSearch(SearchThread& search, Board& board) {
    SearchStack& stack = search.stack;
    stack.pollLimit = 1000;
    stack.stopFlag = 0;
    stack.totalNodes = 0;
    board.stack->makeCount = 0;
    board.stack->nullMoveCount = 0;
    stack.tablebaseProbes = 0;
    stack.tablebaseHits = 0;
    stack.pollCount = 0;
    board.stack->moveLists[0] = board.stack->moveBuffer;

    // Killers and threats found two plies deeper last time belong to the same
    // side to move as the new root's records.
    for (int ply = 0; ply + 2 < MaxPly; ++ply) stack.plies[ply] = stack.plies[ply + 2];

    stack.hitTotal = 0;
    // The repetition test looks back through the undo records, the root's own included.
    if (undoHasRoom(board)) saveUndo(board);
}

namespace {

// Fills the line's common fields and hands it to the host; the variation is
// lengthened from the table when it is a whole line.
void sendLine(SearchThread& search, Board& board, ThinkingLine& line, PrincipalVariation& variation,
              bool wholeLine) {
    const SearchControl& control = *search.control;
    line.centiseconds = elapsedCentiseconds(control);
    line.nodes = searchNodeCount(search);
    line.selectiveDepth = search.stack.qsSelDepth;
    line.tablebaseHits = search.stack.tablebaseHits;
    if (wholeLine && control.settings->pv_hash_extract)
        pvHashExtract(control.table, variation, board);
    line.variation = &variation;
    line.board = &board;
    line.state = search.root.rootSearchState;
    line.ponderMove = control.ponderMove;
    control.host->thinking(line);
}

bool reportsThinking(const SearchThread& search) {
    return search.index == 0 && search.control->host->wantsThinking();
}

}  // namespace

void reportThinking(SearchThread& search, Board& board, Move move, int32_t score,
                    ThinkingKind kind) {
    if (!reportsThinking(search)) return;
    ThinkingLine line;
    line.depth = search.root.iterationDepth;
    line.score = score;
    const bool failed = kind == ThinkingFailLow || kind == ThinkingFailHigh;
    PrincipalVariation variation;
    if (failed) {
        variation.pvLength = 1;
        variation.pvMoves[0] = move;
        variation.pvScores[0] = 0;
        variation.pvDepths[0] = 0;
    } else {
        variation = search.root.rootPv;
    }
    line.final = kind == ThinkingFinal;
    line.bound = kind == ThinkingFailLow    ? Bound::Upper
                 : kind == ThinkingFailHigh ? Bound::Lower
                                            : Bound::Exact;
    sendLine(search, board, line, variation, !failed);
}

void reportLine(SearchThread& search, Board& board, const RootMove& move, int rank, bool final) {
    if (!reportsThinking(search)) return;
    ThinkingLine line;
    line.depth = move.lineDepth;
    line.score = move.score;
    line.final = final;
    line.multiPv = rank;
    PrincipalVariation variation = move.line;
    sendLine(search, board, line, variation, true);
}
