// One register of an SVD file as a layout: its fields, read from where the
// outline says, with what they derive from.
#ifndef BITLENS_SVDIMPORT_H
#define BITLENS_SVDIMPORT_H

#include "SvdOutline.h"

// The register at `path` of an outline that has no error; `spokenName` is
// how the user named it, for the messages.
LayoutResult ImportSvdRegister(
    const SvdFile::Outline& outline, const SvdPath& path, const QString& spokenName);

#endif
