// Texel tuning of the evaluation's option values: the five piece value pairs
// and the control weight. Games are replayed, their positions reduced to quiet
// ones by the engine's quiescence search, and the values moved one step at a
// time while the mean squared distance between each game's result and the
// sigmoid of the static evaluation shrinks.
//
// Usage: vostrel_tune [--iterations N] [--max-positions N] [--write FILE] GAMES_FILE...
// Each line of a games file: RESULT | FEN | MOVES, the moves in coordinates.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/check.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "notation/fen.h"
#include "notation/movetext.h"
#include "search/quiescence.h"
#include "search/search.h"
#include "search/threads.h"
#include "search/tt.h"

namespace {

// The ranges the option table allows (driver/options.cpp).
constexpr int32_t PieceValueLimit = 10000;
constexpr int32_t ControlLimit = 1000;
// Any fixed seed will do: the keys only have to agree within one run.
constexpr uint32_t KeySeed = 12399237;
constexpr int OpeningPlies = 8;
constexpr int QuietSteps = 10;
constexpr int HeldOutEvery = 10;
constexpr int WeightCount = 11;

const char* const pieceNames[6] = {"", "pawn", "knight", "bishop", "rook", "queen"};

// Opening and endgame value of pawn to queen at 2 * (piece - 1) and one more,
// then the control weight.
struct Weights {
    int32_t values[WeightCount];
};

struct Sample {
    Board board;
    float result;  // White's view: 1, 0.5 or 0
    bool whiteToMove;
};

struct Options {
    long iterations = 50;
    long maxPositions = -1;  // no limit
    const char* writeFile = nullptr;
    std::vector<const char*> files;
};

struct ReadCounts {
    long games = 0;
    long skipped = 0;   // unfinished games, result "*"
    long broken = 0;    // malformed lines and games cut short by a bad move
    long captured = 0;  // positions whose quiet form lies some captures on
    long dropped = 0;   // positions without a quiet form within the steps
};

// What the replay and the quiescence search work in; large, so on the heap.
struct Workspace {
    BoardStack boards;
    SearchControl control;
    SearchThread search;  // its evaluation memory serves every score
};

struct ErrorCounts {
    EvalMemory* memory = nullptr;  // the workspace's
    long evaluations = 0;          // passes of the error function over a set
    double positions = 0;
    double seconds = 0;
};

struct DataSet {
    std::vector<Sample> training;
    std::vector<Sample> heldOut;
};

Weights currentWeights() {
    Weights weights{};
    for (int piece = Pawn; piece <= Queen; ++piece) {
        weights.values[2 * (piece - 1)] = pieceMaterial[piece].opening;
        weights.values[2 * (piece - 1) + 1] = pieceMaterial[piece].endgame;
    }
    weights.values[WeightCount - 1] = evaluate_control;
    return weights;
}

int32_t weightLimit(int index) { return index == WeightCount - 1 ? ControlLimit : PieceValueLimit; }

// The evaluation cache holds scores of the old values; the pawn table only
// pawn structure, which no tuned value touches.
void applyWeights(EvalMemory& memory, const Weights& weights) {
    for (int piece = Pawn; piece <= Queen; ++piece)
        setMaterialValues(piece, weights.values[2 * (piece - 1)],
                          weights.values[2 * (piece - 1) + 1]);
    evaluate_control = weights.values[WeightCount - 1];
    std::memset(memory.cache, 0, sizeof memory.cache);
}

// A copied Board still points its side pointers at the original's records.
void aimSides(Board& board, bool whiteToMove) {
    board.toMove = whiteToMove ? &board.white : &board.black;
    board.opponent = whiteToMove ? &board.black : &board.white;
}

// A stored board's side pointers went stale when the vector moved it; its
// material sums when the values changed.
void refreshSample(Sample& sample) {
    Board& board = sample.board;
    aimSides(board, sample.whiteToMove);
    board.white.material = computeMaterial(board.white);
    board.black.material = computeMaterial(board.black);
}

// Each sample evaluated as the root of a search would see it, White's view.
int32_t whiteScore(EvalMemory& memory, Board& board) {
    memory.rootPieceCount = board.pieceCount;
    return evaluate(memory, board, -FullWindow, FullWindow);
}

int32_t sideScore(EvalMemory& memory, Board& board) {
    int32_t score = whiteScore(memory, board);
    return board.toMove->colour == White ? score : -score;
}

double sigmoid(double k, double score) { return 1.0 / (1.0 + std::pow(10.0, -k * score / 400.0)); }

double errorOf(std::vector<Sample>& samples, double k, ErrorCounts& counts) {
    if (samples.empty()) return 0;
    auto start = std::chrono::steady_clock::now();
    double sum = 0;
    for (Sample& sample : samples) {
        refreshSample(sample);
        double miss = sample.result - sigmoid(k, whiteScore(*counts.memory, sample.board));
        sum += miss * miss;
    }
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    counts.evaluations += 1;
    counts.positions += double(samples.size());
    counts.seconds += spent.count();
    return sum / double(samples.size());
}

double errorWithScores(const std::vector<Sample>& samples, const std::vector<int32_t>& scores,
                       double k) {
    if (samples.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        double miss = samples[i].result - sigmoid(k, scores[i]);
        sum += miss * miss;
    }
    return sum / double(samples.size());
}

// The scale that fits the present values best: the scores stay fixed, so they
// are evaluated once and the error is a function of k alone. Golden-section
// search, the error being unimodal in k.
double fitScale(std::vector<Sample>& samples, ErrorCounts& counts) {
    if (samples.empty()) return 1.0;
    auto start = std::chrono::steady_clock::now();
    std::vector<int32_t> scores;
    scores.reserve(samples.size());
    for (Sample& sample : samples) {
        refreshSample(sample);
        scores.push_back(whiteScore(*counts.memory, sample.board));
    }
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    counts.evaluations += 1;
    counts.positions += double(samples.size());
    counts.seconds += spent.count();

    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double low = 0.01, high = 5.0;
    double a = high - ratio * (high - low), b = low + ratio * (high - low);
    double errorA = errorWithScores(samples, scores, a),
           errorB = errorWithScores(samples, scores, b);
    for (int round = 0; round < 60; ++round) {
        if (errorA < errorB) {
            high = b;
            b = a;
            errorB = errorA;
            a = high - ratio * (high - low);
            errorA = errorWithScores(samples, scores, a);
        } else {
            low = a;
            a = b;
            errorA = errorB;
            b = low + ratio * (high - low);
            errorB = errorWithScores(samples, scores, b);
        }
    }
    return (low + high) / 2;
}

// Walks from board along the captures that the quiescence search's value
// comes from, until the static evaluation agrees with that value. False when
// the walk ends in check or finds no quiet position within its steps.
bool reduceToQuiet(Workspace& work, Board& board) {
    for (int step = 0; step < QuietSteps; ++step) {
        if (board.checkInfo) return false;
        work.search.eval.rootPieceCount = board.pieceCount;
        const int32_t value = quiescence(work.search, board, 0, -Mate, Mate, 0);
        if (sideScore(work.search.eval, board) == value) return true;
        const int count = generateCaptures(board, 0);
        Move moves[256];
        const int kept = count < 256 ? count : 256;
        for (int i = 0; i < kept; ++i) moves[i] = board.stack->moveLists[0][i].move;
        Move chosen = 0;
        for (int i = 0; i < kept && !chosen; ++i) {
            const Move move = moves[i];
            if (movePiece(move) != King && !isLegalNonKingMove(board, moveFrom(move), moveTo(move)))
                continue;
            work.search.eval.rootPieceCount = board.pieceCount;
            saveUndo(board);
            makeMove(board, move);
            const int32_t score = -quiescence(work.search, board, 1, -Mate, Mate, 0);
            unmakeMove(board);
            if (score == value) chosen = move;
        }
        if (!chosen) return false;
        saveUndo(board);
        makeMove(board, chosen);
    }
    return false;
}

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

enum class LineKind { Blank, Unfinished, Malformed, Game };

struct GameLine {
    float result = 0;
    std::string fen;
    std::string moves;
};

LineKind splitLine(const std::string& line, GameLine& game) {
    std::string text = trimmed(line);
    if (text.empty() || text[0] == '#') return LineKind::Blank;
    size_t first = text.find('|');
    size_t second = first == std::string::npos ? first : text.find('|', first + 1);
    std::string result = trimmed(text.substr(0, first));
    if (result == "*") return LineKind::Unfinished;
    if (second == std::string::npos || text.find('|', second + 1) != std::string::npos)
        return LineKind::Malformed;
    if (result == "1-0") {
        game.result = 1;
    } else if (result == "0-1") {
        game.result = 0;
    } else if (result == "1/2-1/2") {
        game.result = 0.5f;
    } else {
        return LineKind::Malformed;
    }
    game.fen = trimmed(text.substr(first + 1, second - first - 1));
    if (game.fen == "startpos") game.fen = StartFen;
    game.moves = text.substr(second + 1);
    return LineKind::Game;
}

// The move a token names, legal in the position, or 0. The engine's parser
// reads only the first characters, so the length is checked here. Castling
// comes as the engine sends it ("O-O") or as the king's move.
Move legalMove(Board& board, const std::string& token) {
    const bool castling = token == "O-O" || token == "O-O-O";
    if (token.size() != 4 && token.size() != 5 && !castling) return 0;
    Move move = parseMoveText(board, token.c_str());
    if (!move || (token.size() == 5 && !castling) != (movePromotion(move) != 0)) return 0;
    return isMoveLegal(board, move) ? move : 0;
}

// Replays one game into samples; false when a move could not be played.
bool replayGame(Workspace& work, const GameLine& game, std::vector<Sample>& samples,
                long& positionsLeft, ReadCounts& counts) {
    Board board;
    char message[FenMessageSize];
    if (!parseFen(board, work.boards, game.fen.c_str(), message)) return false;
    size_t at = 0;
    for (int played = 0;; ++played) {
        if (positionsLeft == 0) return true;
        if (played >= OpeningPlies && !board.checkInfo) {
            Board quiet = board;
            aimSides(quiet, board.toMove == &board.white);
            if (!reduceToQuiet(work, quiet)) {
                ++counts.dropped;
            } else {
                if (quiet.ply != board.ply) ++counts.captured;
                samples.push_back(Sample{quiet, game.result, quiet.toMove == &quiet.white});
                if (positionsLeft > 0) --positionsLeft;
            }
        }
        at = game.moves.find_first_not_of(" \t", at);
        if (at == std::string::npos) return true;
        size_t end = game.moves.find_first_of(" \t", at);
        std::string token = game.moves.substr(at, end == std::string::npos ? end : end - at);
        at = end == std::string::npos ? game.moves.size() : end;
        // The undo records past the game belong to the quiescence walk.
        if (board.ply >= MaxGamePlies) return false;
        Move move = legalMove(board, token);
        if (!move) return false;
        saveUndo(board);
        makeMove(board, move);
    }
}

// Returns false when a file cannot be read.
bool readGames(Workspace& work, const Options& options, DataSet& data, ReadCounts& counts) {
    long positionsLeft = options.maxPositions;
    for (const char* name : options.files) {
        std::ifstream file(name);
        if (!file) {
            std::fprintf(stderr, "vostrel_tune: cannot read %s\n", name);
            return false;
        }
        std::string line;
        while (positionsLeft != 0 && std::getline(file, line)) {
            GameLine game;
            LineKind kind = splitLine(line, game);
            if (kind == LineKind::Blank) continue;
            const bool heldOut = counts.games % HeldOutEvery == HeldOutEvery - 1;
            ++counts.games;
            if (kind == LineKind::Unfinished) {
                ++counts.skipped;
                continue;
            }
            if (kind == LineKind::Malformed) {
                ++counts.broken;
                continue;
            }
            std::vector<Sample>& samples = heldOut ? data.heldOut : data.training;
            if (!replayGame(work, game, samples, positionsLeft, counts)) ++counts.broken;
        }
    }
    return true;
}

// Coordinate search: each value one step up or down while the error falls,
// the step halved when a whole pass finds nothing. At most `passes` passes.
Weights tuneWeights(std::vector<Sample>& samples, double k, Weights weights, long passes,
                    ErrorCounts& counts) {
    applyWeights(*counts.memory, weights);
    double best = errorOf(samples, k, counts);
    const int32_t steps[] = {8, 4, 2, 1};
    int stepIndex = 0;
    for (long pass = 0; pass < passes && stepIndex < 4; ++pass) {
        const int32_t step = steps[stepIndex];
        bool improved = false;
        for (int i = 0; i < WeightCount; ++i) {
            for (int32_t direction : {step, -step}) {
                Weights trial = weights;
                const int64_t value = int64_t(trial.values[i]) + direction;
                if (value > weightLimit(i) || value < -weightLimit(i)) continue;
                trial.values[i] = int32_t(value);
                applyWeights(*counts.memory, trial);
                double error = errorOf(samples, k, counts);
                if (error < best) {
                    best = error;
                    weights = trial;
                    improved = true;
                    break;
                }
            }
        }
        if (!improved) ++stepIndex;
    }
    applyWeights(*counts.memory, weights);
    return weights;
}

std::string iniLines(const Weights& weights) {
    std::string text;
    char line[96];
    for (int piece = Pawn; piece <= Queen; ++piece) {
        std::snprintf(line, sizeof line, "- evaluate_%s_material = %d, %d\n", pieceNames[piece],
                      weights.values[2 * (piece - 1)], weights.values[2 * (piece - 1) + 1]);
        text += line;
    }
    std::snprintf(line, sizeof line, "- evaluate_control = %d\n", weights.values[WeightCount - 1]);
    return text + line;
}

bool readCount(const char* text, long& value) {
    char* end = nullptr;
    long number = std::strtol(text, &end, 10);
    if (end == text || *end || number < 0) return false;
    value = number;
    return true;
}

constexpr const char* Usage =
    "usage: vostrel_tune [--iterations N] [--max-positions N] [--write FILE] GAMES_FILE...\n"
    "  each line of a games file: RESULT | FEN | MOVES (coordinate moves)\n";

bool readOptions(Options& options, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argument, "--iterations") && hasValue) {
            if (!readCount(argv[++i], options.iterations)) return false;
        } else if (!std::strcmp(argument, "--max-positions") && hasValue) {
            if (!readCount(argv[++i], options.maxPositions)) return false;
        } else if (!std::strcmp(argument, "--write") && hasValue) {
            options.writeFile = argv[++i];
        } else if (argument[0] == '-' && argument[1] == '-') {
            return false;
        } else {
            options.files.push_back(argument);
        }
    }
    return !options.files.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!readOptions(options, argc, argv)) {
        std::fprintf(stderr, "%s", Usage);
        return 2;
    }

    // The engine's start-up, without its configuration file: the tuning
    // starts from the compiled-in values.
    auto work = std::make_unique<Workspace>();
    initBoardStack(work->boards);
    initSearchThread(work->search, work->control, 0);
    initBoardTables(KeySeed, 1);
    if (!allocatePawnTable(work->search.eval.pawns, tableSizes(64, 0).pawnEntries)) {
        std::fprintf(stderr, "vostrel_tune: no memory for the tables\n");
        return 2;
    }
    buildPawnFlagTable();
    centreMaterial();
    const Weights defaults = currentWeights();

    DataSet data;
    ReadCounts read;
    if (!readGames(*work, options, data, read)) return 2;
    std::printf("games read: %ld\n", read.games);
    std::printf("games skipped (unfinished): %ld\n", read.skipped);
    std::printf("games broken: %ld\n", read.broken);
    std::printf("positions: %zu training, %zu held-out\n", data.training.size(),
                data.heldOut.size());
    std::printf("positions reached by captures: %ld, without a quiet position: %ld\n",
                read.captured, read.dropped);
    if (data.training.empty()) {
        std::fprintf(stderr, "vostrel_tune: no positions to tune on\n");
        return 1;
    }

    ErrorCounts counts;
    counts.memory = &work->search.eval;
    clearEvalMemory(*counts.memory);
    applyWeights(*counts.memory, defaults);
    const double k = fitScale(data.training, counts);
    std::printf("K: %.4f\n", k);
    const double trainingBefore = errorOf(data.training, k, counts);
    const double heldOutBefore = errorOf(data.heldOut, k, counts);
    const Weights tuned = tuneWeights(data.training, k, defaults, options.iterations, counts);
    const double trainingAfter = errorOf(data.training, k, counts);
    const double heldOutAfter = errorOf(data.heldOut, k, counts);
    std::printf("training error: %.6f before, %.6f after\n", trainingBefore, trainingAfter);
    if (data.heldOut.empty()) {
        std::printf("held-out error: no positions\n");
    } else {
        std::printf("held-out error: %.6f before, %.6f after\n", heldOutBefore, heldOutAfter);
    }
    std::printf("evaluations: %ld (%.0f positions, %.0f positions/s)\n", counts.evaluations,
                counts.positions, counts.seconds > 0 ? counts.positions / counts.seconds : 0.0);

    const std::string lines = iniLines(tuned);
    std::printf("%s", lines.c_str());
    if (options.writeFile) {
        std::ofstream out(options.writeFile);
        out << lines;
        if (!out) {
            std::fprintf(stderr, "vostrel_tune: cannot write %s\n", options.writeFile);
            return 2;
        }
    }
    freePawnTable(work->search.eval.pawns);
    return 0;
}
