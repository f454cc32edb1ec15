#include "driver/xboard.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "book/book.h"
#include "driver/bench.h"
#include "driver/command_text.h"
#include "driver/engine.h"
#include "driver/game.h"
#include "driver/gui_options.h"
#include "driver/options.h"
#include "driver/output.h"
#include "driver/poll.h"
#include "eval/evaluate.h"
#include "eval/material.h"
#include "notation/fen.h"
#include "notation/movetext.h"
#include "platform/input.h"
#include "platform/platform.h"

namespace {

// Milliseconds since a counter reading.
uint64_t millisecondsSince(uint64_t start) {
    return (readCounter() - start) * 1000 / readCounterFrequency();
}

void reportPerft(int depth, uint64_t leaves, uint64_t start, bool incomplete) {
    uint64_t elapsed = millisecondsSince(start);
    uint64_t rate = elapsed ? leaves * 1000 / elapsed : 0;
    sendText("perft %d %llu time %llu ms rate %llu/s%s\n", depth, (unsigned long long)leaves,
             (unsigned long long)elapsed, (unsigned long long)rate,
             incomplete ? " (stopped: the count is incomplete)" : "");
}

// A count may run for days: it stops for "quit", "?" or "new" typed while it
// runs, which stay in the input for the main loop. What was sent before it
// waits for it, and at the end of input the count is owed, as the benchmark's
// figures are: a script that pipes "perft 6" and "new" wants the number.
bool countMustStop(void* context) {
    const uint64_t started = *static_cast<uint64_t*>(context);
    LineReader& input = standardInputReader();
    char line[16];
    return peekLine(input, line, int(sizeof line)) == InputPending &&
           firstPendingLine(input) >= started &&
           (startsWith(line, "quit") || startsWith(line, "?") || startsWith(line, "new"));
}

// Where a chess server hears about the engine's book and thinking: 2 kibitz,
// 1 whisper, 0 nowhere, by the kind of opponent.
void tellServer(const Engine& engine, const char* text) {
    const Settings& settings = engine.settings;
    int channel = engine.game.opponentIsComputer ? settings.serverComputer : settings.serverHuman;
    if (channel == 2) sendText("tellics kibitz %s\n", text);
    if (channel == 1) sendText("tellics whisper %s\n", text);
}

// Moves to mate, or to being mated ("M-"), counted from the engine's side.
void formatMate(char* text, int size, int score) {
    if (score >= 1)
        std::snprintf(text, size_t(size), "M%d", (Mate - score) / 2 + 1);
    else
        std::snprintf(text, size_t(size), "M-%d", (score + Mate) / 2);
}

// Pings that came while the engine thought: their pongs follow its move.
void answerOwedPings(Session& session) {
    for (int i = 0; i < session.owedPongCount; ++i) sendText("pong %ld\n", session.owedPongs[i]);
    session.owedPongCount = 0;
}

// The result line of a game that the board has just ended.
void sendOwedResult(Game& game) {
    if (game.resultLine) sendText("%s\n", game.resultLine);
    game.resultLine = nullptr;
}

// What follows the search of the engine's move, the move itself included.
void finishEngineMove(Engine& engine, const SearchResult& result) {
    Game& game = engine.game;
    Session& session = engine.session;
    const RootSearch& root = engine.search.main.root;
    if (result.fromBook && session.bookLine[0] && session.post) sendText("%s\n", session.bookLine);
    // The ponder search's summary goes out only now that its prediction came true.
    if (result.ponderHit && session.icsMode && session.kibitzText[0])
        tellServer(engine, session.kibitzText);
    // Resign a lost game, but never on a mate score against a human.
    if (result.searched && game.resignAllowed &&
        (root.bestRootScore > -MateBound || game.opponentIsComputer) &&
        root.bestRootScore < engine.settings.behavior_resign_value && root.iterationDepth > 7 &&
        game.gameInProgress) {
        game.gameInProgress = 0;
        sendText(game.whitePlayer == &game.self ? "0-1 {White resigned}\n"
                                                : "1-0 {Black resigned}\n");
    }
    if (result.moveCount == 0 || !session.playing) return;
    sendEngineMove(engine, result.bestMove);
    if (!game.gameInProgress || !playMoveIfValid(game, result.bestMove)) return;
    sendOwedResult(game);
    // A quiet pawnless ending that the evaluation calls level: offer a draw.
    if (considerDraw(game, engine.settings, result.score, 1)) sendText("offer draw\n");
}

// The engine's move: the search, then resignation of a lost game, the move,
// and a draw offer in a level ending; then the pongs owed.
void playEngineMove(Engine& engine) {
    Game& game = engine.game;
    Session& session = engine.session;
    const int over = checkGameEnd(game);
    sendOwedResult(game);
    if (over) return;
    session.playing = 1;
    SearchResult result = searchGame(engine, SearchThinking);
    finishEngineMove(engine, result);
    answerOwedPings(session);
}

// After the engine's move, with pondering on: think on the predicted reply
// until the opponent moves.
void startPonder(Engine& engine) {
    Search& search = engine.search;
    const Game& game = engine.game;
    const SearchLimits& clock = engine.clock;
    clearPonder(search);
    engine.session.kibitzText[0] = '\0';
    if (!game.gameInProgress || !engine.session.ponder) return;
    if (clock.engineClock < 1000 && clock.opponentClock < 2000) return;
    if (clock.engineClock < 500) return;
    SearchRequest request{SearchPondering, game.opponentIsComputer, engine.session.ponder};
    ponder(search, engine.game.board, request, engine.clock);
}

void playAndPonder(Engine& engine) {
    playEngineMove(engine);
    if (engine.session.ponder) startPonder(engine);
}

// "eval": the static evaluation of the current position, White's view, as a
// search from here would see it at its root.
void staticEvaluation(Engine& engine, const char* line) {
    if (!engine.game.boardValid) {
        sendText("Error (no valid position): %s\n", line);
        return;
    }
    EvalMemory& memory = engine.search.main.eval;
    memory.rootPieceCount = engine.game.board.pieceCount;
    sendText("eval %d\n", int(evaluate(memory, engine.game.board, -FullWindow, FullWindow)));
}

// "perft D" and "divide D": leaf counts from the current position, divide one
// line per root move in generation order first.
void countLeaves(Engine& engine, const char* line, bool divide) {
    Board& board = engine.game.board;
    int depth = int(std::atol(line + (divide ? 7 : 6)));
    if (!engine.game.boardValid) {
        sendText("Error (no valid position): %s\n", line);
        return;
    }
    if (depth < 1 || depth > MaxPly || board.ply + depth > MaxGame) {
        sendText("Error (depth out of range): %s\n", line);
        return;
    }
    uint64_t start = readCounter();
    uint64_t started = linesReceived(standardInputReader());
    PerftInterrupt interrupt{countMustStop, &started, 1, false};
    if (!divide) {
        uint64_t leaves = perft(board, depth, 0, &interrupt);
        reportPerft(depth, leaves, start, interrupt.stopped);
        return;
    }
    int count = generateMoves(board);
    uint64_t total = 0;
    for (int i = 0; i < count && !interrupt.stopped; ++i) {
        Move move = board.stack->moveLists[0][i].move;
        saveUndo(board);
        makeMove(board, move);
        uint64_t leaves = perft(board, depth - 1, 1, &interrupt);
        unmakeMove(board);
        if (interrupt.stopped) break;
        char text[8];
        formatMoveCoordinates(move, text);
        sendText("%s %llu\n", text, (unsigned long long)leaves);
        total += leaves;
        // Between root moves too, for counts whose subtrees are small.
        interrupt.stopped = countMustStop(&started);
    }
    reportPerft(depth, total, start, interrupt.stopped);
}

// A take-back after the game's end (on the board or by the GUI's result)
// plays on from the earlier position.
void takeBackMove(Engine& engine) {
    Game& game = engine.game;
    game.resignAllowed = 0;
    if (game.board.ply == 0) return;
    unmakeMove(game.board);
    game.gameInProgress = game.boardValid;
}

// The handlers of the command table: each gets the whole line.

// A refused move is answered, so that the GUI can take it back rather than
// play on in a game the engine does not have.
void refuseMove(const Game& game, const char* text, bool ambiguous) {
    if (!game.boardValid)
        sendText("Illegal move (no valid position): %s\n", text);
    else if (historyFull(game))
        sendText("Illegal move (game history full): %s\n", text);
    else if (ambiguous)
        sendText("Illegal move (ambiguous): %s\n", text);
    else
        sendText("Illegal move: %s\n", text);
}

void userMove(Engine& engine, const char* line) {
    const char* text = line + 9;
    bool ambiguous = false;
    if (!playMoveText(engine.game, text, &ambiguous)) {
        refuseMove(engine.game, text, ambiguous);
        return;
    }
    sendOwedResult(engine.game);
    if (engine.session.playing && !engine.session.analysing) playAndPonder(engine);
}

void engineTime(Engine& engine, const char* line) {
    engine.clock.engineClock = int(std::atol(line + 5));
}

void opponentTime(Engine& engine, const char* line) {
    engine.clock.opponentClock = int(std::atol(line + 5));
}

// Seconds as xboard writes them ("10", "0.1") in centiseconds, rounded.
int centisecondsOf(const char* text) {
    double seconds = std::atof(text);
    if (!(seconds > 0)) return 0;
    return seconds >= 1e7 ? 1000000000 : int(seconds * 100 + 0.5);
}

// "level MPS BASE INC": BASE is minutes or minutes:seconds, anything after it
// in its word is ignored ("25+5"); INC is seconds, fractions included. The
// depth limit stays.
void level(Engine& engine, const char* line) {
    SearchLimits& clock = engine.clock;
    char moves[32] = "", base[32] = "", increment[32] = "";
    std::sscanf(line, "level %31s %31s %31s", moves, base, increment);
    long perSession = std::atol(moves);
    clock.moveTime = 0;
    clock.increment = centisecondsOf(increment);
    clock.movesPerSession = perSession > 0 && perSession < 100000 ? int(perSession) : 0;
}

// The settings for xboard's engine dialog, at their current values.
void announceOptions(const Engine& engine) {
    const Settings& settings = engine.settings;
    for (int i = 0; i < guiOptionCount(); ++i) {
        const GuiOption& option = guiOption(i);
        if (!(option.protocols & ForXboard)) continue;
        if (option.piece) {
            const MaterialRecord& record = pieceMaterial[option.piece];
            sendText("feature option=\"%s -string %d, %d\"\n", option.name, record.opening,
                     record.endgame);
        } else if (option.kind == GuiSpin) {
            sendText("feature option=\"%s -spin %d %d %d\"\n", option.name,
                     option.field == &Settings::search_threads ? engine.search.threadCount
                                                               : settings.*option.field,
                     option.low, option.high);
        } else if (option.kind == GuiCheck) {
            sendText("feature option=\"%s -check %d\"\n", option.name,
                     settings.*option.field ? 1 : 0);
        } else if (option.kind == GuiButton) {
            sendText("feature option=\"%s -button\"\n", option.name);
        }
    }
}

// "option NAME=VALUE" from the engine dialog; "option NAME" for a button.
void optionCommand(Engine& engine, const char* line) {
    const char* name = line + 7;
    const char* equals = std::strchr(name, '=');
    const size_t length = equals ? size_t(equals - name) : std::strlen(name);
    const char* value = equals ? equals + 1 : "";
    const GuiOption* option = findGuiOption(ForXboard, name, length);
    if (!option) {
        sendText("Error (unknown option): %s\n", line);
        return;
    }
    if (!std::strcmp(option->name, "Clear Hash")) {
        clearSearchMemory(engine.search);
        return;
    }
    switch (setGuiOption(engine, *option, value)) {
        case GuiOptionResult::OutOfRange:
            sendText("telluser %s takes %d to %d: %s\n", option->name, option->low, option->high,
                     value);
            break;
        case GuiOptionResult::NoPair:
            sendText("telluser %s needs two numbers, as \"400, 380\": %s\n", option->name, value);
            break;
        case GuiOptionResult::Refused:
            sendText("telluser %s threads refused by the system, %d kept\n", value,
                     engine.search.threadCount);
            break;
        default: break;
    }
}

// "memory N": the megabytes all the tables may take, as the GUI divides its
// memory. "memory = N", the option line, says the same.
void memoryCommand(Engine& engine, const char* line) {
    const char* text = line + 6;
    while (*text == ' ') ++text;
    if (*text == '=') {
        handleOptionCommand(engine, line);
        return;
    }
    char* end = nullptr;
    const long megabytes = std::strtol(text, &end, 10);
    if (end == text || megabytes < 1 || megabytes > 1048576) {
        sendText("Error (bad memory size): %s\n", line);
        return;
    }
    engine.settings.memory = int(megabytes);
    if (!applySearchResources(engine))
        sendText("telluser %ld MB refused by the system, %d MB kept\n", megabytes,
                 engine.settings.memory);
}

// "cores N": the most threads the GUI allows.
void coresCommand(Engine& engine, const char* line) {
    char* end = nullptr;
    const long cores = std::strtol(line + 6, &end, 10);
    if (end == line + 6 || cores < 1) {
        sendText("Error (bad number of cores): %s\n", line);
        return;
    }
    engine.session.coresAllowed = cores < MaxSearchThreads ? int(cores) : MaxSearchThreads;
    if (!applySearchResources(engine))
        sendText("telluser %ld threads refused by the system, %d kept\n", cores,
                 engine.search.threadCount);
}

// "exclude MOVE", "include MOVE", "exclude all", "include all": the root
// moves of the position's searches.
void excludeCommand(Engine& engine, const char* line) {
    Session& session = engine.session;
    Game& game = engine.game;
    const bool exclude = line[0] == 'e';
    const char* text = line + 8;
    excludedMovesHere(engine);
    if (!game.boardValid) return;
    Board& board = game.board;
    if (!std::strcmp(text, "all")) {
        session.excludedCount = 0;
        if (!exclude) return;
        for (int i = 0, legal = generateLegalMoves(board, 0); i < legal && i < 256; ++i)
            session.excludedMoves[session.excludedCount++] = board.stack->moveLists[0][i].move;
        return;
    }
    const Move move = parseMoveText(board, text);
    if (!move) {
        sendText("Illegal move: %s\n", text);
        return;
    }
    int at = 0;
    while (at < session.excludedCount && session.excludedMoves[at] != move) ++at;
    if (exclude && at == session.excludedCount && at < 256)
        session.excludedMoves[session.excludedCount++] = move;
    if (!exclude && at < session.excludedCount)
        session.excludedMoves[at] = session.excludedMoves[--session.excludedCount];
}

void announceFeatures(Engine& engine, const char*) {
    sendText("feature done=0\n");
    prepareNewGame(engine);
    sendText("feature usermove=1\n");
    sendText("feature setboard=1\n");
    sendText("feature draw=1\n");
    sendText("feature ics=1\n");
    sendText("feature analyze=1\n");
    sendText("feature name=1\n");
    sendText("feature variants=\"normal,nocastle,fischerandom\"\n");
    sendText("feature myname=\"%s\"\n", EngineName);
    sendText("feature reuse=1\n");
    sendText("feature ping=1\n");
    sendText("feature smp=1\n");
    sendText("feature memory=1\n");
    sendText("feature exclude=1\n");
    announceOptions(engine);
    sendText("feature done=1\n");
    if (const char* notice = untoldReadOnlyNotice(engine.session))
        sendText("telluser %s\n", notice);
}

void ignore(Engine&, const char*) {}

void chessServer(Engine& engine, const char* line) { engine.session.icsMode = line[4] != '-'; }

void remove(Engine& engine, const char*) {
    takeBackMove(engine);
    takeBackMove(engine);
}

void undo(Engine& engine, const char*) { takeBackMove(engine); }

void opponentName(Engine& engine, const char* line) {
    // A name that fills the field is cut to 62 characters, as GUIs expect.
    const char* name = line + 5;
    char* field = engine.game.opponent.name;
    size_t length = std::strlen(name);
    size_t size = sizeof engine.game.opponent.name;
    if (length >= size) length = size - 2;
    std::memcpy(field, name, length);
    field[length] = '\0';
}

void result(Engine& engine, const char* line) {
    // "*": an unfinished game teaches nothing.
    int outcome = startsWith(line, "result 0-1") ? -1 : startsWith(line, "result 1-0") ? 1 : 0;
    bool known = outcome != 0 || startsWith(line, "result 1/2-1/2");
    Game& game = engine.game;
    if (known && engine.settings.book_learning && !engine.session.readOnlyNotice[0])
        bookLearnGame(game.opponent.name, game.stack.undo, game.board.ply, outcome);
    if (engine.session.icsMode)
        sendText("tellics tell %s Good game %s\n", game.opponent.name, game.opponent.name);
    game.gameInProgress = 0;
}

// The book's record of the position, as xboard shows it: lines that start
// with a blank, then an empty line.
void bookInformation(Engine& engine, const char*) {
    BookRecord record = bookProbe(MainBookName, engine.game.board.hashKey);
    sendText(" W %d, D %d, B %d\n\n", record.whiteWins, record.draws, record.blackWins);
}

void setBoard(Engine& engine, const char* line) {
    char message[FenMessageSize];
    if (!setupPosition(engine, line + 9, message)) sendText("telluser %s\n", message);
}

void moveNow(Engine& engine, const char*) { requestStop(engine.search, 1); }

void post(Engine& engine, const char*) { engine.session.post = 1; }

void noPost(Engine& engine, const char*) { engine.session.post = 0; }

// Analyze mode is force mode with a search on the position: dispatchCommand
// starts it after each command, on the position as that command left it.
void analyze(Engine& engine, const char*) {
    engine.session.analysing = 1;
    engine.session.playing = 0;
}

void exitAnalysis(Engine& engine, const char*) {
    engine.session.analysing = 0;
    requestStop(engine.search, 1);
}

void computerOpponent(Engine& engine, const char*) { engine.game.opponentIsComputer = 1; }

void easy(Engine& engine, const char*) { engine.session.ponder = 0; }

void hard(Engine& engine, const char*) { engine.session.ponder = 1; }

// In analyze mode the new game is analysed; otherwise the engine plays Black.
void newGame(Engine& engine, const char*) {
    engine.clock.depthLimit = 0;
    if (setupPosition(engine, StartFen)) engine.session.playing = !engine.session.analysing;
}

// An analysis goes on in force mode; the engine's own search or pondering stops.
void force(Engine& engine, const char*) {
    engine.session.playing = 0;
    if (engine.search.control.state != SearchAnalysing) requestStop(engine.search, 1);
}

// "sd" and "st" hold together with the clock: each sets its own limit.
void searchDepth(Engine& engine, const char* line) {
    long depth = std::atol(line + 3);
    engine.clock.depthLimit = depth <= 0 ? 0 : depth < MaxPly ? int(depth) : MaxPly - 1;
}

void searchTime(Engine& engine, const char* line) {
    engine.clock.moveTime = centisecondsOf(line + 3);
}

// While the engine thinks on its own move, a ping is answered after the move.
void ping(Engine& engine, const char* line) {
    Session& session = engine.session;
    long number = std::atol(line + 5);
    if (engine.search.control.state != SearchThinking) {
        sendText("pong %ld\n", number);
    } else if (session.owedPongCount < int(sizeof session.owedPongs / sizeof(long))) {
        session.owedPongs[session.owedPongCount++] = number;
    } else {
        session.owedPongs[session.owedPongCount - 1] = number;  // the latest is what counts
    }
}

void go(Engine& engine, const char*) {
    Game& game = engine.game;
    // Never search before a valid setup: the board may hold a rejected placement.
    if (engine.search.control.state != SearchIdle || !game.boardValid) return;
    engine.session.analysing = 0;
    setPlayerColours(game, game.board.toMove->colour == White);
    engine.session.playing = 1;
    playAndPonder(engine);
}

void searchStatus(Engine& engine, const char*) {
    Search& search = engine.search;
    char san[32] = "";
    const RootMove* current = search.main.root.currentRootMove;
    if (engine.game.boardValid && current && current->move)
        formatMoveSan(engine.game.board, current->move, san);
    double nodes = searchNodeCount(search);
    int elapsed = int((readCounter() - uint64_t(search.control.startCounter)) * 100 /
                      uint64_t(search.control.counterFrequency));
    // The moves still to search at this depth, the current one among them.
    const int total = search.main.root.rootMoveCount;
    const int left = current ? total - search.main.root.rootMoveIndex : total;
    san[std::strcspn(san, " ")] = '\0';
    sendText("stat01: %d %.0f %d %d %d%s%s\n", elapsed, nodes, search.main.root.iterationDepth,
             left, total, san[0] ? " " : "", san);
}

void perftCommand(Engine& engine, const char* line) { countLeaves(engine, line, false); }

void divideCommand(Engine& engine, const char* line) { countLeaves(engine, line, true); }

struct Command {
    const char* prefix;  // matched against the line's start; a blank is part of it
    void (*handler)(Engine& engine, const char* line);
    bool word = false;  // the prefix must be followed by a blank or the line's end
};

// Tried in this order; the first prefix that starts the line wins. Lines that
// no prefix claims go on to the benchmark and the option handler, which would
// take "perft 1" for a move typed at the console.
constexpr Command commands[] = {
    {"usermove ", userMove},
    {"time ", engineTime},
    {"otim ", opponentTime},
    {"level ", level},
    {"xboard", announceFeatures},
    {"option ", optionCommand},
    {"memory", memoryCommand, true},
    {"cores ", coresCommand},
    {"exclude ", excludeCommand},
    {"include ", excludeCommand},
    {"protover 2", ignore},
    {"accepted ", ignore},
    {"rejected ", ignore},
    {"white", ignore},
    {"black", ignore},
    {"random", ignore},
    {"ics ", chessServer},
    {"remove", remove},
    {"undo", undo},
    {"name ", opponentName},
    {"result ", result},
    {"bk", bookInformation},
    {"setboard ", setBoard},
    {"?", moveNow},
    {"post", post},
    {"nopost", noPost},
    {"ana", analyze},
    {"rating ", ignore},
    {"exit", exitAnalysis},
    {"draw", nullptr},  // answered below: it needs the last search's score
    {"computer", computerOpponent},
    {"easy", easy},
    {"hard", hard},
    {"new", newGame},
    {"force", force},
    {"sd ", searchDepth},
    {"st ", searchTime},
    {"ping ", ping},
    {"variant", ignore},
    {"go", go},
    {".", searchStatus},
    {"perft ", perftCommand},
    {"divide ", divideCommand},
    {"eval", staticEvaluation, true},  // evaluate_* option lines share the prefix
};

}  // namespace

void resumeAnalysis(Engine& engine) {
    const Session& session = engine.session;
    if (session.analysing && !session.benchmarkRunning &&
        engine.search.control.state == SearchIdle && engine.game.boardValid)
        searchGame(engine, SearchAnalysing);
}

int handleProtocolCommand(Engine& engine, const char* line) {
    for (const Command& command : commands) {
        if (!startsWith(line, command.prefix)) continue;
        char next = line[std::strlen(command.prefix)];
        if (command.word && next != '\0' && next != ' ') continue;
        if (command.handler)
            command.handler(engine, line);
        else if (considerDraw(engine.game, engine.settings, engine.search.main.root.bestRootScore,
                              0))
            sendText("offer draw\n");
        return 1;
    }
    return 0;
}

void sendEngineMove(Engine& engine, Move move) {
    if (!engine.game.gameInProgress) return;
    if (moveKind(move) == KindCastleKingSide) {
        sendText("move O-O\n");
    } else if (moveKind(move) == KindCastleQueenSide) {
        sendText("move O-O-O\n");
    } else {
        char text[6];
        formatMoveCoordinates(move, text);
        sendText("move %s\n", text);
    }
}

void playConsoleMove(Engine& engine, const char* text) {
    if (!playMoveText(engine.game, text)) return;
    sendOwedResult(engine.game);
    if (engine.session.playing == 1) playEngineMove(engine);
}

namespace {

// "quit" as the line's first word. Matching it anywhere would end the program
// on a line such as "name Mesquite" in the middle of a game.
bool isQuit(const char* line) {
    return std::strncmp(line, "quit", 4) == 0 && (line[4] == '\0' || line[4] == ' ');
}

void runCommand(Engine& engine, const char* line) {
    if (handleProtocolCommand(engine, line)) return;
    if (std::strncmp(line, "au ", 3) == 0 && std::strstr(line, "nodes ")) {
        runNodeBenchmark(engine, textFrom(line, 9));
        return;
    }
    if (isBench(line)) {
        sendBench(engine, benchDepthOf(line));
        return;
    }
    if (handleOptionCommand(engine, line)) return;
    // A word of four or five letters typed at the console: a move if it is
    // one, silently nothing otherwise.
    const size_t length = std::strlen(line);
    if (length == 4 || length == 5) {
        playConsoleMove(engine, line);
        return;
    }
    sendText("Error (unknown command): %s\n", line);
}

// Reads one line from standard input and dispatches it; ends the program at
// the end of input.
void readAndDispatchLine(Engine& engine) {
    // Static: too large for a stack that a search is on. A line read here runs
    // no search, so no second call comes while this one's line is in use.
    static char line[CommandLineSize];
    if (readInputLine(line, sizeof line) < 0) shutdownEngine(engine);
    dispatchCommand(engine, line);
}

}  // namespace

void dispatchCommand(Engine& engine, const char* line) {
    if (isQuit(line)) shutdownEngine(engine);
    if (line[0] == '\0') return;
    runCommand(engine, line);
    // An analysis that the command stopped goes on, on the position it left.
    resumeAnalysis(engine);
}

void runNodeBenchmark(Engine& engine, const char* fileName) {
    std::FILE* input = std::fopen(fileName, "r");
    if (!input) return;
    Session& session = engine.session;
    int post = session.post;
    session.post = 0;
    session.benchmarkRunning = 1;
    // Without the output file the figures still reach standard output.
    std::FILE* output = std::fopen("nodes_fen.txt", "w+");
    double total = 0;
    int number = 0;
    char line[500];
    while (std::fgets(line, sizeof line, input)) {
        if (std::strlen(line) < 10) continue;
        line[std::strcspn(line, "\r\n")] = '\0';
        ++number;
        sendText("%d\t", number);
        if (output) std::fprintf(output, "%d\t", number);
        char message[FenMessageSize];
        if (!setupPosition(engine, line, message)) {
            sendText("telluser %s\n", message);
            continue;
        }
        clearSearchMemory(engine.search);
        engine.clock.depthLimit = 14;
        searchGame(engine, SearchAnalysing);
        double nodes = searchNodeCount(engine.search);
        total += nodes;
        sendText("%10.0f %10.0f\n", nodes, total);
        if (output) std::fprintf(output, "%10.0f %10.0f\n", nodes, total);
    }
    std::fclose(input);
    if (output) std::fclose(output);
    session.post = post;
    session.benchmarkRunning = 0;
}

// Every so many nodes the search looks at what the GUI has sent, without
// consuming it: commands that change the game stop the search and stay in
// the input for the main loop; harmless ones run at once.
void XboardHost::poll(SearchThread&) {
    static int console = -1;
    if (console < 0) console = inputIsConsole() ? 1 : 0;
    Search& search = engine.search;

    static char pending[4096];
    InputPeek peek = peekInput(pending, int(sizeof pending));
    if (peek == InputGone) {
        // The engine's move and the benchmark's figures are owed: that search
        // ends by its own limits, and the main loop then finds the end of input.
        if (search.control.state == SearchThinking || engine.session.benchmarkRunning) return;
        shutdownEngine(engine);
    }
    if (peek == InputNothing) return;

    // A typed line stops any search, analysis included, and waits for the
    // main loop: a console move carries no "usermove" to tell it apart.
    if (console || pollAction(pending) == PollStop) {
        requestStop(search, 1);
        return;
    }
    readAndDispatchLine(engine);
}

bool XboardHost::wantsThinking() { return engine.session.post != 0; }

void XboardHost::thinking(const ThinkingLine& line) {
    // An analysis stopped by the GUI's next command says no more about the
    // position it has left.
    if (line.final && line.state == SearchAnalysing && engine.search.control.stopRequested == 1)
        return;
    const Settings& settings = engine.settings;
    Board& board = *line.board;
    int score = engine.game.positionMarker ? 0 : line.score;
    int sign = settings.pv_objective_score && board.toMove->colour == Black ? -1 : 1;

    char shortScore[24];
    bool mate = std::abs(score) >= MateBound;
    if (mate)
        formatMate(shortScore, sizeof shortScore, score);
    else
        std::snprintf(shortScore, sizeof shortScore, "%.2f", double(score * sign) / 100.0);

    char moves[PvTextSize];
    variationText(board, line.variation->pvMoves, line.variation->pvLength, moves);
    char variation[PvTextSize];
    int length = 0;
    variation[0] = '\0';
    if (line.state == SearchPondering && line.ponderMove) {
        char ponder[16];
        moveTextLong(line.ponderMove, ponder);
        ponder[std::strcspn(ponder, " ")] = '\0';
        length = appendText(variation, PvTextSize, length, "(%s) ", ponder);
    }
    appendText(variation, PvTextSize, length, "%s", moves);

    char text[PvTextSize + 128];
    if (mate && settings.pv_show_mate)
        std::snprintf(text, sizeof text, "%d %d %d %.0f [%s] %s", line.depth, score * sign,
                      line.centiseconds, line.nodes, shortScore, variation);
    else
        std::snprintf(text, sizeof text, "%d %d %d %.0f %s", line.depth, score * sign,
                      line.centiseconds, line.nodes, variation);
    // xboard keeps thinking lines short.
    if (std::strlen(text) > 402) std::strcpy(text + 396, "...");
    sendText("%s\n", text);

    if (!line.final || !engine.session.icsMode || line.multiPv > 1) return;
    char clock[24];
    int centiseconds = line.centiseconds < 0 ? 0 : line.centiseconds;
    if (centiseconds < 6000)
        std::snprintf(clock, sizeof clock, "%3d.%02d", centiseconds / 100, centiseconds % 100);
    else
        std::snprintf(clock, sizeof clock, "%3d:%02d", centiseconds / 6000,
                      centiseconds / 100 % 60);
    double seconds = double(line.centiseconds) / 100.0;
    double rate = line.nodes * 0.001 / (seconds > 0.01 ? seconds : 0.01);
    char summary[PvTextSize];
    // A variation near the buffer's size is cut short; the line above had it whole.
    appendText(summary, PvTextSize, 0, "Score=%s Depth=%d/%d kNps=%d Time=%s TB=%d PV=%s",
               shortScore, line.depth, line.selectiveDepth, rate < 2e9 ? int(rate) : 2000000000,
               clock + (clock[0] == ' ' ? 1 : 0), int(line.tablebaseHits), variation);
    // A ponder search's summary is sent only if the prediction comes true.
    if (line.state == SearchPondering)
        copyField(engine.session.kibitzText, sizeof engine.session.kibitzText, summary);
    else
        tellServer(engine, summary);
}

BookOffer XboardHost::bookMove(Board& board) {
    Session& session = engine.session;
    session.bookLine[0] = '\0';
    BookChoice choice;
    BookOffer offer = offerBookMove(engine, board, choice);
    if (!offer.move) return offer;
    if (session.icsMode) tellServer(engine, choice.counts);
    // Announced only when it was checked.
    if (offer.verifyDepth) copyField(session.bookLine, sizeof session.bookLine, choice.line);
    return offer;
}
