// The resource module stand-in (the "EMD.dat" template) and private profile files.
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include "Platform/LastError.h"
#include "Platform/PrivateProfile.h"
#include "Platform/ResourceModule.h"
#include "VirtualBoard/Machine.h"

using namespace plat;

TEST(ResourceModuleTest, TheModuleHoldsTheTemplateOfTheCacheDescription)
{
    HMODULE module = LoadLibrary(u"corvane.DLL");
    ASSERT_TRUE(module) << "names compare without case";
    EXPECT_EQ(LoadedResourceModules(), 1);
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(LoadResourceBytes(module, 107, u"RT_EMD", &data, &size));
    EXPECT_EQ(size, 306u);
    for (int i = 32; i < 36; ++i)
        EXPECT_EQ(data[i], 0) << "the size is the caller's";
    EXPECT_FALSE(LoadResourceBytes(module, 108, u"RT_EMD", &data, &size));
    EXPECT_EQ(GetLastError(), kErrorResourceNameNotFound);
    EXPECT_FALSE(LoadResourceBytes(module, 107, u"RT_RCDATA", &data, &size));
    EXPECT_EQ(GetLastError(), kErrorResourceTypeNotFound);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(LoadedResourceModules(), 0);

    EXPECT_FALSE(LoadLibrary(u"Other.dll"));
    EXPECT_EQ(GetLastError(), kErrorModuleNotFound);
    const ResourceModuleTable none;
    SetResourceModulesForTesting(&none);
    EXPECT_FALSE(LoadLibrary(u"Corvane.dll"));
    SetResourceModulesForTesting(nullptr);
}

TEST(PrivateProfileTest, ABareNameLivesInTheStateFolder)
{
    EXPECT_EQ(QFileInfo(PrivateProfilePath(u"Corvane.ini")).absolutePath(), QFileInfo(vb::Machine::StateDir()).absoluteFilePath());
    ASSERT_TRUE(WritePrivateProfileString(u"Corvane", u"DefaultGlobalCapsSettings", u"1", u"Corvane.ini"));
    ASSERT_TRUE(WritePrivateProfileString(u"Corvane", u"Other", u"x", u"Corvane.ini"));
    ASSERT_TRUE(WritePrivateProfileString(u"Corvane", u"Other", nullptr, u"Corvane.ini"));
    QSettings profile(PrivateProfilePath(u"Corvane.ini"), QSettings::IniFormat);
    EXPECT_EQ(profile.value("Corvane/DefaultGlobalCapsSettings").toString(), QStringLiteral("1"));
    EXPECT_FALSE(profile.contains("Corvane/Other"));
    EXPECT_EQ(QFile::permissions(PrivateProfilePath(u"Corvane.ini")) & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions()) << "the user's own";
    EXPECT_FALSE(WritePrivateProfileString(u"Corvane", u"Key", u"1", u"/proc/Corvane.ini"));
    EXPECT_FALSE(WritePrivateProfileString(u"", u"Key", u"1", u"Corvane.ini"));
}
