// Generated SVD files for the tests and the benchmark: `peripherals`
// peripherals of 40 registers of 16 two-bit fields each, every fourth
// register with an enumeration, every fifth peripheral derived from the one
// before: about 110 KB a peripheral, so 480 of them make 50 MB.
#ifndef BITLENS_SVDSAMPLE_H
#define BITLENS_SVDSAMPLE_H

#include <QByteArray>

constexpr int kSampleRegisters = 40;
constexpr int kSampleFields = 16;

inline QByteArray SampleSvd(int peripherals)
{
    QByteArray svd = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                     "<device schemaVersion=\"1.3\">\n<name>SAMPLE</name>\n<size>32</size>\n"
                     "<peripherals>\n";
    for (int p = 0; p < peripherals; ++p) {
        const QByteArray name = "P" + QByteArray::number(p);
        if (p % 5 == 4) {
            svd += "<peripheral derivedFrom=\"P" + QByteArray::number(p - 1) + "\"><name>" + name
                + "</name><baseAddress>0x" + QByteArray::number(0x40000000 + p * 0x400, 16)
                + "</baseAddress></peripheral>\n";
            continue;
        }
        svd += "<peripheral>\n<name>" + name + "</name>\n<baseAddress>0x"
            + QByteArray::number(0x40000000 + p * 0x400, 16) + "</baseAddress>\n<registers>\n";
        for (int r = 0; r < kSampleRegisters; ++r) {
            svd += "<register>\n<name>R" + QByteArray::number(r) + "</name>\n<description>Register "
                + QByteArray::number(r) + " of " + name
                + " &amp; its fields</description>\n<addressOffset>0x"
                + QByteArray::number(r * 4, 16) + "</addressOffset>\n<fields>\n";
            for (int f = 0; f < kSampleFields; ++f) {
                svd += "<field><name>F" + QByteArray::number(f)
                    + "</name><description>Field of two bits, number " + QByteArray::number(f)
                    + "</description><bitOffset>" + QByteArray::number(f * 2)
                    + "</bitOffset><bitWidth>2</bitWidth><access>read-write</access>";
                if (r % 4 == 0)
                    svd += "\n<enumeratedValues><enumeratedValue><name>OFF</name><value>0</value>"
                           "</enumeratedValue><enumeratedValue><name>ON</name><value>#11</value>"
                           "</enumeratedValue></enumeratedValues>";
                svd += "</field>\n";
            }
            svd += "</fields>\n</register>\n";
        }
        svd += "</registers>\n</peripheral>\n";
    }
    svd += "</peripherals>\n</device>\n";
    return svd;
}

#endif
