#include "SvdFields.h"

#include "FileSupport.h"

#include <algorithm>

QString SvdElementText(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements);
}

bool IsSvdElement(const QXmlStreamReader& xml, const char16_t* name)
{
    return xml.name() == name;
}

std::vector<SvdField> ReadSvdFields(QXmlStreamReader& xml, int lineOffset)
{
    std::vector<SvdField> fields;
    const auto line = [&] { return int(xml.lineNumber()) + lineOffset; };
    while (xml.readNextStartElement()) {
        if (!IsSvdElement(xml, u"field")) {
            xml.skipCurrentElement();
            continue;
        }
        SvdField field;
        field.line = line();
        field.derivedFrom = xml.attributes().value(QLatin1String("derivedFrom")).toString();
        while (xml.readNextStartElement()) {
            const QStringView name = xml.name();
            if (name == u"name")
                field.name = SvdElementText(xml).trimmed();
            else if (name == u"description")
                field.description = SvdElementText(xml).simplified();
            else if (name == u"bitOffset")
                field.bitOffset = SvdElementText(xml);
            else if (name == u"bitWidth")
                field.bitWidth = SvdElementText(xml);
            else if (name == u"lsb")
                field.lsb = SvdElementText(xml);
            else if (name == u"msb")
                field.msb = SvdElementText(xml);
            else if (name == u"bitRange")
                field.bitRange = SvdElementText(xml);
            else if (name == u"dim")
                field.dims.count = SvdNumber(SvdElementText(xml)).value_or(0);
            else if (name == u"dimIncrement")
                field.dims.increment = SvdNumber(SvdElementText(xml)).value_or(0);
            else if (name == u"dimIndex")
                field.dims.index = SvdElementText(xml);
            else if (name == u"enumeratedValues") {
                SvdEnums enums;
                enums.line = line();
                enums.derivedFrom = xml.attributes().value(QLatin1String("derivedFrom")).toString();
                while (xml.readNextStartElement()) {
                    if (IsSvdElement(xml, u"name")) {
                        enums.name = SvdElementText(xml).trimmed();
                    } else if (IsSvdElement(xml, u"usage")) {
                        enums.usage = SvdElementText(xml).trimmed();
                    } else if (IsSvdElement(xml, u"enumeratedValue")) {
                        SvdEnumValue value;
                        value.line = line();
                        while (xml.readNextStartElement()) {
                            if (IsSvdElement(xml, u"name"))
                                value.name = SvdElementText(xml).trimmed();
                            else if (IsSvdElement(xml, u"description"))
                                value.description = SvdElementText(xml).simplified();
                            else if (IsSvdElement(xml, u"value"))
                                value.value = SvdElementText(xml);
                            else if (IsSvdElement(xml, u"isDefault"))
                                value.isDefault
                                    = QStringList { QStringLiteral("true"), QStringLiteral("1") }
                                          .contains(SvdElementText(xml).trimmed());
                            else
                                xml.skipCurrentElement();
                        }
                        if (enums.values.size() < kMaxNamedValues)
                            enums.values.push_back(std::move(value));
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                field.enums.push_back(std::move(enums));
            } else {
                xml.skipCurrentElement();
            }
        }
        FinishSvdDims(field.dims);
        if (fields.size() <= kMaxLayoutFields)
            fields.push_back(std::move(field));
    }
    return fields;
}

LayoutFileError SvdXmlError(const QString& file, const QXmlStreamReader& xml, int lineOffset)
{
    return FileError(file, int(xml.lineNumber()) + lineOffset,
        LayoutFiles::tr("not readable XML: %1").arg(xml.errorString()));
}
