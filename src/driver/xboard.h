// The xboard front end: the protocol's commands, the engine's move, and the
// search's host, which polls the input and writes the thinking lines.
#pragma once

#include "board/types.h"
#include "search/search.h"

struct Engine;

// Runs one command line, from standard input, the configuration file or the
// poll during a search: an xboard command, "bench", "au nodes FILE", an
// option line or a move typed at the console; anything else is answered
// "Error (unknown command): ...".
void dispatchCommand(Engine& engine, const char* line);

// Runs the line if it is an xboard command. Returns 1 when it was one.
int handleProtocolCommand(Engine& engine, const char* line);

// "au nodes FILE": each FEN line of the file searched to depth 14 from an
// empty table; node counts to standard output and to "nodes_fen.txt".
void runNodeBenchmark(Engine& engine, const char* fileName);

// In analyze mode with no search running, analyses the current position until
// a command stops it; otherwise nothing.
void resumeAnalysis(Engine& engine);

// Prints "move e2e4", "move e7e8q", "move O-O" or "move O-O-O"; nothing when no
// game is in progress.
void sendEngineMove(Engine& engine, Move move);

// A move typed at the console: played when legal, and answered when the
// engine is playing.
void playConsoleMove(Engine& engine, const char* text);

class XboardHost final : public SearchHost {
public:
    explicit XboardHost(Engine& owner) : engine(owner) {}
    void poll(SearchThread& search) override;
    bool wantsThinking() override;
    void thinking(const ThinkingLine& line) override;
    BookOffer bookMove(Board& board) override;

private:
    Engine& engine;
};
