// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged copies of the real window definition: every number the window turns into a size, a
// position, a colour or an index is checked before use, and a bad one refuses the definition with
// its message instead of overflowing, allocating gigabytes or leaving no window.
#include "studio/WindowDefinition.h"

#include "platform/services/MessageBox.h"
#include "studio/Main.h"
#include "tests/speech/FakeAudioDevice.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace studio;

namespace
{

const QString kDefinition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");

QJsonObject RealDefinition()
{
    QFile file(kDefinition);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Sets `key` in a bag written as [key, value] pairs, adding the pair when it is missing.
QJsonArray WithProperty(QJsonArray bag, const QString &key, const QJsonValue &value)
{
    for (qsizetype i = 0; i < bag.size(); ++i) {
        if (bag[i].toArray().at(0).toString() == key) {
            bag[i] = QJsonArray{key, value};
            return bag;
        }
    }
    bag.append(QJsonArray{key, value});
    return bag;
}

using Damage = std::function<void(QJsonObject &)>;

Damage FormProperty(const char *key, QJsonValue value)
{
    return [key, value](QJsonObject &root) {
        root[QStringLiteral("Form")] =
            WithProperty(root.value(QStringLiteral("Form")).toArray(), QLatin1String(key), value);
    };
}

// Changes the first control named `name` with `edit`.
Damage EditControl(const char *name, std::function<void(QJsonObject &)> edit)
{
    return [name, edit](QJsonObject &root) {
        QJsonArray controls = root.value(QStringLiteral("Controls")).toArray();
        for (qsizetype i = 0; i < controls.size(); ++i) {
            QJsonObject entry = controls[i].toObject();
            if (entry.value(QStringLiteral("Name")).toString() != QLatin1String(name))
                continue;
            edit(entry);
            controls[i] = entry;
            break;
        }
        root[QStringLiteral("Controls")] = controls;
    };
}

Damage ControlField(const char *name, const char *key, QJsonValue value)
{
    return EditControl(name, [key, value](QJsonObject &entry) { entry[QLatin1String(key)] = value; });
}

Damage ControlProperty(const char *name, const char *key, QJsonValue value)
{
    return EditControl(name, [key, value](QJsonObject &entry) {
        entry[QStringLiteral("Properties")] =
            WithProperty(entry.value(QStringLiteral("Properties")).toArray(), QLatin1String(key), value);
    });
}

struct DamagedCase {
    const char *name;
    Damage damage;
    const char *reason; // a part of the reason the refusal gives
};

const DamagedCase kDamaged[] = {
    {"clientWidthOf1e308", FormProperty("ClientWidth", 1e308), "ClientWidth"},
    {"clientHeightOfIntMaxTwips", FormProperty("ClientHeight", 2147483647.0), "ClientHeight"},
    {"negativeClientWidth", FormProperty("ClientWidth", -15), "ClientWidth"},
    {"clientWidthAsText", FormProperty("ClientWidth", QStringLiteral("wide")), "ClientWidth"},
    {"borderStyleOutOfRange", FormProperty("BorderStyle", 99), "BorderStyle"},
    {"backColourThatIsNoColour", FormProperty("BackColor", QStringLiteral("&HZZ&")), "BackColor"},
    {"widthOfIntMaxTwips", ControlField("RichTextBox1", "Width", 2147483647.0), "Width of RichTextBox1"},
    {"leftFarOffTheScreen", ControlField("cmdRec", "Left", -1e300), "Left of cmdRec"},
    {"negativeHeight", ControlField("txtFile", "Height", -1), "Height of txtFile"},
    {"topAsText", ControlField("Shape1", "Top", QStringLiteral("high")), "Top of Shape1"},
    {"indexBeyondControlArrays", ControlField("Frame1", "Index", 1e300), "Index of Frame1"},
    {"fractionalIndex", ControlField("Label1", "Index", 1.5), "Index of Label1"},
    {"labelAlignmentOutOfRange", ControlProperty("lblStatus", "Alignment", 7), "Alignment of lblStatus"},
    {"colourThatIsNoColour", ControlProperty("Picture1", "BackColor", QStringLiteral("&H1234567890&")),
     "BackColor of Picture1"},
    {"hugeNumberInAControlsOwnProperty", ControlProperty("scrSpeed", "Value", 1e308), "number"},
    {"hugeNumberInAFont", ControlProperty("txtFile", "Font", QJsonObject{{QStringLiteral("Size"), -1e200}}),
     "number"},
};

class DamagedDefinition : public ::testing::TestWithParam<DamagedCase>
{
};

} // namespace

TEST(WindowDefinition, theShippedDefinitionReadsWithItsGeometryAndForm)
{
    const QJsonObject root = RealDefinition();
    ASSERT_FALSE(root.isEmpty());
    QString why;
    const auto definition = WindowDefinition::Parse(QJsonDocument(root).toJson(), &why);
    ASSERT_TRUE(definition) << why.toStdString();
    EXPECT_EQ(definition->Form().clientWidth, 11895);
    EXPECT_EQ(definition->Form().clientHeight, 7620);
    EXPECT_EQ(qsizetype(definition->Controls().size()),
              root.value(QStringLiteral("Controls")).toArray().size());
    const ControlEntry &option =
        *std::find_if(definition->Controls().begin(), definition->Controls().end(),
                      [](const ControlEntry &e) { return e.name == QLatin1String("optVoice"); });
    EXPECT_EQ(option.IndexedName(), QStringLiteral("optVoice(0)"));
    EXPECT_EQ(option.parent, QStringLiteral("Frame1"));
    EXPECT_EQ(option.left, 120);

    // The limits themselves are allowed.
    QJsonObject edge = root;
    ControlField("Shape1", "Width", WindowDefinition::MaxTwips)(edge);
    ControlField("Shape1", "Left", -WindowDefinition::MaxTwips)(edge);
    ControlField("Shape1", "Index", WindowDefinition::MaxIndex)(edge);
    EXPECT_TRUE(WindowDefinition::Parse(QJsonDocument(edge).toJson(), &why)) << why.toStdString();
}

TEST_P(DamagedDefinition, isRefusedWithAReason)
{
    QJsonObject root = RealDefinition();
    ASSERT_FALSE(root.isEmpty());
    GetParam().damage(root);
    QString why;
    EXPECT_FALSE(WindowDefinition::Parse(QJsonDocument(root).toJson(), &why));
    EXPECT_TRUE(why.contains(QLatin1String(GetParam().reason))) << why.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Numbers, DamagedDefinition, ::testing::ValuesIn(kDamaged),
                         [](const ::testing::TestParamInfo<DamagedCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(WindowDefinition, theStudioRefusesADamagedDefinitionWithItsMessageAndMakesNoWindow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Main.json"));
    const auto create = [&](const Damage &damage, QString *error) {
        QJsonObject root = RealDefinition();
        damage(root);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        file.write(QJsonDocument(root).toJson());
        file.close();
        Main::Options options;
        options.definition = path;
        options.iconFolder = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/icons/");
        options.engine.audioDevice = FakeAudioDevice::Factory(std::make_shared<FakeAudioDevice::State>());
        return Main::Create(options, error) != nullptr;
    };
    const QString prefix = QStringLiteral("The window definition %1 cannot be used: ").arg(path);
    QString error;
    EXPECT_FALSE(create(FormProperty("ClientWidth", 1e308), &error));
    EXPECT_TRUE(error.startsWith(prefix)) << error.toStdString();

    // The messages for a definition that is whole but wrongly put together stay as they were.
    EXPECT_FALSE(create(ControlField("Shape1", "Kind", QStringLiteral("Gizmo")), &error));
    EXPECT_EQ(error, prefix + QStringLiteral("Shape1 is of an unknown kind \"Gizmo\""));
    EXPECT_FALSE(create(ControlField("optVoice", "Parent", QStringLiteral("Nowhere")), &error));
    EXPECT_EQ(error,
              prefix + QStringLiteral("optVoice is placed in Nowhere, which comes later or does not exist"));
    EXPECT_FALSE(create(ControlField("lblStatus", "Kind", QStringLiteral("TextBox")), &error));
    EXPECT_EQ(error, prefix + QStringLiteral("it lacks lblStatus"));
}
