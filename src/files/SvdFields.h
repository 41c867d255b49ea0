// A register's <fields> as the SVD file writes them, read with the XML
// reader; what they mean is the import's to say.
#ifndef BITLENS_SVDFIELDS_H
#define BITLENS_SVDFIELDS_H

#include "LayoutFileTypes.h"
#include "SvdNumbers.h"

#include <QXmlStreamReader>

#include <vector>

struct SvdEnumValue {
    QString name;
    QString description;
    QString value;
    bool isDefault = false;
    int line = 0;
};

struct SvdEnums {
    QString name;
    QString derivedFrom;
    QString usage;
    std::vector<SvdEnumValue> values;
    int line = 0;
};

struct SvdField {
    QString name;
    QString description;
    QString derivedFrom;
    QString bitOffset, bitWidth, lsb, msb, bitRange;
    SvdDims dims;
    std::vector<SvdEnums> enums;
    int line = 0;

    bool hasPosition() const
    {
        return !bitOffset.isNull() || !lsb.isNull() || !msb.isNull() || !bitRange.isNull();
    }
};

QString SvdElementText(QXmlStreamReader& xml);
bool IsSvdElement(const QXmlStreamReader& xml, const char16_t* name);

// Reads the <fields> element the reader stands on; lines are shifted by
// `lineOffset` to be the file's.
std::vector<SvdField> ReadSvdFields(QXmlStreamReader& xml, int lineOffset);

LayoutFileError SvdXmlError(const QString& file, const QXmlStreamReader& xml, int lineOffset = 0);

#endif
