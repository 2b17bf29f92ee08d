// SPDX-License-Identifier: GPL-3.0-or-later
// Recording into odd targets: links, pipes, devices, standard output, special files, and the mode a
// finished recording gets.
#include "speech/WaveWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace speech;

namespace {

constexpr int kRate = 16000;

std::vector<std::int16_t> Ramp(std::size_t count)
{
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<std::int16_t>((i * 37) % 20000);
    return samples;
}

// Records `samples` into `target`; the error when any step fails.
QString Record(const QString &target, const std::vector<std::int16_t> &samples)
{
    QString error;
    auto writer = WaveWriter::Create(target, kRate, &error);
    if (!writer)
        return error.isEmpty() ? QStringLiteral("Create failed without a message") : error;
    if (!writer->Write(samples.data(), samples.size()))
        return writer->Error();
    if (!writer->Commit(&error))
        return error.isEmpty() ? QStringLiteral("Commit failed without a message") : error;
    return {};
}

// The samples a sound file holds, read back with libsndfile as a player would.
std::vector<std::int16_t> ReadSound(const QString &path)
{
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return {};
    std::vector<std::int16_t> samples;
    std::int16_t block[4096];
    sf_count_t n = 0;
    while ((n = sf_read_short(f, block, 4096)) > 0)
        samples.insert(samples.end(), block, block + n);
    sf_close(f);
    return samples;
}

mode_t ModeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

mode_t TypeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

QByteArray ReadAllFrom(int fd)
{
    QByteArray data;
    char block[65536];
    ssize_t n = 0;
    while ((n = ::read(fd, block, sizeof block)) > 0)
        data.append(block, n);
    return data;
}

void WriteFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Sets the umask for one test and puts the old one back.
struct UmaskScope {
    mode_t previous;
    explicit UmaskScope(mode_t mask) : previous(::umask(mask)) {}
    ~UmaskScope() { ::umask(previous); }
};

// Collects what Qt prints, to catch warnings a failure path should not produce.
QStringList *g_messages = nullptr;
void CollectMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (g_messages)
        g_messages->append(text);
}

class RecordingTargetTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const std::vector<std::int16_t> samples = Ramp(kRate / 2);

    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList Entries() const
    {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
};

} // namespace

TEST_F(RecordingTargetTest, aSymbolicLinkStaysALinkAndTheFileItPointsAtIsReplaced)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString real = Path("real/take.wav");
    WriteFile(real, "old take");
    // A relative link, and a link to that link.
    ASSERT_EQ(::symlink("real/take.wav", QFile::encodeName(Path("link.wav")).constData()), 0);
    ASSERT_EQ(::symlink("link.wav", QFile::encodeName(Path("chain.wav")).constData()), 0);

    ASSERT_EQ(Record(Path("chain.wav"), samples), QString());
    EXPECT_EQ(TypeOf(Path("chain.wav")), S_IFLNK);
    EXPECT_EQ(TypeOf(Path("link.wav")), S_IFLNK);
    EXPECT_EQ(QFileInfo(Path("link.wav")).symLinkTarget(), real);
    EXPECT_EQ(TypeOf(real), S_IFREG);
    EXPECT_EQ(ReadSound(real), samples);

    // A link whose file does not exist yet: the file is made where it points.
    ASSERT_EQ(::symlink("real/new.wav", QFile::encodeName(Path("dangling.wav")).constData()), 0);
    ASSERT_EQ(Record(Path("dangling.wav"), samples), QString());
    EXPECT_EQ(TypeOf(Path("dangling.wav")), S_IFLNK);
    EXPECT_EQ(ReadSound(Path("real/new.wav")), samples);
    EXPECT_EQ(QDir(Path("real")).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary left behind";

    // A loop of links is refused, not followed for ever.
    ASSERT_EQ(::symlink("loop-b", QFile::encodeName(Path("loop-a")).constData()), 0);
    ASSERT_EQ(::symlink("loop-a", QFile::encodeName(Path("loop-b")).constData()), 0);
    EXPECT_FALSE(Record(Path("loop-a"), samples).isEmpty());
    EXPECT_EQ(TypeOf(Path("loop-a")), S_IFLNK);
}

TEST_F(RecordingTargetTest, aReplacedFileKeepsItsModeAndANewFileFollowsTheUmask)
{
    const UmaskScope mask(027);
    const QString privateTake = Path("private.wav");
    WriteFile(privateTake, "secret");
    ASSERT_EQ(::chmod(QFile::encodeName(privateTake).constData(), 0600), 0);
    ASSERT_EQ(Record(privateTake, samples), QString());
    EXPECT_EQ(ModeOf(privateTake), 0600u) << "a private recording must not become readable by others";

    const QString shared = Path("shared.wav");
    WriteFile(shared, "shared");
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0664), 0);
    ASSERT_EQ(Record(shared, samples), QString());
    EXPECT_EQ(ModeOf(shared), 0664u) << "the old mode wins over the umask";

    ASSERT_EQ(Record(Path("new.wav"), samples), QString());
    EXPECT_EQ(ModeOf(Path("new.wav")), 0640u);
    {
        const UmaskScope open(0);
        ASSERT_EQ(Record(Path("open.wav"), samples), QString());
    }
    EXPECT_EQ(ModeOf(Path("open.wav")), 0666u);
    EXPECT_EQ(ReadSound(Path("open.wav")), samples);
}

TEST_F(RecordingTargetTest, aPipeIsWrittenAsAStreamThatReadsBackAndStaysAPipe)
{
    for (const char *name : {"pipe.wav", "pipe.flac"}) {
        const QString fifo = Path(name);
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QByteArray received;
        std::thread reader([&] {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY);
            if (fd >= 0) {
                received = ReadAllFrom(fd);
                ::close(fd);
            }
        });
        // The writer refuses a pipe nobody reads, so wait until the reader has it open.
        QString error;
        std::unique_ptr<WaveWriter> writer;
        for (int i = 0; i < 500 && !writer; ++i) {
            writer = WaveWriter::Create(fifo, kRate, &error);
            if (!writer)
                ::usleep(10000);
        }
        ASSERT_TRUE(writer) << error.toStdString();
        EXPECT_TRUE(writer->IsStream());
        EXPECT_TRUE(writer->Write(samples.data(), samples.size()));
        EXPECT_TRUE(writer->Commit(&error)) << error.toStdString();
        writer.reset();
        reader.join();
        EXPECT_EQ(TypeOf(fifo), S_IFIFO) << name;
        const QString copy = fifo + QStringLiteral(".received");
        WriteFile(copy, received);
        EXPECT_EQ(ReadSound(copy), samples) << name;
    }
}

TEST_F(RecordingTargetTest, aPipeWithoutReaderIsRefusedAndAReaderThatLeavesFailsTheRecording)
{
    const QString fifo = Path("nobody.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString error = Record(fifo, samples);
    EXPECT_TRUE(error.contains(QStringLiteral("no program is reading"))) << error.toStdString();
    EXPECT_EQ(TypeOf(fifo), S_IFIFO);

    // The reader reads a little, then goes away: the writer fails instead of dying of SIGPIPE.
    std::thread reader([&] {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY);
        char some[16];
        if (fd >= 0) {
            (void)!::read(fd, some, sizeof some);
            ::close(fd);
        }
    });
    QString why;
    std::unique_ptr<WaveWriter> writer;
    for (int i = 0; i < 500 && !writer; ++i) {
        writer = WaveWriter::Create(fifo, kRate, &why);
        if (!writer)
            ::usleep(10000);
    }
    ASSERT_TRUE(writer) << why.toStdString();
    reader.join();
    const std::vector<std::int16_t> longer = Ramp(kRate * 10);
    bool failed = false;
    for (int i = 0; i < 20 && !failed; ++i)
        failed = !writer->Write(longer.data(), longer.size());
    EXPECT_TRUE(failed);
    EXPECT_TRUE(writer->Error().contains(QStringLiteral("stopped"))) << writer->Error().toStdString();
    EXPECT_FALSE(writer->Commit(&why));
}

TEST_F(RecordingTargetTest, standardOutputAndCharacterDevicesAreStreamsNeverReplaced)
{
    // "-" is standard output: point it at a file for the test.
    const QString captured = Path("stdout.wav");
    const int file = ::open(QFile::encodeName(captured).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    std::fflush(stdout);
    const int savedStdout = ::dup(STDOUT_FILENO);
    ASSERT_GE(::dup2(file, STDOUT_FILENO), 0);
    const QString toStdout = Record(QStringLiteral("-"), samples);
    ::dup2(savedStdout, STDOUT_FILENO);
    ::close(savedStdout);
    ::close(file);
    ASSERT_EQ(toStdout, QString());
    EXPECT_EQ(ReadSound(captured), samples);
    EXPECT_FALSE(QFile::exists(QDir::current().filePath(QStringLiteral("-"))));

    // /dev/null stays the device (as root a rename over it would have replaced the node).
    ASSERT_EQ(TypeOf(QStringLiteral("/dev/null")), S_IFCHR);
    EXPECT_EQ(Record(QStringLiteral("/dev/null"), samples), QString());
    EXPECT_EQ(TypeOf(QStringLiteral("/dev/null")), S_IFCHR);
    // A link to a device reaches the device.
    ASSERT_EQ(::symlink("/dev/null", QFile::encodeName(Path("null-link.wav")).constData()), 0);
    EXPECT_EQ(Record(Path("null-link.wav"), samples), QString());
    EXPECT_EQ(TypeOf(Path("null-link.wav")), S_IFLNK);
    EXPECT_EQ(TypeOf(QStringLiteral("/dev/null")), S_IFCHR);
}

TEST_F(RecordingTargetTest, foldersAndOtherSpecialFilesAreRefusedQuietlyAndLeaveNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    ASSERT_EQ(::symlink("folder", QFile::encodeName(Path("folder-link")).constData()), 0);
    // A socket is neither a file nor a stream a recording can be written into.
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(Path("socket.wav"));
    ASSERT_LT(std::size_t(socketPath.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), std::size_t(socketPath.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    const QStringList before = Entries();

    QStringList messages;
    g_messages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(CollectMessage);
    const QString folder = Record(Path("folder"), samples);
    const QString throughLink = Record(Path("folder-link"), samples);
    const QString socketError = Record(Path("socket.wav"), samples);
    const QString missing = Record(Path("no/such/folder/take.wav"), samples);
    const QString empty = Record(QString(), samples);
    qInstallMessageHandler(previous);
    g_messages = nullptr;
    ::close(sock);

    EXPECT_TRUE(folder.contains(QStringLiteral("it is a folder"))) << folder.toStdString();
    EXPECT_TRUE(throughLink.contains(QStringLiteral("it is a folder"))) << throughLink.toStdString();
    EXPECT_TRUE(socketError.contains(QStringLiteral("not a file, a pipe or a character device")))
        << socketError.toStdString();
    EXPECT_TRUE(missing.contains(QStringLiteral("the folder does not exist"))) << missing.toStdString();
    EXPECT_FALSE(empty.isEmpty());
    EXPECT_EQ(messages, QStringList()) << "a refused target should say why once, through the caller";
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(TypeOf(Path("socket.wav")), S_IFSOCK);
}
