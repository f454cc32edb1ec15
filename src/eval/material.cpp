#include "eval/material.h"

namespace {

// Computed in 64 bits: option values may come close to the int32 limits, and
// the result always lies between the two values.
constexpr int32_t taperEntry(int32_t opening, int32_t endgame, int phase) {
    int64_t t = phase < 40 ? phase : 40;
    return int32_t(((40 - t) * endgame + t * opening) / 40);
}

constexpr MaterialRecord materialRecord(int32_t opening, int32_t endgame) {
    MaterialRecord record{opening, endgame, {}};
    for (int phase = 0; phase < 64; ++phase) {
        record.materialTaper[phase] = taperEntry(opening, endgame, phase);
    }
    return record;
}

bool centred = false;

}  // namespace

// Constant-initialised, so they hold their tables before any other static
// initialiser can look at them.
constinit MaterialRecord pieceMaterial[6] = {
    materialRecord(0, 0),     materialRecord(80, 120),  materialRecord(415, 375),
    materialRecord(435, 405), materialRecord(632, 652), materialRecord(1290, 1330),
};
constinit MaterialRecord rookFileBonus = materialRecord(17, 17);

int32_t evaluate_control = 2;

namespace {

// pieceValue takes the piece's average (opening + endgame) / 2 and its taper
// keeps only the phase-dependent deviation from it.
void centrePiece(int piece) {
    MaterialRecord& record = pieceMaterial[piece];
    int32_t average = int32_t((int64_t(record.opening) + record.endgame) / 2);
    pieceValue[piece] = average;
    for (int32_t& entry : record.materialTaper) entry = int32_t(int64_t(entry) - average);
}

}  // namespace

void setMaterialValues(int piece, int32_t opening, int32_t endgame) {
    pieceMaterial[piece] = materialRecord(opening, endgame);
    if (centred) centrePiece(piece);
}

void centreMaterial() {
    if (centred) return;
    centred = true;
    pieceValue[0] = 0;
    pieceValue[6] = 0;
    for (int piece = 1; piece <= 5; ++piece) centrePiece(piece);
}
