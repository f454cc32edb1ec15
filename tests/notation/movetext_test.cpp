// Move text: SAN and its disambiguation, SAN read back in every spelling, the
// coordinate parser's promotion and castling spellings and hostile inputs,
// variations with move numbers and check marks.
#include "notation/movetext.h"

#include <cstring>
#include <sstream>

#include "board/movegen.h"
#include "test_support.h"

namespace {

// The SAN of each coordinate move, each from fen; the board must stay as it was.
std::string sanIn(const char* fen, const std::string& moves, int kind = -1) {
    Board& board = boardFromFen(fen);
    std::istringstream words(moves);
    std::string text;
    for (std::string word; words >> word;) {
        Move move = kind < 0 ? findMove(board, word.c_str()) : findMove(board, word.c_str(), kind);
        const Board before = board;
        char san[16];
        int length = formatMoveSan(board, move, san);
        EXPECT_EQ(length, int(std::strlen(san))) << san;
        sameBoard(board, before);
        text += san;
    }
    return text;
}

const char* const Promotion = "3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1";
// King b1, rooks a1 and e1: short castling moves the king five files, long one.
const char* const Random = "rk2r3/pppppppp/8/8/8/8/PPPPPPPP/RK2R3 w EAea - 0 1";
// King c1, rook b1: long castling leaves the king where it is.
const char* const KingStays = "1rk5/pppppppp/8/8/8/8/PPPPPPPP/1RK5 w Bb - 0 1";

}  // namespace

TEST(MoveText, San) {
    const std::vector<std::string> rows = dataRows("san.txt");
    for (const std::string& line : rows) {
        size_t moves = line.find(" ; "), san = line.rfind(" ; ");
        std::string fen = line.substr(0, moves),
                    coordinates = line.substr(moves + 3, san - moves - 3);
        EXPECT_EQ(sanIn(fen.c_str(), coordinates), line.substr(san + 3) + " ") << line;
        // Read back, each SAN names its own move.
        Board& board = boardFromFen(fen.c_str());
        std::istringstream coordinateWords(coordinates), sanWords(line.substr(san + 3));
        for (std::string move, text; coordinateWords >> move && sanWords >> text;) {
            int kind =
                text[0] == 'O' ? (text.size() == 3 ? KindCastleKingSide : KindCastleQueenSide) : -1;
            EXPECT_EQ(readMoveSan(board, text.c_str()).move, findMove(board, move.c_str(), kind))
                << text;
        }
    }
    EXPECT_EQ(rows.size(), 13u);
    EXPECT_EQ(sanIn(Random, "b1g1", KindCastleKingSide), "O-O ");
    EXPECT_EQ(sanIn(Random, "b1c1", KindCastleQueenSide), "O-O-O ");
    EXPECT_EQ(sanIn(Random, "b1c1", KindKing), "Kc1 ");
    // Replaced letters; promotions keep the English ones.
    char saved[8];
    std::memcpy(saved, pieceLetters, sizeof saved);
    std::memcpy(pieceLetters + 1, "BSLTDK", 6);
    EXPECT_EQ(sanIn(StartFen, "g1f3"), "Sf3 ");
    EXPECT_EQ(sanIn(Promotion, "e7e8q"), "e8=Q ");
    std::memcpy(pieceLetters, saved, sizeof saved);
    // Long text: piece letter, from, "x", to, promotion letter; the length without the blank.
    char text[16];
    EXPECT_EQ(moveTextLong(buildMove(E7, D8, KindPromoteQueen, Pawn, Rook, Queen), text), 6);
    EXPECT_STREQ(text, "e7xd8Q ");
    EXPECT_EQ(moveTextLong(buildMove(G1, F3, KindKnight, Knight), text), 5);
    EXPECT_STREQ(text, "Ng1f3 ");
}

TEST(MoveText, ReadSan) {
    // Each text and the move it names, or the reason it names none.
    const char* const knights = "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1";  // Nb1 and Nf3 reach d2
    const char* const rooks = "k7/8/8/8/8/4R3/8/4R1K1 w - - 0 1";     // both rooks reach e2
    const char* const take = "4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1";
    // clang-format off
    const char* const cases[][3] = {
        {StartFen, "Nf3", "g1f3"}, {StartFen, "e4", "e2e4"}, {StartFen, "Pe4", "e2e4"},
        {StartFen, "e2e4", "e2e4"}, {StartFen, "e2-e4", "e2e4"}, {StartFen, "Ng1f3", "g1f3"},
        {StartFen, "Ng1-f3", "g1f3"}, {StartFen, "Nf3!?", "g1f3"}, {StartFen, "e4!", "e2e4"},
        {StartFen, "e4??", "e2e4"}, {StartFen, "Nf3 {x}", "g1f3"}, {StartFen, "Nf3\r", "g1f3"},
        {knights, "Nbd2", "b1d2"}, {knights, "Nfd2", "f3d2"}, {knights, "N1d2", "b1d2"},
        {knights, "Nf3d2", "f3d2"}, {rooks, "R1e2", "e1e2"}, {rooks, "R3e2+", "e3e2"},
        {rooks, "Ree2", nullptr}, {knights, "Nd2", nullptr}, {rooks, "Re2", nullptr},
        {take, "exd5", "e4d5"}, {take, "ed5", "e4d5"}, {take, "e4xd5", "e4d5"}, {take, "e:d5", "e4d5"},
        {take, "e5", "e4e5"}, {take, "d5", nullptr}, {take, "Kd2", "e1d2"}, {take, "Kxd2", "e1d2"},
        {Promotion, "e8=Q", "e7e8q"}, {Promotion, "e8Q", "e7e8q"}, {Promotion, "e8q", "e7e8q"},
        {Promotion, "e8=N+", "e7e8n"}, {Promotion, "exd8=R#", "e7d8r"}, {Promotion, "ed8B", "e7d8b"},
        {Promotion, "e8", nullptr}, {Promotion, "e8=K", nullptr}, {Promotion, "e8=P", nullptr},
        {Promotion, "Ke8=Q", nullptr}};
    // clang-format on
    for (auto [fen, text, coordinates] : cases) {
        Board& board = boardFromFen(fen);
        SanReading reading = readMoveSan(board, text);
        EXPECT_EQ(reading.move, coordinates ? findMove(board, coordinates) : 0)
            << fen << " " << text;
        EXPECT_EQ(reading.error == nullptr, coordinates != nullptr) << text;
    }
    // The reasons: ambiguous, illegal (a pinned man, a king into check, no
    // such man), not SAN at all.
    const char* const reasons[][3] = {{knights, "Nd2", "ambiguous move"},
                                      {"4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", "Nc3", "illegal move"},
                                      {"4k3/8/8/8/8/8/3r4/4K3 w - - 0 1", "Kd1", "illegal move"},
                                      {StartFen, "Nd4", "illegal move"},
                                      {StartFen, "O-O", "illegal move"},
                                      {StartFen, "Bb", "not a move"},
                                      {StartFen, "Zf3", "not a move"},
                                      {StartFen, "Nf3f3f3", "not a move"},
                                      {StartFen, "", "not a move"},
                                      {StartFen, "++", "not a move"},
                                      {StartFen, "Nf3Nf3Nf3Nf3Nf3Nf3", "not a move"},
                                      {StartFen, "e9", "not a move"}};
    for (auto [fen, text, error] : reasons) {
        Board& board = boardFromFen(fen);
        SanReading reading = readMoveSan(board, text);
        EXPECT_EQ(reading.move, 0u) << text;
        EXPECT_STREQ(reading.error, error) << text;
    }
    // Castling in both spellings, also in fischerandom, with marks.
    const char* const both = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1";
    const std::tuple<const char*, const char*, const char*, int> castles[] = {
        {both, "O-O+", "e1g1", KindCastleKingSide},
        {both, "0-0-0", "e1c1", KindCastleQueenSide},
        {Random, "O-O", "b1g1", KindCastleKingSide},
        {Random, "O-O-O", "b1c1", KindCastleQueenSide},
        {Random, "Kc1", "b1c1", KindKing},
        {KingStays, "0-0-0", "c1c1", KindCastleQueenSide}};
    for (auto [fen, text, king, kind] : castles) {
        Board& board = boardFromFen(fen);
        EXPECT_EQ(readMoveSan(board, text).move, findMove(board, king, kind)) << fen << " " << text;
    }
}

TEST(MoveText, Parse) {
    // No letter, an unknown letter or a bare "=" names no promotion.
    const std::pair<const char*, int> promotions[] = {{"e7e8q e7e8Q e7e8=q e7e8=Q", Queen},
                                                      {"e7e8n e7e8N", Knight},
                                                      {"e7e8r e7e8=R", Rook},
                                                      {"e7e8b e7e8B", Bishop},
                                                      {"e7e8 e7e8k e7e8p e7e8x e7e8= e7e8=k", 0}};
    Board& board = boardFromFen(Promotion);
    for (auto [texts, piece] : promotions) {
        std::istringstream words(texts);
        for (std::string text; words >> text;) {
            Move move = parseMoveText(board, text.c_str());
            EXPECT_EQ(move ? movePromotion(move) : 0, piece) << text;
            EXPECT_EQ(move ? moveTo(move) : E8, E8) << text;
        }
    }
    // The castling of this king move; none without the right or with the path blocked.
    const char* both = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1";
    // clang-format off
    const char* const cases[][3] = {
        {both, "O-O", "e1g1"}, {both, "0-0", "e1g1"}, {both, "e1g1", "e1g1"},
        {both, "O-O-O", "e1c1"}, {both, "0-0-0", "e1c1"}, {Random, "O-O", "b1g1"},
        {Random, "0-0-0", "b1c1"}, {KingStays, "O-O-O", "c1c1"}, {StartFen, "O-O-O", nullptr},
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w Qkq - 0 1", "O-O", nullptr}};
    // clang-format on
    for (auto [fen, text, king] : cases) {
        Board& position = boardFromFen(fen);
        int kind = king && king[2] == 'g' ? KindCastleKingSide : KindCastleQueenSide;
        EXPECT_EQ(parseMoveText(position, text), king ? findMove(position, king, kind) : 0)
            << fen << " " << text;
    }
    // Hostile text. The h-file is open: an unreadable coordinate that wrapped
    // would make "E2E4" h1h3.
    Board& open = boardFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPP1/RNBQKBNR w KQkq - 0 1");
    // clang-format off
    const std::string texts[] = {"", "e", "e2", "e2e", "zzzz", "e2e4x", "E2E4", "i2h3", "e9e4",
        "e0e4", "O-", "0-", "e2 e4", "e2-e4", "e2e4 ", "e2e5", "h1h9", std::string(4095, 'e'),
        "e2e4" + std::string(4091, 'x'), std::string(4095, '\xff')};
    // clang-format on
    // Each in a buffer of its size: a read past the terminator leaves the allocation.
    for (const std::string& text : texts) {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        EXPECT_EQ(parseMoveText(open, buffer.data()), 0u) << text.substr(0, 16);
    }
    EXPECT_EQ(parseMoveText(open, "h1h3"), findMove(open, "h1h3"));
}

TEST(MoveText, VariationText) {
    Board& board = boardFromFen(StartFen);
    auto text = [&](std::initializer_list<const char*> moves) {
        return variationString(board, variationFrom(board, moves));
    };
    EXPECT_EQ(text({}), "");
    // A mate ends in two plus signs, a check in the middle in "+ ".
    EXPECT_EQ(text({"e2e4", "e7e5", "d1h5", "b8c6", "f1c4", "g8f6", "h5f7"}),
              "1.e4 e5 2.Qh5 Nc6 3.Bc4 Nf6 4.Qxf7++");
    EXPECT_EQ(text({"e2e4", "f7f6", "d1h5", "g7g6"}), "1.e4 f6 2.Qh5+ g6 ");
    // En passant takes a pawn off its destination: still a capture.
    EXPECT_EQ(text({"e2e4", "a7a6", "e4e5", "d7d5", "e5d6"}), "1.e4 a6 2.e5 d5 3.exd6 ");
    // A move that cannot be played ends the text before it is named.
    PrincipalVariation broken = variationFrom(board, {"e2e4"});
    broken.pvMoves[broken.pvLength++] = broken.pvMoves[0];
    EXPECT_EQ(variationString(board, broken), "1.e4 ");
    // At most 63 moves are written.
    PrincipalVariation longest = legalWalk(board, 64), shorter = longest;
    shorter.pvLength = 63;
    EXPECT_EQ(variationString(board, longest), variationString(board, shorter));
    // Black to move: "N..." first; the numbers follow the board's ply.
    play(board, {"e2e4", "e7e5", "g1f3"});
    EXPECT_EQ(text({"b8c6", "f1b5"}), "2...Nc6 3.Bb5 ");
}
