// The parts of ConverterModel's state that its steps share rather than copy.
#ifndef BITLENS_CONVERTERMODELPARTS_H
#define BITLENS_CONVERTERMODELPARTS_H

#include "BitFieldLayout.h"
#include "ConverterModel.h"
#include "History.h"

struct ConverterModel::OpenLayout {
    BitFieldLayout layout;
    std::string file;
    int laneBits = 0; // generated lanes of this size; 0 for any other layout
    std::string lanesName; // their name's template
};

struct ConverterModel::HistoryWalk {
    HistoryRecall recall; // walking in `field` while it shows `settled`
    Field field;
    std::string settled;
    // The calculation Enter entered, with the result it wrote as its text:
    // what Enter on that result would enter again.
    std::shared_ptr<const HistoryEntry> result;
};

#endif
