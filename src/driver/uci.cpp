#include "driver/uci.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/check.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/bench.h"
#include "driver/command_text.h"
#include "driver/engine.h"
#include "driver/game.h"
#include "driver/gui_options.h"
#include "driver/options.h"
#include "driver/output.h"
#include "eval/material.h"
#include "notation/fen.h"
#include "notation/movetext.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "search/search.h"
#include "search/tt.h"

namespace {

constexpr int NoClock = 1 << 29;  // centiseconds: no clock given

// The UCI session's own state beside the engine's records.
struct UciState {
    bool chess960 = false;
    bool debug = false;
    bool stopSeen = false;       // "stop" came during the running go
    bool ponderHitSeen = false;  // "ponderhit" came during the running go
    uint64_t lastCurrentMove = 0;
    Move onlyMoves[256];
    int onlyMoveCount = 0;
};

// The first word of line is word.
bool isWord(const char* line, const char* word) {
    size_t length = std::strlen(word);
    return std::strncmp(line, word, length) == 0 && (line[length] == '\0' || line[length] == ' ');
}

// Skips blanks; the next word of text is copied into word (cut at size - 1).
const char* nextWord(const char* text, char* word, int size) {
    while (*text == ' ' || *text == '\t') ++text;
    int length = 0;
    while (*text && *text != ' ' && *text != '\t') {
        if (length < size - 1) word[length++] = *text;
        ++text;
    }
    word[length] = '\0';
    return text;
}

// Coordinates of a move: castling is the king's step of two squares, or in
// fischerandom the king taking its own rook ("e1h1").
void uciMoveText(const Board& board, Move move, bool chess960, char* text) {
    formatMoveCoordinates(move, text);
    if (!chess960 || !moveIsCastling(move)) return;
    const BoardStack& stack = *board.stack;
    int colour = board.toMove->colour;
    int rook = moveKind(move) == KindCastleKingSide ? stack.rookStartKingSide[colour]
                                                    : stack.rookStartQueenSide[colour];
    text[2] = char('a' + fileOf(rook));
    text[3] = char('1' + rankOf(rook));
}

// The legal move that text names, or 0.
Move parseUciMove(Board& board, const char* text, bool chess960) {
    int count = generateMoves(board);
    const MoveEntry* list = board.stack->moveLists[0];
    for (int i = 0; i < count; ++i) {
        char name[8];
        uciMoveText(board, list[i].move, chess960, name);
        if (std::strcmp(name, text) == 0)
            return isMoveLegal(board, list[i].move) ? list[i].move : 0;
    }
    return 0;
}

// The moves of a variation in coordinates, up to the first that is not legal;
// each is made and taken back on board.
int variationCoordinates(Board& board, const PrincipalVariation& variation, bool chess960,
                         char* text, int size) {
    int length = 0, made = 0;
    text[0] = '\0';
    for (int i = 0; i < variation.pvLength && i < VariationTextMoves; ++i) {
        Move move = variation.pvMoves[i];
        if (!undoHasRoom(board) || !isMoveLegal(board, move)) break;
        char name[8];
        uciMoveText(board, move, chess960, name);
        length = appendText(text, size, length, "%s%s", made ? " " : "", name);
        saveUndo(board);
        makeMove(board, move);
        ++made;
    }
    while (made-- > 0) unmakeMove(board);
    return length;
}

int64_t millisecondsOf(const SearchControl& control) {
    return int64_t(elapsedCentiseconds(control)) * 10;
}

class UciHost final : public SearchHost {
public:
    UciHost(Engine& owner, UciState& session) : engine(owner), state(session) {}
    void poll(SearchThread& search) override;
    bool wantsThinking() override { return !engine.session.benchmarkRunning; }
    void thinking(const ThinkingLine& line) override;
    BookOffer bookMove(Board& board) override;

private:
    void reportCurrentMove(SearchThread& search);
    Engine& engine;
    UciState& state;
};

void UciHost::reportCurrentMove(SearchThread& search) {
    // At most once a second, and only once the search has run a second.
    const uint64_t now = readCounter();
    const uint64_t second = readCounterFrequency();
    const RootSearch& root = search.root;
    if (millisecondsOf(*search.control) < 1000 || now - state.lastCurrentMove < second) return;
    if (!root.currentRootMove || !root.currentRootMove->move) return;
    state.lastCurrentMove = now;
    char name[8];
    uciMoveText(engine.game.board, root.currentRootMove->move, state.chess960, name);
    sendText("info currmove %s currmovenumber %d\n", name, root.rootMoveIndex + 1);
}

void UciHost::poll(SearchThread& search) {
    reportCurrentMove(search);
    for (;;) {
        static char line[CommandLineSize];  // too large for the search's stack
        InputPeek peek = peekInput(line, int(sizeof line));
        if (peek == InputNothing) return;
        if (peek == InputGone) {
            // The move of a timed search and the bench's figures are still
            // owed; the program ends after them.
            if (search.control->state == SearchThinking || engine.session.benchmarkRunning) return;
            shutdownEngine(engine);
        }
        line[std::strcspn(line, "\r\n")] = '\0';
        if (isWord(line, "quit")) shutdownEngine(engine);
        if (isWord(line, "isready")) {
            readInputLine(line, int(sizeof line));
            sendText("readyok\n");
        } else if (isWord(line, "stop")) {
            readInputLine(line, int(sizeof line));
            state.stopSeen = true;
            requestStop(search, 1);
            return;
        } else if (isWord(line, "ponderhit")) {
            readInputLine(line, int(sizeof line));
            state.ponderHitSeen = true;
            if (search.control->state == SearchPondering) {
                requestStop(search, 1);
                return;
            }
        } else if (isWord(line, "debug")) {
            readInputLine(line, int(sizeof line));
            state.debug = std::strstr(line, "on") != nullptr;
        } else if (line[0] == '\0') {
            readInputLine(line, int(sizeof line));
        } else {
            // Anything else belongs after the search: it stops it.
            requestStop(search, 1);
            return;
        }
    }
}

void UciHost::thinking(const ThinkingLine& line) {
    char score[32];
    const int32_t value = line.score;
    if (value > MateBound) {
        std::snprintf(score, sizeof score, "mate %d", (Mate - value + 1) / 2);
    } else if (value < -MateBound) {
        std::snprintf(score, sizeof score, "mate -%d", (Mate + value + 1) / 2);
    } else {
        std::snprintf(score, sizeof score, "cp %d", value);
    }
    const char* bound = line.bound == Bound::Lower   ? " lowerbound"
                        : line.bound == Bound::Upper ? " upperbound"
                                                     : "";
    char pv[PvTextSize];
    variationCoordinates(*line.board, *line.variation, state.chess960, pv, int(sizeof pv));
    // The last line of a search tells the iterations it finished.
    const int iterations = engine.search.main.root.iterationsDone;
    const int depth = line.final && iterations > 0 && !line.multiPv ? iterations : line.depth;
    char rank[24] = "";
    if (line.multiPv) std::snprintf(rank, sizeof rank, " multipv %d", line.multiPv);
    const int64_t milliseconds = int64_t(line.centiseconds) * 10;
    const double rate = milliseconds > 0 ? line.nodes * 1000.0 / double(milliseconds) : 0.0;
    sendText(
        "info depth %d seldepth %d%s score %s%s nodes %.0f nps %.0f time %lld hashfull %d pv %s\n",
        depth, line.selectiveDepth > depth ? line.selectiveDepth : depth, rank, score, bound,
        line.nodes, rate, (long long)milliseconds, tablePermill(engine.search.control.table), pv);
}

BookOffer UciHost::bookMove(Board& board) {
    BookChoice choice;
    BookOffer offer = offerBookMove(engine, board, choice);
    Session& session = engine.session;
    session.bookLine[0] = '\0';
    if (offer.move) {
        char name[8];
        uciMoveText(board, offer.move, state.chess960, name);
        std::snprintf(session.bookLine, sizeof session.bookLine, "info string book %s %s", name,
                      choice.counts);
    }
    return offer;
}

// Until "stop" or "ponderhit": an infinite or ponder search that ended by
// itself keeps its move until then. Other commands wait for the main loop.
void awaitStop(Engine& engine, UciState& state) {
    static char line[CommandLineSize];
    for (;;) {
        if (!waitForLine(standardInputReader(), 1000)) continue;
        InputPeek peek = peekInput(line, int(sizeof line));
        if (peek == InputGone) shutdownEngine(engine);
        line[std::strcspn(line, "\r\n")] = '\0';
        if (isWord(line, "quit")) shutdownEngine(engine);
        if (isWord(line, "stop") || isWord(line, "ponderhit")) {
            readInputLine(line, int(sizeof line));
            (line[0] == 's' ? state.stopSeen : state.ponderHitSeen) = true;
            return;
        }
        if (isWord(line, "isready")) {
            readInputLine(line, int(sizeof line));
            sendText("readyok\n");
        } else if (isWord(line, "debug") || line[0] == '\0') {
            readInputLine(line, int(sizeof line));
            state.debug = isWord(line, "debug") ? std::strstr(line, "on") != nullptr : state.debug;
        } else {
            return;
        }
    }
}

void sendBestMove(Engine& engine, UciState& state, Move best, int moveCount) {
    Board& board = engine.game.board;
    if (moveCount == 0 || !best) {
        sendText("bestmove 0000\n");
        return;
    }
    char name[8], ponder[8] = "";
    uciMoveText(board, best, state.chess960, name);
    Move reply = predictedReply(engine.search);
    const RootSearch& root = engine.search.main.root;
    if (reply && root.rootPv.pvLength >= 2 && root.rootPv.pvMoves[0] == best &&
        undoHasRoom(board) && isMoveLegal(board, best)) {
        saveUndo(board);
        makeMove(board, best);
        if (undoHasRoom(board) && isMoveLegal(board, reply))
            uciMoveText(board, reply, state.chess960, ponder);
        unmakeMove(board);
    }
    if (ponder[0])
        sendText("bestmove %s ponder %s\n", name, ponder);
    else
        sendText("bestmove %s\n", name);
}

// "go": the clock of the side to move, the other limits, and how the search
// ends; then "bestmove".
void go(Engine& engine, UciState& state, const char* arguments) {
    Game& game = engine.game;
    if (!game.boardValid) {
        sendText("info string no valid position\nbestmove 0000\n");
        return;
    }
    const bool white = game.board.toMove->colour == White;
    int64_t ownTime = -1, otherTime = -1, ownIncrement = 0, moveTime = -1, movesToGo = 0;
    int depth = -1, mate = -1;
    double nodes = -1;
    bool infinite = false, pondering = false, clocks = false;
    state.onlyMoveCount = 0;
    char word[64];
    const char* text = arguments;
    for (;;) {
        text = nextWord(text, word, int(sizeof word));
        if (!word[0]) break;
        auto number = [&]() {
            char value[32];
            text = nextWord(text, value, int(sizeof value));
            return std::atoll(value);
        };
        if (!std::strcmp(word, "wtime") || !std::strcmp(word, "btime")) {
            int64_t value = number();
            // A flag overstepped by a hair comes as a negative time: none left.
            ((word[0] == 'w') == white ? ownTime : otherTime) = value < 0 ? 0 : value;
            clocks = true;
        } else if (!std::strcmp(word, "winc") || !std::strcmp(word, "binc")) {
            int64_t value = number();
            if ((word[0] == 'w') == white) ownIncrement = value;
        } else if (!std::strcmp(word, "movestogo")) {
            movesToGo = number();
        } else if (!std::strcmp(word, "movetime")) {
            moveTime = number();
        } else if (!std::strcmp(word, "depth")) {
            depth = int(number());
        } else if (!std::strcmp(word, "nodes")) {
            nodes = double(number());
        } else if (!std::strcmp(word, "mate")) {
            mate = int(number());
        } else if (!std::strcmp(word, "infinite")) {
            infinite = true;
        } else if (!std::strcmp(word, "ponder")) {
            pondering = true;
        } else if (!std::strcmp(word, "searchmoves")) {
            // The moves run to the next word that is not one.
            for (;;) {
                const char* after = nextWord(text, word, int(sizeof word));
                Move move = word[0] ? parseUciMove(game.board, word, state.chess960) : 0;
                if (!move) break;
                text = after;
                if (state.onlyMoveCount < 256) state.onlyMoves[state.onlyMoveCount++] = move;
            }
        }
    }
    auto clamp = [](int64_t value, int64_t low, int64_t high) {
        return value < low ? low : value > high ? high : value;
    };
    SearchLimits& clock = engine.clock;
    clock = SearchLimits{};
    // Clocks without the side to move's own: it has no time to spend.
    if (clocks && ownTime < 0) ownTime = 0;
    clock.engineClock = ownTime >= 0 ? int(clamp(ownTime / 10, 0, NoClock)) : NoClock;
    clock.opponentClock = otherTime >= 0 ? int(clamp(otherTime / 10, 0, NoClock)) : NoClock;
    clock.increment = int(clamp(ownIncrement / 10, 0, NoClock));
    clock.movesToGo = int(clamp(movesToGo, 0, 1000));
    // A limit of 0 (or less) is no time or no depth at all: the least search
    // there is, never none.
    clock.moveTime = moveTime >= 0 ? int(clamp(moveTime / 10, 1, NoClock)) : 0;
    clock.depthLimit = depth >= 0 ? int(clamp(depth, 1, MaxPly - 1)) : 0;
    if (mate >= 0) clock.depthLimit = int(clamp(2 * int64_t(mate), 1, MaxPly - 1));
    clock.nodeLimit = nodes >= 0 ? (nodes > 1 ? nodes : 1) : 0;
    // Nothing that ends the search: it runs until "stop".
    const bool limited = clocks || moveTime >= 0 || depth >= 0 || mate >= 0 || nodes >= 0;
    if (!limited) infinite = true;

    Search& search = engine.search;
    state.stopSeen = state.ponderHitSeen = false;
    state.lastCurrentMove = readCounter();
    engine.session.bookLine[0] = '\0';
    SearchRequest request{SearchThinking, game.opponentIsComputer, 1, state.onlyMoves,
                          state.onlyMoveCount};
    clearPonder(search);
    SearchResult result{};
    if (pondering) {
        ponderPosition(search, game.board, request, clock);
        if (!state.stopSeen && !state.ponderHitSeen) awaitStop(engine, state);
        if (state.ponderHitSeen && !state.stopSeen) {
            // The ponder search counts: its result or its time.
            state.ponderHitSeen = false;
            result = think(search, game.board, request, clock);
        } else {
            result.bestMove = search.main.root.bestRootMove;
            result.moveCount = search.main.root.rootMoveCount;
        }
    } else if (infinite) {
        request.state = SearchAnalysing;
        result = think(search, game.board, request, clock);
        if (!state.stopSeen) awaitStop(engine, state);
    } else {
        result = think(search, game.board, request, clock);
    }
    if (result.fromBook && engine.session.bookLine[0]) sendText("%s\n", engine.session.bookLine);
    sendBestMove(engine, state, result.bestMove, result.moveCount);
}

// "position startpos|fen FEN [moves ...]": the moves up to the first that
// cannot be played, which is reported.
void position(Engine& engine, UciState& state, const char* arguments) {
    Game& game = engine.game;
    static char fen[CommandLineSize];
    const char* moves = std::strstr(arguments, " moves");
    const char* text = arguments;
    if (isWord(text, "startpos")) {
        std::snprintf(fen, sizeof fen, "%s", StartFen);
    } else if (isWord(text, "fen")) {
        const char* start = text + 3;
        while (*start == ' ') ++start;
        // The moves follow the position: a " moves" among the blanks before it
        // ("fen  moves...") is not theirs.
        moves = std::strstr(start, " moves");
        size_t length = moves ? size_t(moves - start) : std::strlen(start);
        if (length >= sizeof fen) length = sizeof fen - 1;
        std::memcpy(fen, start, length);
        fen[length] = '\0';
    } else {
        sendText("info string position needs startpos or fen: %s\n", arguments);
        return;
    }
    char message[FenMessageSize];
    if (!setupGame(game, fen, message)) {
        sendText("info string invalid position (%s): %s\n", message, fen);
        return;
    }
    if (!moves) return;
    char word[64];
    for (text = moves + 6;;) {
        text = nextWord(text, word, int(sizeof word));
        if (!word[0]) break;
        Move move = parseUciMove(game.board, word, state.chess960);
        if (!move || !playMoveIfValid(game, move)) {
            sendText("info string illegal move %s: the moves from it on are ignored\n", word);
            break;
        }
    }
}

void announce(Engine& engine, const UciState& state) {
    sendText("id name %s\nid author %s\n", EngineName, AuthorCredit);
    const Settings& settings = engine.settings;
    for (int i = 0; i < guiOptionCount(); ++i) {
        const GuiOption& option = guiOption(i);
        if (!(option.protocols & ForUci)) continue;
        if (option.piece) {
            const MaterialRecord& record = pieceMaterial[option.piece];
            sendText("option name %s type string default %d, %d\n", option.name, record.opening,
                     record.endgame);
        } else if (option.kind == GuiSpin) {
            sendText("option name %s type spin default %d min %d max %d\n", option.name,
                     option.field == &Settings::search_threads ? engine.search.threadCount
                                                               : settings.*option.field,
                     option.low, option.high);
        } else if (option.kind == GuiCheck) {
            bool on = option.field ? settings.*option.field != 0
                                   : !std::strcmp(option.name, "UCI_Chess960") && state.chess960;
            sendText("option name %s type check default %s\n", option.name, on ? "true" : "false");
        } else if (option.kind == GuiString) {
            sendText("option name %s type string default\n", option.name);
        } else {
            sendText("option name %s type button\n", option.name);
        }
    }
    sendText("uciok\n");
    if (const char* notice = untoldReadOnlyNotice(engine.session))
        sendText("info string %s\n", notice);
}

// "UCI_Opponent": title, rating, "computer" or "human", then the name.
void setOpponent(Game& game, const char* value) {
    char title[32], rating[32], kind[32];
    const char* text = nextWord(value, title, int(sizeof title));
    text = nextWord(text, rating, int(sizeof rating));
    text = nextWord(text, kind, int(sizeof kind));
    while (*text == ' ') ++text;
    game.opponentIsComputer = std::strcmp(kind, "computer") == 0;
    if (*text) copyField(game.opponent.name, sizeof game.opponent.name, text);
}

void setOption(Engine& engine, UciState& state, const char* arguments) {
    const char* name = std::strstr(arguments, "name ");
    if (!name) {
        sendText("info string setoption needs a name: %s\n", arguments);
        return;
    }
    name += 5;
    const char* valueAt = std::strstr(name, " value ");
    const char* value = valueAt ? valueAt + 7 : "";
    size_t nameLength = valueAt ? size_t(valueAt - name) : std::strlen(name);
    while (nameLength > 0 && name[nameLength - 1] == ' ') --nameLength;
    // Option names are not case sensitive.
    const GuiOption* option = findGuiOption(ForUci, name, nameLength);
    if (!option) {
        sendText("info string no such option: %.*s\n", int(nameLength), name);
        return;
    }
    const bool on = std::strncmp(value, "true", 4) == 0;
    if (!std::strcmp(option->name, "Clear Hash")) {
        clearSearchMemory(engine.search);
    } else if (!std::strcmp(option->name, "Ponder")) {
        engine.session.ponder = on;
    } else if (!std::strcmp(option->name, "UCI_Chess960")) {
        state.chess960 = on;
    } else if (!std::strcmp(option->name, "UCI_Opponent")) {
        setOpponent(engine.game, value);
    } else {
        switch (setGuiOption(engine, *option, value)) {
            case GuiOptionResult::OutOfRange:
                sendText("info string %s takes %d to %d: %s\n", option->name, option->low,
                         option->high, value);
                break;
            case GuiOptionResult::NoPair:
                sendText("info string %s needs two numbers, as \"400, 380\": %s\n", option->name,
                         value);
                break;
            case GuiOptionResult::Refused:
                if (option->field == &Settings::memory)
                    sendText("info string %s MB refused by the system, %d MB kept\n", value,
                             engine.settings.memory);
                else
                    sendText("info string %s threads refused by the system, %d kept\n", value,
                             engine.search.threadCount);
                break;
            default: break;
        }
    }
}

void newGame(Engine& engine) {
    prepareNewGame(engine);
    engine.session.bookHit = 1;
    clearPonder(engine.search);
}

// The arguments of a command: what follows its word, without leading blanks.
const char* argumentsOf(const char* line, const char* word) {
    const char* text = line + std::strlen(word);
    while (*text == ' ' || *text == '\t') ++text;
    return text;
}

void command(Engine& engine, UciState& state, const char* line) {
    while (*line == ' ' || *line == '\t') ++line;
    if (line[0] == '\0') return;
    if (isWord(line, "quit")) shutdownEngine(engine);
    if (isWord(line, "uci")) {
        announce(engine, state);
    } else if (isWord(line, "isready")) {
        sendText("readyok\n");
    } else if (isWord(line, "ucinewgame")) {
        newGame(engine);
    } else if (isWord(line, "position")) {
        position(engine, state, argumentsOf(line, "position"));
    } else if (isWord(line, "go")) {
        go(engine, state, argumentsOf(line, "go"));
    } else if (isWord(line, "setoption")) {
        setOption(engine, state, argumentsOf(line, "setoption"));
    } else if (isWord(line, "debug")) {
        state.debug = std::strstr(line, "on") != nullptr;
    } else if (isWord(line, "stop") || isWord(line, "ponderhit")) {
        // Nothing runs: the search that these were for has already answered.
    } else if (isBench(line)) {
        sendBench(engine, benchDepthOf(line));
    } else {
        sendText("info string unknown command: %s\n", line);
    }
}

}  // namespace

bool isUciCommand(const char* line) {
    while (*line == ' ' || *line == '\t') ++line;
    return isWord(line, "uci");
}

namespace {

// The session's state and host, made on first use and kept for the process.
struct UciSession {
    UciState state;
    UciHost host;
};

UciSession& uciSession(Engine& engine) {
    static UciSession session{{}, UciHost(engine, session.state)};
    return session;
}

}  // namespace

void beginUci(Engine& engine) {
    UciSession& session = uciSession(engine);
    engine.search.control.host = &session.host;
    engine.session.ponder = 0;
    newGame(engine);
    char message[FenMessageSize];
    setupGame(engine.game, StartFen, message);
}

void runUciCommand(Engine& engine, const char* line) {
    command(engine, uciSession(engine).state, line);
}

void runUci(Engine& engine, const char* firstLine) {
    beginUci(engine);
    runUciCommand(engine, firstLine);
    static char line[CommandLineSize];
    while (readInputLine(line, int(sizeof line)) >= 0) runUciCommand(engine, line);
    shutdownEngine(engine);
}
