#include "driver/game.h"

#include <cstdio>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/engine.h"
#include "driver/settings.h"
#include "eval/thin.h"
#include "notation/fen.h"
#include "notation/movetext.h"

namespace {

// One result per game: every announcement ends the game.
void announce(Game& game, const char* line) {
    if (!game.gameInProgress) return;
    game.resultLine = line;
    game.gameInProgress = 0;
}

bool isThirdRepetition(const Board& board) {
    const UndoRecord* undo = board.stack->undo;
    int count = 1;
    // Same side to move, and only since the last capture or pawn move.
    for (int p = board.ply - 4; p >= board.lastIrreversiblePly; p -= 2)
        if (undo[p].hashKey == board.hashKey && ++count == 3) return true;
    return false;
}

bool isInsufficientMaterial(const Board& board) {
    return board.pieceCount <= 3 &&
           !((board.white.materialSignature | board.black.materialSignature) &
             SignaturePawnsRooksQueens);
}

// A pawnless ending that has gone quiet and that the evaluation scores as
// level.
bool isRecognisedDraw(const Board& board) {
    if (board.white.pawns | board.black.pawns) return false;
    if (fiftyMoveCount(board) <= 4) return false;
    int32_t score = evaluatePawnless(board, board.white.material - board.black.material);
    return score > -40 && score < 40;
}

}  // namespace

int checkGameEnd(Game& game) {
    if (!game.gameInProgress) return 1;
    Board& board = game.board;
    const bool whiteToMove = board.toMove->colour == White;
    if (generateMoves(board) == 0) {
        if (board.checkInfo)
            announce(game, whiteToMove ? "0-1 {Checkmate}" : "1-0 {Checkmate}");
        else
            announce(game, "1/2-1/2 {Stalemate}");
    }
    if (fiftyMoveCount(board) >= 100) announce(game, "1/2-1/2 {ScoreDraw by 50 move rule}");
    if (isThirdRepetition(board)) announce(game, "1/2-1/2 {ScoreDraw by repetition}");
    if (isInsufficientMaterial(board))
        announce(game, "1/2-1/2 {ScoreDraw by insufficient material}");
    return 0;
}

int considerDraw(Game& game, const Settings& settings, int32_t score, int offer) {
    if (!game.gameInProgress) return 0;
    const Board& board = game.board;
    if (offer) {
        if (!settings.behavior_offer_remis) return 0;
        // Unsigned, so that a distance made negative by take-backs counts as large.
        if (unsigned(board.ply - game.lastDrawOfferPly) < 10u) return 0;
    } else if (!settings.behavior_accept_remis) {
        return 0;
    }
    if (score > 50) return 0;
    // An offer is accepted by offering a draw in turn.
    if (!offer && score <= 0) return 1;
    if (!isRecognisedDraw(board)) return 0;
    if (offer) game.lastDrawOfferPly = board.ply;
    return 1;
}

void initGame(Game& game) {
    std::memset(&game, 0, sizeof game);
    initBoardStack(game.stack);
    std::snprintf(game.self.name, sizeof game.self.name, "%s", EngineName);
    std::snprintf(game.opponent.name, sizeof game.opponent.name, "%s", "Player X");
    setPlayerColours(game, 0);
    std::snprintf(game.startFen, sizeof game.startFen, "%s", "no fen");
}

void setPlayerColours(Game& game, int engineIsWhite) {
    game.whitePlayer = engineIsWhite ? &game.self : &game.opponent;
    game.blackPlayer = engineIsWhite ? &game.opponent : &game.self;
}

int setupGame(Game& game, const char* text, char* message) {
    game.resultLine = nullptr;
    std::snprintf(game.startFen, sizeof game.startFen, "%s", text);
    if (!parseFen(game.board, game.stack, game.startFen, message)) {
        // The board now holds the rejected placement: nothing may play on it.
        game.boardValid = 0;
        game.gameInProgress = 0;
        return 0;
    }
    game.boardValid = 1;
    game.lastDrawOfferPly = 0;
    game.gameInProgress = 1;
    game.resignAllowed = 1;
    setPlayerColours(game, game.board.toMove->colour == Black);
    const Board& board = game.board;
    game.positionMarker =
        (board.white.all == 0x8100000000000081ull && board.black.all == 0xC0C000000ull) ||
        (board.white.pawns == 0x30300000000ull && board.black.pawns == 0xC0C00000ull &&
         board.white.king == 0x40ull && board.black.king == 0x2ull);
    return 1;
}

int setupPosition(Engine& engine, const char* text, char* message) {
    prepareNewGame(engine);
    char ignored[FenMessageSize];
    return setupGame(engine.game, text, message ? message : ignored);
}

int playMoveIfValid(Game& game, Move move) {
    Board& board = game.board;
    if (!game.boardValid) return 0;
    if (historyFull(game)) return 0;
    // validateMove alone lets a move that ignores a check through.
    if (!isMoveLegal(board, move)) return 0;
    saveUndo(board);
    makeMove(board, move);
    checkGameEnd(game);
    return 1;
}

int playMoveText(Game& game, const char* text, bool* ambiguous) {
    if (ambiguous) *ambiguous = false;
    // A rejected setup may leave no side to move: nothing to generate from.
    if (!game.boardValid) return 0;
    Move move = parseMoveText(game.board, text);
    if (!move) {
        SanReading reading = readMoveSan(game.board, text);
        move = reading.move;
        if (ambiguous && reading.error && !std::strcmp(reading.error, "ambiguous move"))
            *ambiguous = true;
    }
    return move && playMoveIfValid(game, move);
}
