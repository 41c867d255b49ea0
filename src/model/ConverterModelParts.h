// The parts of ConverterModel's state that its steps share rather than copy.
#ifndef BITLENS_CONVERTERMODELPARTS_H
#define BITLENS_CONVERTERMODELPARTS_H

#include "BitFieldLayout.h"
#include "ConverterModel.h"
#include "History.h"

struct ConverterModel::OpenLayout {
    BitFieldLayout layout;
    std::string file;
};

struct ConverterModel::HistoryWalk {
    HistoryRecall recall; // walking in `field` while it shows `settled`
    Field field;
    std::string settled;
};

#endif
