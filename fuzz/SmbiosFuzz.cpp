// Fuzz input: an SMBIOS structure table placed behind a valid entry point.
#include "FuzzBoard.h"

#include "Engine/SMBIOS.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFF)
        return 0;
    const QByteArray table = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    fuzz::Load({{"smbios", QJsonObject{{"image", fuzz::Base64(table)}}}});
    CSMBIOS smbios;
    smbios.Init();
    return 0;
}
