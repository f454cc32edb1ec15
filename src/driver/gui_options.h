// The settings a GUI shows in its engine dialog, for both protocols: their
// names, kinds, ranges and the settings they change. Each front end prints
// them in its own words (UCI "option name", xboard "feature option") and
// reports what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/settings.h"

struct Engine;

enum GuiOptionKind { GuiCheck, GuiSpin, GuiString, GuiButton };

// Bits of GuiOption::protocols.
constexpr int ForUci = 1;
constexpr int ForXboard = 2;

struct GuiOption {
    const char* name;
    GuiOptionKind kind;
    int protocols;
    int32_t Settings::*field = nullptr;  // spin and check options of the settings
    int32_t low = 0, high = 0;
    int piece = 0;  // piece values: "opening, endgame"
};

// In the order the GUI is told them.
int guiOptionCount();
const GuiOption& guiOption(int index);

// The option of that name for the protocol, matched without regard to case,
// or null.
const GuiOption* findGuiOption(int protocol, const char* name, size_t length);

enum class GuiOptionResult {
    Set,
    OutOfRange,  // not a number, or beyond low and high: nothing changed
    NoPair,      // a piece value without its two numbers
    Refused,     // memory or threads the system would not give: the setting is what it has
    NotASetting  // a button or an option of the front end's own
};

// Sets a settings option (check, spin, piece value) from its value text:
// "true"/"false" or a number 0/1 for a check, a number for a spin. Memory
// and threads take effect at once, or after a running search.
GuiOptionResult setGuiOption(Engine& engine, const GuiOption& option, const char* value);
