#include "test_support.h"

#include <array>
#include <cctype>
#include <cstring>
#include <fstream>

#include "board/check.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/xboard.h"
#include "notation/fen.h"
#include "notation/movetext.h"

namespace {

Engine& testEngine() {
    static Engine instance;
    static QuietHost host;
    initEngine(instance, host, dispatchCommand);
    ensureInitialised(instance);
    return instance;
}

// The maintained fields of a side (evaluation scratch excluded).
void expectSameSide(const SideState& a, const SideState& b, const char* name) {
    for (int piece = Pawn; piece <= King; ++piece)
        EXPECT_EQ(a.*pieceSet[piece], b.*pieceSet[piece]) << name << " piece " << piece;
    EXPECT_EQ(a.pieces, b.pieces) << name;
    EXPECT_EQ(a.diagonalSliders, b.diagonalSliders) << name;
    EXPECT_EQ(a.straightSliders, b.straightSliders) << name;
    EXPECT_EQ(a.all, b.all) << name;
    EXPECT_EQ(a.pawnAttacks, b.pawnAttacks) << name;
    EXPECT_EQ(a.hashPart, b.hashPart) << name;
    EXPECT_EQ(a.materialSignature, b.materialSignature) << name;
    EXPECT_EQ(a.kingSquare, b.kingSquare) << name;
    EXPECT_EQ(a.material, b.material) << name;
    EXPECT_EQ(a.colour, b.colour) << name;
    EXPECT_EQ(a.castleRights, b.castleRights) << name;
}

}  // namespace

Engine& engine = testEngine();

bool sameBoard(const Board& a, const Board& b) {
    expectSameSide(a.white, b.white, "white");
    expectSameSide(a.black, b.black, "black");
    EXPECT_EQ(a.hashKey, b.hashKey);
    EXPECT_EQ(a.pawnHashKey, b.pawnHashKey);
    EXPECT_EQ(a.occupied, b.occupied);
    EXPECT_EQ(a.empty, b.empty);
    EXPECT_EQ(a.occupiedFiles, b.occupiedFiles);
    EXPECT_EQ(a.occupiedAntiDiagonals, b.occupiedAntiDiagonals);
    EXPECT_EQ(a.occupiedDiagonals, b.occupiedDiagonals);
    EXPECT_EQ(a.toMove, b.toMove);
    EXPECT_EQ(a.opponent, b.opponent);
    EXPECT_EQ(a.ply, b.ply);
    EXPECT_EQ(a.lastIrreversiblePly, b.lastIrreversiblePly);
    EXPECT_EQ(a.fiftyMoveStart, b.fiftyMoveStart);
    EXPECT_EQ(a.startPly, b.startPly);
    EXPECT_EQ(0, std::memcmp(a.squares, b.squares, 64));
    EXPECT_EQ(a.epFile, b.epFile);
    EXPECT_EQ(a.checkInfo, b.checkInfo);
    EXPECT_EQ(a.pieceCount, b.pieceCount);
    return !::testing::Test::HasFailure();
}

std::vector<std::string> listText(const Board& board, int list, int count) {
    std::vector<std::string> moves;
    for (int i = 0; i < count; ++i) {
        char text[8];
        formatMoveCoordinates(board.stack->moveLists[list][i].move, text);
        moves.push_back(text);
    }
    return moves;
}

Board& referenceBoard(const char* fen) {
    static Board board;
    char message[FenMessageSize];
    if (!parseFen(board, engine.game.stack, fen, message)) {
        EXPECT_STREQ(message, "too many white pawns!") << fen;
    }
    return board;
}

Move findMove(Board& board, const char* text, int kind) {
    int count = generateMoves(board);
    auto moves = listText(board, 0, count);
    for (int i = 0; i < count; ++i) {
        Move move = board.stack->moveLists[0][i].move;
        if (moves[i] == text && (kind < 0 || moveKind(move) == kind)) return move;
    }
    ADD_FAILURE() << text << " of kind " << kind;
    return 0;
}

void play(Board& board, std::initializer_list<const char*> moves) {
    for (const char* text : moves) {
        Move move = findMove(board, text);
        ASSERT_NE(move, 0u) << text;
        saveUndo(board);
        makeMove(board, move);
        ASSERT_EQ(findBoardInconsistency(board), nullptr) << text;
    }
}

std::vector<std::string> dataRows(const char* name) {
    std::ifstream file(std::string(VOSTREL_TEST_DATA "/") + name);
    EXPECT_TRUE(file.is_open()) << name;
    std::vector<std::string> rows;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line[0] != '#') rows.push_back(line);
    return rows;
}

std::vector<std::string> referenceFens() {
    std::vector<std::string> fens;
    for (const std::string& row : dataRows("perft.txt"))
        fens.push_back(row.substr(0, row.find(';')));
    return fens;
}

std::string squaresFen(const std::array<char, 64>& men, bool whiteToMove) {
    std::string fen;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            char man = men[8 * rank + file];
            if (!man) {
                ++empty;
                continue;
            }
            if (empty) fen += char('0' + empty);
            empty = 0;
            fen += man;
        }
        if (empty) fen += char('0' + empty);
        if (rank) fen += '/';
    }
    return fen + (whiteToMove ? " w - - 0 1" : " b - - 0 1");
}

std::string positionFen(const Board& board) {
    std::array<char, 64> men{};
    for (int square = 0; square < 64; ++square)
        if (int piece = board.squares[square])
            men[square] =
                (board.white.all & bit(square)) ? "PNBRQK"[piece - 1] : "pnbrqk"[piece - 1];
    return squaresFen(men, board.toMove->colour == White);
}

std::string mirrorFen(const std::string& fen) {
    size_t blank = fen.find(' ');
    std::string ranks[8], mirrored;
    int rank = 0;
    for (char c : fen.substr(0, blank)) {
        if (c == '/')
            ++rank;
        else
            ranks[rank] += std::isalpha(static_cast<unsigned char>(c)) ? char(c ^ 0x20) : c;
    }
    for (int r = 7; r >= 0; --r) mirrored += ranks[r] + (r ? "/" : "");
    bool whiteToMove = blank != std::string::npos && fen[blank + 1] == 'w';
    return mirrored + (whiteToMove ? " b - - 0 1" : " w - - 0 1");
}

PrincipalVariation variationFrom(Board& board, std::initializer_list<const char*> moves) {
    PrincipalVariation pv{};
    for (const char* text : moves) {
        pv.pvMoves[pv.pvLength++] = findMove(board, text);
        play(board, {text});
    }
    for (int i = 0; i < pv.pvLength; ++i) unmakeMove(board);
    return pv;
}

PrincipalVariation legalWalk(Board& board, int count, bool wordy) {
    PrincipalVariation pv{};
    for (int i = 0; i < count; ++i) {
        int moves = generateMoves(board);
        EXPECT_GT(moves, 0);
        Move move = board.stack->moveLists[0][0].move;
        int longest = 0;
        for (int k = 0; wordy && k < moves; ++k) {
            char text[24];
            Move candidate = board.stack->moveLists[0][k].move;
            if (int length = formatMoveSan(board, candidate, text); length > longest) {
                longest = length;
                move = candidate;
            }
        }
        pv.pvMoves[pv.pvLength++] = move;
        saveUndo(board);
        makeMove(board, move);
    }
    for (int i = 0; i < count; ++i) unmakeMove(board);
    return pv;
}

std::string variationString(Board& board, const PrincipalVariation& pv) {
    const Board before = board;
    char text[PvTextSize];
    std::memset(text, '#', sizeof text);
    variationText(board, pv.pvMoves, pv.pvLength, text);
    sameBoard(board, before);
    return text;
}
