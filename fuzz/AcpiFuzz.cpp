// Fuzz input: up to four ACPI tables separated by "|||", placed as table images and
// reached from a root pointer built around them (the first may be an RSDT of its own).
#include "FuzzBoard.h"

#include <QJsonArray>

#include "Engine/ACPITable.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> parts =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('|');
    QJsonArray images;
    QJsonArray blobs;
    for (const QByteArray& part : parts.mid(0, 4)) {
        if (part.startsWith("RSDT") || part.startsWith("XSDT"))
            blobs << QJsonObject{{"address", "0xBFF80000"}, {"base64", QString::fromLatin1(part.toBase64())}};
        else if (part.size() >= 4)
            images << fuzz::Base64(part);
    }
    QJsonObject acpi{{"images", images}, {"blobs", blobs}};
    if (!blobs.isEmpty())
        acpi.insert("rsdtAddress", "0xBFF80000");
    fuzz::Load({{"acpi", acpi}});
    GetACPITable().Init();
    GetACPITable().UnInit();
    return 0;
}
