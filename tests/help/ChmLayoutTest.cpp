// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged copies of the help file the build compiled, made the way the ones that crashed or hung
// chmlib were: impossible LZX settings, a zero reset block length, a directory chunk linking to
// itself, an index leading back into itself, names past the end of their chunk. Each is refused;
// whatever opens reads or refuses every object without taking the process down.
#include "HelpTestSupport.h"

#include "help/ChmFile.h"
#include "help/ChmHelpViewer.h"
#include "help/ChmLayout.h"
#include "help/HTMLHelp.h"
#include "help/HelpStrings.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <functional>

namespace
{

using help::ChmFile;
using help::ChmLayout;

QByteArray BuiltImage()
{
    QFile file(BuiltHelpFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint64_t Read64(const QByteArray &image, qsizetype at)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(image[at + i]);
    return v;
}

void Write32(QByteArray &image, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        image[at + i] = char((value >> (8 * i)) & 0xFF);
}

// Where the pieces chmlib trusts lie in the built file.
struct Places {
    qsizetype itsp = 0;        // the directory header
    qsizetype firstChunk = 0;  // directory chunk 0
    qsizetype controlData = 0; // the LZX control data object
    qsizetype resetTable = 0;  // the reset table object
};

Places Locate(const QByteArray &image)
{
    Places p;
    p.itsp = qsizetype(Read64(image, 0x48));
    p.firstChunk = p.itsp + 0x54;
    const std::uint64_t data = Read64(image, 0x58);
    QBuffer buffer;
    buffer.setData(image);
    buffer.open(QIODevice::ReadOnly);
    QString why;
    const auto layout = ChmLayout::Check(buffer, &why);
    if (!layout)
        return p;
    const auto at = [&](const char *path) {
        const help::ChmEntry *e = layout->Find(path);
        return e ? qsizetype(data + e->start) : 0;
    };
    p.controlData = at("::DataSpace/Storage/MSCompressed/ControlData");
    p.resetTable = at("::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
                      "InstanceData/ResetTable");
    return p;
}

struct Damage {
    const char *name;
    std::function<void(QByteArray &, const Places &)> apply;
};

const Damage kDamages[] = {
    {"lzxWindowOfZero", [](QByteArray &b, const Places &p) { Write32(b, p.controlData + 16, 0); }},
    // Counted in 32 KB frames: 128 frames is a 4 MB window, beyond what LZX decodes.
    {"lzxWindowBeyondTheDecoder",
     [](QByteArray &b, const Places &p) { Write32(b, p.controlData + 16, 128); }},
    {"lzxWindowOfThree", [](QByteArray &b, const Places &p) { Write32(b, p.controlData + 16, 3); }},
    {"lzxResetIntervalOfZero", [](QByteArray &b, const Places &p) { Write32(b, p.controlData + 12, 0); }},
    {"lzxNoWindowsPerReset", [](QByteArray &b, const Places &p) { Write32(b, p.controlData + 20, 0); }},
    {"lzxUnknownVersion", [](QByteArray &b, const Places &p) { Write32(b, p.controlData + 8, 7); }},
    {"resetBlockLengthOfZero",
     [](QByteArray &b, const Places &p) {
         Write32(b, p.resetTable + 32, 0);
         Write32(b, p.resetTable + 36, 0);
     }},
    {"resetTableBeyondItsObject",
     [](QByteArray &b, const Places &p) { Write32(b, p.resetTable + 12, 0x7FFFFFF0); }},
    {"resetTableClaimsHugeContent",
     [](QByteArray &b, const Places &p) { Write32(b, p.resetTable + 20, 0x10); }},
    {"chunkThatLinksToItself", [](QByteArray &b, const Places &p) { Write32(b, p.firstChunk + 16, 0); }},
    {"chunkThatLinksNowhere", [](QByteArray &b, const Places &p) { Write32(b, p.firstChunk + 16, 9999); }},
    {"indexRootOutOfRange", [](QByteArray &b, const Places &p) { Write32(b, p.itsp + 0x1C, 12345); }},
    {"listingHeadOutOfRange", [](QByteArray &b, const Places &p) { Write32(b, p.itsp + 0x20, 77); }},
    {"chunkCountBeyondTheFile",
     [](QByteArray &b, const Places &p) { Write32(b, p.itsp + 0x2C, 0x7FFFFFFF); }},
    {"chunkSizeOfZero", [](QByteArray &b, const Places &p) { Write32(b, p.itsp + 0x10, 0); }},
    {"freeSpaceLargerThanTheChunk",
     [](QByteArray &b, const Places &p) { Write32(b, p.firstChunk + 4, 0xFFFF); }},
    {"nameRunningPastItsChunk",
     [](QByteArray &b, const Places &p) {
         // The first entry's name length, as a two-byte number of 16,000.
         b[p.firstChunk + 20] = char(0xFD);
         b[p.firstChunk + 21] = char(0x00);
     }},
    {"directoryOutsideTheFile", [](QByteArray &b, const Places &) { Write32(b, 0x4C, 0x10); }},
    {"contentOutsideTheFile", [](QByteArray &b, const Places &) { Write32(b, 0x5C, 0x10); }},
};

class DamagedHelpFile : public ::testing::TestWithParam<Damage>
{
  protected:
    QTemporaryDir dir;

    QString Write(const QByteArray &bytes)
    {
        QFile file(dir.filePath(QStringLiteral("damaged.chm")));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        return file.fileName();
    }
};

} // namespace

TEST(ChmLayout, theBuiltHelpFileHasASoundLayoutThatChmlibAgreesWith)
{
    QFile file(BuiltHelpFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString why;
    const auto layout = ChmLayout::Check(file, &why);
    ASSERT_TRUE(layout) << why.toStdString();
    EXPECT_TRUE(layout->Compressed());
    ChmFile chm;
    ASSERT_TRUE(chm.Open(BuiltHelpFile()));
    for (const QString &object : chm.Objects())
        EXPECT_TRUE(chm.Read(object).has_value()) << object.toStdString();
    EXPECT_TRUE(layout->Find("/HOWTO.HTM")) << "names compare without regard to case";

    const Places places = Locate(BuiltImage());
    EXPECT_GT(places.controlData, 0);
    EXPECT_GT(places.resetTable, 0);
}

TEST_P(DamagedHelpFile, isRefusedBeforeChmlibSeesIt)
{
    QByteArray image = BuiltImage();
    ASSERT_FALSE(image.isEmpty());
    const Places places = Locate(image);
    ASSERT_GT(places.controlData, 0);
    GetParam().apply(image, places);
    QBuffer buffer(&image);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    QString why;
    EXPECT_FALSE(ChmLayout::Check(buffer, &why));
    EXPECT_FALSE(why.isEmpty());
    ChmFile chm;
    EXPECT_FALSE(chm.Open(Write(image))) << "opened although: " << why.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Chmlib, DamagedHelpFile, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage> &info) {
                             return std::string(info.param.name);
                         });

TEST(ChmLayout, randomlyDamagedCopiesOpenOrAreRefusedButNeverTakeTheProcessDown)
{
    const QByteArray image = BuiltImage();
    ASSERT_FALSE(image.isEmpty());
    const Places places = Locate(image);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("random.chm"));
    // The same copies on every run, so a failure can be replayed.
    QRandomGenerator random(20261209);
    // The structure chmlib trusts: header, directory and the compression objects.
    const std::pair<qsizetype, qsizetype> regions[] = {
        {0, places.firstChunk + 4096}, {places.controlData, 0x1C}, {places.resetTable, 0x40}};
    int opened = 0;
    for (int copy = 0; copy < 600; ++copy) {
        QByteArray damaged = image;
        const auto &[start, length] = regions[copy % 3];
        for (int flips = 1 + int(random.bounded(4)); flips > 0; --flips)
            damaged[start + qsizetype(random.bounded(int(length)))] = char(random.bounded(256));
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(damaged);
        }
        ChmFile chm;
        if (!chm.Open(path))
            continue;
        ++opened;
        for (const QString &object : chm.Objects())
            (void)chm.Read(object);
        (void)chm.TopicForContext(1);
    }
    EXPECT_GT(opened, 0) << "harmless damage (a changed time stamp, a name's letter) still opens";
}

TEST_F(HelpEnvironment, aDamagedHelpFileGivesTheViewersMessage)
{
    QByteArray image = BuiltImage();
    ASSERT_FALSE(image.isEmpty());
    const Places places = Locate(image);
    Write32(image, places.firstChunk + 16, 0); // a chunk that links to itself
    const QString bad = dir.filePath(QStringLiteral("Looping.chm"));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(image);
    }
    help::ChmHelpViewer viewer;
    EXPECT_EQ(viewer.HtmlHelp(nullptr, bad, help::HH_HELP_CONTEXT, std::uint32_t(1)), 0u);
    EXPECT_EQ(viewer.Window(), nullptr);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, QString::fromUtf8(help::strings::CannotOpenHelpFile).arg(bad));
}
