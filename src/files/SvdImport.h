// One register of an SVD file as a layout: its fields, read from where the
// outline says, with what they derive from.
#ifndef BITLENS_SVDIMPORT_H
#define BITLENS_SVDIMPORT_H

#include "SvdOutline.h"

// registers[entry] of the outline, which has no error.
LayoutResult ImportSvdRegister(const SvdFile::Outline& outline, int entry);

#endif
