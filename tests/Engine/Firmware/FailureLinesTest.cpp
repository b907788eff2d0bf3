// The failure lines as the log has always spelled them, where the check in our code
// reads differently: one case per line, each reached through the failure it names.
#include <QRegularExpression>

#include <functional>
#include <string>

#include "Engine/DriverHandler.h"
#include "Engine/GPUTool.h"
#include "Engine/SMBIOS.h"
#include "Engine/VykBIOS.h"
#include "../FirmwareBoard.h"
#include "FirmwareFixture.h"
#include "Platform/Wmi.h"
#include "support/LogCapture.h"

extern BASEADDRTYPE RegisterBaseAddress;

namespace {

// The firmware, with one property of one method's result object left out or
// replaced by a number.
class EditedFirmware final : public plat::IWmiProvider {
public:
    enum Edit { LeftOut, Number };
    EditedFirmware(const char16_t* method, const char16_t* object, const char16_t* property, Edit edit)
        : m_real(plat::WmiProvider()), m_method(method), m_object(object), m_property(property), m_edit(edit)
    {
        plat::SetWmiProvider(this);
    }
    ~EditedFirmware() override { plat::SetWmiProvider(nullptr); }

    bool HasNamespace(const std::u16string& ns) override { return m_real.HasNamespace(ns); }
    plat::WbemObjectPtr GetClass(const std::u16string& ns, const std::u16string& name) override
    {
        return m_real.GetClass(ns, name);
    }
    bool GetInstances(const std::u16string& ns, const std::u16string& name, std::vector<plat::WbemObjectPtr>* out) override
    {
        return m_real.GetInstances(ns, name, out);
    }
    plat::HRESULT ExecMethod(const std::u16string& ns, const std::u16string& path, const std::u16string& method,
                             const plat::WbemObjectPtr& in, plat::WbemObjectPtr* out) override
    {
        const plat::HRESULT hr = m_real.ExecMethod(ns, path, method, in, out);
        plat::VARIANT packed;
        if (method != m_method || !*out || plat::Failed((*out)->Get(m_object.c_str(), &packed)) || !packed.punkVal)
            return hr;
        // A copy of the result object without the property, then the number in its place.
        plat::WbemObjectPtr edited = plat::WbemClassObject::NewInstance(packed.punkVal->ClassName());
        for (const auto& [name, value] : packed.punkVal->Properties())
            if (name != m_property)
                edited->Put(name.c_str(), &value);
        const plat::VARIANT number = plat::MakeI4(7);
        if (m_edit == Number)
            edited->Put(m_property.c_str(), &number);
        const plat::VARIANT object = plat::MakeObject(edited);
        (*out)->Put(m_object.c_str(), &object);
        return hr;
    }

private:
    plat::IWmiProvider& m_real;
    std::u16string m_method, m_object, m_property;
    Edit m_edit;
};

class FailureLines : public test::FirmwareTest {};

TEST_F(FailureLines, EachFailureNamesItsCheckAndItsOperation)
{
    struct Case {
        const char* check;
        const char* function;
        std::function<bool()> fail;        // false when the operation failed as it should
    };
    const auto firmware = [](const char16_t* method, const char16_t* object, const char16_t* property,
                             EditedFirmware::Edit edit, std::function<bool()> call) {
        return [=] {
            EditedFirmware edited(method, object, property, edit);
            return call();
        };
    };
    const auto runCommand = [] {
        uint8_t command[8] = {0x03, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00};
        uint8_t result[8] = {};
        return g_VykBIOS.RunCommand(command, sizeof command, result, sizeof result) == briSuccess;
    };
    const auto objectIds = [] {
        _OIDPackage package{};
        return CVykBIOSHandler::GetHandler().GetObjectID(package);
    };
    const auto withoutRegisterBase = [](std::function<void()> access) {
        return [access] {
            const BASEADDRTYPE saved = RegisterBaseAddress;
            RegisterBaseAddress = BASEADDRTYPE{};
            access();
            RegisterBaseAddress = saved;
            return false;
        };
    };
    const Case cases[] = {
        {"varCommandList.parray", "CVykBIOS::Init",
         firmware(u"QueryCommandList", u"CommandList", u"List", EditedFirmware::Number, [] { return g_VykBIOS.Init(); })},
        {"bRetCode", "CVykBIOS::RunCommand", firmware(u"RunCMD", u"Outbuf", u"Result", EditedFirmware::LeftOut, runCommand)},
        {"varOutbuf.parray", "CVykBIOS::RunCommand",
         firmware(u"RunCMD", u"Outbuf", u"Result", EditedFirmware::Number, runCommand)},
        {"varOutID.parray", "CVykBIOSHandler::GetObjectID",
         firmware(u"GetObjectID", u"pack", u"ID", EditedFirmware::Number, objectIds)},
        {"varOutProp.parray", "CVykBIOSHandler::GetObjectID",
         firmware(u"GetObjectID", u"pack", u"property", EditedFirmware::Number, objectIds)},
        {"varOutDesc.parray", "CVykBIOSHandler::GetObjectID",
         firmware(u"GetObjectID", u"pack", u"IDstring", EditedFirmware::Number, objectIds)},
        {"RegisterBaseAddress.BaseAddress32.BaseAddress != 0", "CGPUTool::_ReadMMReg32",
         withoutRegisterBase([] { CGPUTool::_ReadMMReg32(0x3000); })},
        {"RegisterBaseAddress.BaseAddress32.BaseAddress != 0", "CGPUTool::_WriteMMReg32",
         withoutRegisterBase([] { CGPUTool::_WriteMMReg32(0x3000, 1); })},
        {"bRetCode", "CSMBIOS::Init", [] {
             // A seventeenth processor fails the walk of the table.
             QByteArray table;
             for (int i = 0; i < 17; ++i)
                 table += QByteArray::fromHex("0428") + QByteArray(0x26 + 2, '\0');
             table += QByteArray::fromHex("7f0400000000");
             if (!test::LoadDefaultBoardWith({{"smbios", QJsonObject{{"image", test::Base64(table)}}}})
                 || !g_DriverHandler.Init())
                 return true;
             CSMBIOS smbios;
             const bool bRetCode = smbios.Init();
             g_DriverHandler.UnInit();
             return bRetCode;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.function) + ": " + c.check);
        DisconnectAll();
        Connect();
        test::LogCapture::Instance().Clear();
        EXPECT_FALSE(c.fail());
        const QRegularExpression line(QStringLiteral("LOG_PROCESS_ERROR\\(%1\\) at line \\d+ in %2\\n$")
                                          .arg(QRegularExpression::escape(QLatin1String(c.check)),
                                               QRegularExpression::escape(QLatin1String(c.function))));
        bool found = false;
        for (const std::string& l : test::LogCapture::Instance().Lines())
            found = found || line.match(QString::fromStdString(l)).hasMatch();
        EXPECT_TRUE(found);
    }
}

} // namespace
