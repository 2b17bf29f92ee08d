// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/Registry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace services;

namespace
{
class RegistryTest : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("registry.ini")); }
};
} // namespace

TEST_F(RegistryTest, setEnumerateDeleteRoundTripSurvivesReopening)
{
    {
        Registry reg(file());
        HKEY key = 0;
        bool created = false;
        ASSERT_EQ(reg.CreateKey(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Orvena\\Help"), &key, &created),
                  ERROR_SUCCESS);
        EXPECT_TRUE(created);
        EXPECT_EQ(reg.SetString(key, QStringLiteral("studio.chm"), QStringLiteral("/opt/help")),
                  ERROR_SUCCESS);
        EXPECT_EQ(reg.SetDword(key, QStringLiteral("Count"), 12), ERROR_SUCCESS);
        EXPECT_EQ(reg.SetString(key, QString(), QStringLiteral("default")), ERROR_SUCCESS);
        EXPECT_EQ(reg.SetString(key, QStringLiteral("a/b\\c%d@e"), QStringLiteral("odd name")),
                  ERROR_SUCCESS);
        EXPECT_EQ(reg.CloseKey(key), ERROR_SUCCESS);
    }
    Registry reg(file());
    HKEY key = 0;
    // Names match case-insensitively and either separator works.
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, QStringLiteral("software/orvena\\HELP"), &key), ERROR_SUCCESS);
    QStringList names = reg.ValueNames(key);
    names.sort();
    EXPECT_EQ(names, (QStringList{QString(), QStringLiteral("Count"), QStringLiteral("a/b\\c%d@e"),
                                  QStringLiteral("studio.chm")}));
    QString name;
    unsigned type = REG_NONE;
    int count = 0;
    while (reg.EnumValue(key, count, &name, &type) == ERROR_SUCCESS) {
        EXPECT_EQ(type, name == QLatin1String("Count") ? REG_DWORD : REG_SZ) << name.toStdString();
        ++count;
    }
    EXPECT_EQ(count, 4);
    EXPECT_EQ(reg.EnumValue(key, 4, &name), ERROR_NO_MORE_ITEMS);

    QString text;
    EXPECT_EQ(reg.QueryString(key, QStringLiteral("STUDIO.CHM"), &text), ERROR_SUCCESS);
    EXPECT_EQ(text, QStringLiteral("/opt/help"));
    std::uint32_t n = 0;
    EXPECT_EQ(reg.QueryDword(key, QStringLiteral("count"), &n), ERROR_SUCCESS);
    EXPECT_EQ(n, 12u);
    EXPECT_EQ(reg.QueryString(key, QStringLiteral("Count"), &text), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(reg.QueryString(key, QStringLiteral("a/b\\c%d@e"), &text), ERROR_SUCCESS);
    EXPECT_EQ(text, QStringLiteral("odd name"));

    // Deleting the last values keeps the key; deleting the key removes it for open handles too.
    for (const QString &v : reg.ValueNames(key))
        EXPECT_EQ(reg.DeleteValue(key, v), ERROR_SUCCESS);
    EXPECT_EQ(reg.DeleteValue(key, QStringLiteral("Count")), ERROR_FILE_NOT_FOUND);
    HKEY again = 0;
    EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Orvena\\Help"), &again),
              ERROR_SUCCESS);
    EXPECT_TRUE(reg.ValueNames(again).isEmpty());
    EXPECT_EQ(reg.DeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Orvena")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.DeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Orvena\\Help")), ERROR_SUCCESS);
    EXPECT_EQ(reg.SetString(again, QStringLiteral("x"), QStringLiteral("y")), ERROR_KEY_DELETED);
    EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Orvena\\Help"), &again),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Orvena"), &again), ERROR_SUCCESS);
    EXPECT_EQ(reg.DeleteTree(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE")), ERROR_SUCCESS);
    EXPECT_TRUE(reg.SubKeyNames(HKEY_LOCAL_MACHINE).isEmpty());
}

TEST_F(RegistryTest, rootsAreSeparateAndUnknownHandlesFail)
{
    Registry reg(file());
    HKEY user = 0, machine = 0;
    ASSERT_EQ(reg.CreateKey(HKEY_CURRENT_USER, QStringLiteral("Software\\X"), &user), ERROR_SUCCESS);
    ASSERT_EQ(reg.SetString(user, QStringLiteral("v"), QStringLiteral("user")), ERROR_SUCCESS);
    EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\X"), &machine), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(machine, 0u);
    QString text;
    EXPECT_EQ(reg.ReadString(HKEY_CURRENT_USER, QStringLiteral("Software\\X"), QStringLiteral("v"), &text),
              ERROR_SUCCESS);
    EXPECT_EQ(text, QStringLiteral("user"));
    EXPECT_EQ(reg.QueryString(0x4242, QStringLiteral("v"), &text), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.CloseKey(user), ERROR_SUCCESS);
    EXPECT_EQ(reg.CloseKey(user), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.DeleteKey(HKEY_CURRENT_USER, QString()), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, expandableStringsExpandEnvironmentVariables)
{
    qputenv("ORVENA_REG_TEST", "/data");
    qunsetenv("ORVENA_REG_UNSET");
    Registry reg(file());
    HKEY key = 0;
    ASSERT_EQ(reg.CreateKey(HKEY_CURRENT_USER, QStringLiteral("Env"), &key), ERROR_SUCCESS);
    ASSERT_EQ(
        reg.SetString(
            key, QStringLiteral("p"),
            QStringLiteral("%ORVENA_REG_TEST%/a:${ORVENA_REG_TEST}/b:$ORVENA_REG_TEST/c:%ORVENA_REG_UNSET%"),
            REG_EXPAND_SZ),
        ERROR_SUCCESS);
    RegValue v;
    ASSERT_EQ(reg.QueryValue(key, QStringLiteral("p"), &v), ERROR_SUCCESS);
    EXPECT_EQ(v.type, unsigned(REG_EXPAND_SZ));
    EXPECT_EQ(v.string, QStringLiteral("/data/a:/data/b:/data/c:%ORVENA_REG_UNSET%"));
    qunsetenv("ORVENA_REG_TEST");
}

TEST_F(RegistryTest, handEditedAndUnwritableFilesAreHandled)
{
    QFile f(file());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[HKEY_CURRENT_USER]\nHand\\plain=just text\nHand\\bad=dword:zz\n");
    f.close();
    Registry reg(file());
    QString text;
    EXPECT_EQ(reg.ReadString(HKEY_CURRENT_USER, QStringLiteral("Hand"), QStringLiteral("plain"), &text),
              ERROR_SUCCESS);
    EXPECT_EQ(text, QStringLiteral("just text"));
    EXPECT_EQ(reg.ReadString(HKEY_CURRENT_USER, QStringLiteral("Hand"), QStringLiteral("bad"), &text),
              ERROR_SUCCESS);
    EXPECT_EQ(text, QStringLiteral("dword:zz"));

    // A registry file whose folder cannot be created reports the failure instead of success.
    Registry blocked(file() + QStringLiteral("/below/a/file.ini"));
    HKEY key = 0;
    EXPECT_NE(blocked.CreateKey(HKEY_CURRENT_USER, QStringLiteral("X"), &key), ERROR_SUCCESS);
}
