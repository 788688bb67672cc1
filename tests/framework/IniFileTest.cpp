#include "framework/IniFile.h"

#include "FrameworkTestSupport.h"
#include "core/Error.h"

#include <gtest/gtest.h>

namespace {

TEST(IniFile, WrittenValuesReadBack) {
    FrameworkScratch scratch;
    const QString path = scratch.file(QStringLiteral("Kirimo.ini"));
    {
        TIniFile ini(path);
        ini.WriteInteger(QStringLiteral("SET0"), QStringLiteral("M_TOP"), -20);
        ini.WriteString(QStringLiteral("SET1"), QStringLiteral("PATH"),
                        QStringLiteral("D:/保存先"));
    }
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("SET0"), QStringLiteral("M_TOP"), 7), -20);
    EXPECT_EQ(ini.ReadString(QStringLiteral("SET1"), QStringLiteral("PATH"), QString()),
              QStringLiteral("D:/保存先"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("SET0"), QStringLiteral("M_LEFT"), 7), 7);
    EXPECT_EQ(ini.ReadString(QStringLiteral("NONE"), QStringLiteral("X"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST(IniFile, RefusedWriteNamesTheFile) {
    FrameworkScratch scratch;
    const QString path = scratch.file(QStringLiteral("missing folder/Kirimo.ini"));
    TIniFile ini(path);
    for (const bool integer : {false, true}) {
        try {
            if (integer)
                ini.WriteInteger(QStringLiteral("SET0"), QStringLiteral("M_TOP"), 1);
            else
                ini.WriteString(QStringLiteral("SET1"), QStringLiteral("PATH"),
                                QStringLiteral("x"));
            ADD_FAILURE() << "no error";
        } catch (const core::Error& error) {
            EXPECT_EQ(QString::fromUtf8(error.what()), path + QStringLiteral(" に書き込めません"));
        }
    }
}

} // namespace
