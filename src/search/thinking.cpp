#include "search/thinking.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/bench.h"
#include "driver/engine.h"
#include "driver/output.h"
#include "notation/movetext.h"
#include "search/searchstack.h"
#include "search/timeman.h"
#include "search/tt.h"

namespace {

constexpr int MaxPrinted = MaxVariation - 1;  // moves printed or added from the table
constexpr int PvTextLimit = PvTextSize - 20;  // room for one more move number and SAN

// Appends formatted text at length, never past size; returns the new length.
int appendText(char* buffer, int size, int length, const char* format, ...) VOSTREL_PRINTF(4, 5);
int appendText(char* buffer, int size, int length, const char* format, ...) {
    if (length >= size - 1) return length;
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(buffer + length, size_t(size - length), format, arguments);
    va_end(arguments);
    if (written < 0) return length;
    return length + written < size - 1 ? length + written : size - 1;
}

// The side to move, in check, has no reply. The evasions go to a scratch list
// at the far end of the move buffer, which the search does not reach while
// the root prints; the list pointers are put back.
bool isMated(Board& board) {
    BoardStack& stack = *board.stack;
    constexpr int list = MoveListCount - 2;
    MoveEntry* saved[2] = {stack.moveLists[list], stack.moveLists[list + 1]};
    stack.moveLists[list] = stack.moveBuffer + MoveCapacity - 256;
    int count = generateEvasions(board, list);
    stack.moveLists[list] = saved[0];
    stack.moveLists[list + 1] = saved[1];
    return count == 0;
}

// Moves to mate, or to being mated ("M-"), counted from the engine's side.
void formatMate(char* text, int size, int score) {
    if (score >= 1)
        std::snprintf(text, size_t(size), "M%d", (Mate - score) / 2 + 1);
    else
        std::snprintf(text, size_t(size), "M-%d", (score + Mate) / 2);
}

}  // namespace

void formatThinkingClock(char* text, int size, int centiseconds) {
    if (centiseconds < 0) centiseconds = 0;
    if (centiseconds < 6000)
        std::snprintf(text, size_t(size), "%3d.%02d", centiseconds / 100, centiseconds % 100);
    else
        std::snprintf(text, size_t(size), "%3d:%02d", centiseconds / 6000, centiseconds / 100 % 60);
}

int moveTextLong(Move move, char* buffer) {
    char* out = buffer;
    int piece = movePiece(move);
    if (piece != Pawn) *out++ = pieceLetters[piece];
    *out++ = char('a' + fileOf(moveFrom(move)));
    *out++ = char('1' + rankOf(moveFrom(move)));
    if (moveCaptured(move)) *out++ = 'x';
    *out++ = char('a' + fileOf(moveTo(move)));
    *out++ = char('1' + rankOf(moveTo(move)));
    if (int promotion = movePromotion(move)) *out++ = pieceLetters[promotion];
    int length = int(out - buffer);
    *out++ = ' ';
    *out = '\0';
    return length;
}

void pvText(const PrincipalVariation& variation, Board& board, char* buffer) {
    buffer[0] = '\0';
    int count = variation.pvLength < MaxPrinted ? variation.pvLength : MaxPrinted;
    if (count <= 0) return;
    int length = 0;
    if (board.toMove->colour == Black)
        length = appendText(buffer, PvTextSize, length, "%d...", board.ply / 2 + 1);
    int made = 0;
    for (int i = 0; i < count && length <= PvTextLimit; ++i) {
        Move move = variation.pvMoves[i];
        // A variation is made of legal moves; anything else ends the text
        // before the move is named, since its SAN would mean nothing.
        if (!undoHasRoom(board) || !isMoveLegal(board, move)) break;
        if (board.toMove->colour == White)
            length = appendText(buffer, PvTextSize, length, "%d.", (board.ply + 1) / 2 + 1);
        char san[24];
        formatMoveSan(board, move, san);
        length = appendText(buffer, PvTextSize, length, "%s", san);
        saveUndo(board);
        makeMove(board, move);
        ++made;
        if (board.checkInfo && length > 0 && buffer[length - 1] == ' ') {
            buffer[length - 1] = '+';
            length = appendText(buffer, PvTextSize, length, " ");
        }
    }
    // The mate mark turns the check's "+ " into "++".
    if (length >= 2 && board.checkInfo && buffer[length - 1] == ' ' && isMated(board))
        buffer[length - 1] = '+';
    while (made-- > 0) unmakeMove(board);
}

void pvHashExtract(PrincipalVariation& variation, Board& board) {
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
            const TableEntry* entry = findTableEntry(board);
            if (!entry || (entry->flags & 3) != 3 || entry->move == 0) break;
            Move move = expandTableMove(board, entry->move);
            // The check is only 32 bits: a foreign entry's move must not be played
            // unless it is legal here, check or no check.
            if (!undoHasRoom(board) || !isMoveLegal(board, move)) break;
            int16_t score = entry->score;
            int16_t depth = int16_t(entry->depth * OnePly);
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

void prepareSearch(Engine& engine, Board& board) {
    SearchStack& stack = *engine.search;
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
    int last = engine.maxDepth < MaxPly ? engine.maxDepth : MaxPly;
    for (int ply = 0; ply + 2 < last; ++ply) stack.plies[ply] = stack.plies[ply + 2];

    hitTotal = 0;
    // The repetition test looks back through the undo records, the root's own included.
    if (undoHasRoom(board)) saveUndo(board);
    ttGeneration = uint8_t(ttGeneration + 1);
}

void printThinking(Engine& engine, Board& board, uint64_t bestMove, int finalLine, int failLine) {
    if (!engine.post) return;
    int score = engine.positionMarker ? 0 : int(int32_t(bestMove >> 32));
    int sign = engine.pv_objective_score && board.toMove->colour == Black ? -1 : 1;
    int elapsed = elapsedCentiseconds(engine);
    const SearchStack& stack = *engine.search;

    char depthText[16], scoreText[16], shortScore[24], nodesText[32], timeText[24];
    char clockText[24], hitsText[16], rateText[16];
    std::snprintf(depthText, sizeof depthText, "%d", engine.root.iterationDepth);
    std::snprintf(scoreText, sizeof scoreText, "%d", score * sign);
    bool mate = std::abs(score) >= MateBound;
    if (mate)
        formatMate(shortScore, sizeof shortScore, score);
    else
        std::snprintf(shortScore, sizeof shortScore, "%.2f", double(score * sign) / 100.0);
    double nodes = collectNodeCount(engine);
    std::snprintf(nodesText, sizeof nodesText, "%.0f", nodes);
    std::snprintf(timeText, sizeof timeText, "%.0f", double(elapsed));
    formatThinkingClock(clockText, sizeof clockText, elapsed);
    std::snprintf(hitsText, sizeof hitsText, "%d", int(stack.tablebaseHits));
    double seconds = double(elapsed) / 100.0;
    double rate = nodes * 0.001 / (seconds > 0.01 ? seconds : 0.01);
    std::snprintf(rateText, sizeof rateText, "%d", rate < 2e9 ? int(rate) : 2000000000);

    PrincipalVariation variation;
    if (failLine) {
        variation.pvLength = 1;
        variation.pvMoves[0] = Move(bestMove);
        variation.pvScores[0] = 0;
        variation.pvDepths[0] = 0;
    } else {
        variation = engine.root.rootPv;
        if (engine.pv_hash_extract) pvHashExtract(variation, board);
    }

    char moves[PvTextSize];
    pvText(variation, board, moves);
    char variationText[PvTextSize];
    int length = 0;
    variationText[0] = '\0';
    if (engine.root.rootSearchState == SearchPondering && engine.ponderMove) {
        char ponder[16];
        moveTextLong(engine.ponderMove, ponder);
        ponder[std::strcspn(ponder, " ")] = '\0';
        length = appendText(variationText, PvTextSize, length, "(%s) ", ponder);
    }
    appendText(variationText, PvTextSize, length, "%s", moves);

    char line[PvTextSize + 128];
    if (mate && engine.pv_show_mate)
        std::snprintf(line, sizeof line, "%s %s %s %s [%s] %s", depthText, scoreText, timeText,
                      nodesText, shortScore, variationText);
    else
        std::snprintf(line, sizeof line, "%s %s %s %s %s", depthText, scoreText, timeText,
                      nodesText, variationText);
    // xboard keeps thinking lines short.
    if (engine.mode == ModeXboard && std::strlen(line) > 402) std::strcpy(line + 396, "...");
    sendText("%s\n", line);

    if (!finalLine || !engine.icsMode) return;
    char summary[PvTextSize];
    // A variation near the buffer's size is cut short; the line above had it whole.
    appendText(summary, PvTextSize, 0, "Score=%s Depth=%s/%d kNps=%s Time=%s TB=%s PV=%s",
               shortScore, depthText, stack.qsSelDepth, rateText,
               clockText + (clockText[0] == ' ' ? 1 : 0), hitsText, variationText);
    if (engine.searchState == SearchPondering) {
        // Sent only if the prediction comes true.
        copyField(engine.kibitzText, sizeof engine.kibitzText, summary);
        return;
    }
    int channel = engine.opponentIsComputer ? engine.serverComputer : engine.serverHuman;
    if (channel == 2)
        sendText("tellics kibitz %s\n", summary);
    else if (channel == 1)
        sendText("tellics whisper %s\n", summary);
}
