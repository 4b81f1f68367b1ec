// The in-place update of a data fork, broken at every write: whatever point
// the process dies at, the file's first movie atom is the old movie or the
// new one, and the sample data never moves.
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FilesTestSupport.h"
#include "platform/movies/moviefiles/BigEndian.h"
#include "platform/movies/moviefiles/DataForkWriter.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieFileErrors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Atom(const char* type, const std::string& body)
{
    Bytes atom;
    BigEndian::Append32(atom, std::uint32_t(8 + body.size()));
    BigEndian::AppendBytes(atom, type, 4);
    BigEndian::AppendBytes(atom, body.data(), body.size());
    return atom;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct TopAtom {
    std::string type;
    std::size_t offset, size;
};

std::vector<TopAtom> TopAtoms(const Bytes& file)
{
    std::vector<TopAtom> atoms;
    for (std::size_t at = 0; at + 8 <= file.size();) {
        std::size_t size = BigEndian::Get32(&file[at]);
        if (size < 8 || at + size > file.size())
            break;
        atoms.push_back({std::string(reinterpret_cast<const char*>(&file[at + 4]), 4), at, size});
        at += size;
    }
    return atoms;
}

Bytes FirstAtomOfType(const Bytes& file, const std::string& type)
{
    for (const auto& a : TopAtoms(file))
        if (a.type == type)
            return Bytes(file.begin() + long(a.offset), file.begin() + long(a.offset + a.size));
    return {};
}

int CountAtoms(const Bytes& file, const std::string& type)
{
    int n = 0;
    for (const auto& a : TopAtoms(file))
        n += a.type == type;
    return n;
}

const Bytes kOldMovie = Atom("moov", std::string(80, 'o'));
const Bytes kNewMovie = Atom("moov", std::string(200, 'n'));
const Bytes kSamples = Atom("mdat", std::string(1000, 's'));
const Bytes kFileType = Atom("ftyp", "qt  \x20\x05\x03\x00qt  ");

// Samples lie only in the media data atoms of these test files.
bool SamplesOnlyInMediaData(const std::string& path, UInt64 offset, UInt64 length)
{
    for (const auto& a : TopAtoms(ReadFileBytes(path)))
        if (a.type == "mdat" && a.offset < offset + length && offset < a.offset + a.size)
            return true;
    return false;
}

OSErr Put(const std::string& path, const Bytes& moov)
{
    int fd = open(path.c_str(), O_RDWR);
    auto check = [path](UInt64 offset, UInt64 length) { return SamplesOnlyInMediaData(path, offset, length); };
    OSErr err = DataForkWriter::PutMovieAtom(&fd, path, moov, check);
    close(fd);
    return err;
}

long OperationsFor(const std::string& path, const Bytes& original)
{
    WriteFileBytes(path, original);
    FileWriteLayer::InjectWriteFault(WriteFault{});
    EXPECT_EQ(Put(path, kNewMovie), noErr);
    return FileWriteLayer::OperationCount();
}

// Runs the update in a child that dies at operation `k`.
void UpdateAndDieAt(const std::string& path, long k)
{
    pid_t child = fork();
    if (child == 0) {
        FileWriteLayer::InjectWriteFault({WriteFault::killProcess, k, 0, false});
        Put(path, kNewMovie);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 77) << "the update did not reach write " << k;
}

void ExpectOldOrNewWithSamplesKept(const Bytes& file, std::size_t samplesAt, const std::string& why)
{
    Bytes first = FirstAtomOfType(file, "moov");
    EXPECT_TRUE(first == kOldMovie || first == kNewMovie) << why;
    ASSERT_GE(file.size(), samplesAt + kSamples.size()) << why;
    EXPECT_TRUE(std::equal(kSamples.begin(), kSamples.end(), file.begin() + long(samplesAt))) << why;
}

}  // namespace

TEST(DataForkUpdate, NewMovieReplacesTheOldAndSamplesStayInPlace)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    WriteFileBytes(path, Join({kFileType, kSamples, kOldMovie}));
    ASSERT_EQ(Put(path, kNewMovie), noErr);
    Bytes file = ReadFileBytes(path);
    EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie);
    EXPECT_EQ(CountAtoms(file, "moov"), 1);
    EXPECT_EQ(CountAtoms(file, "free"), 1);
    EXPECT_TRUE(std::equal(kSamples.begin(), kSamples.end(), file.begin() + long(kFileType.size())));
}

TEST(DataForkUpdate, KilledAtAnyWriteLeavesTheOldOrTheNewMovie)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    Bytes original = Join({kFileType, kOldMovie, kSamples});
    long operations = OperationsFor(path, original);
    ASSERT_GE(operations, 3);
    int sawOld = 0, sawNew = 0;
    for (long k = 1; k <= operations; ++k) {
        WriteFileBytes(path, original);
        UpdateAndDieAt(path, k);
        Bytes file = ReadFileBytes(path);
        ExpectOldOrNewWithSamplesKept(file, kFileType.size() + kOldMovie.size(), "killed at " + std::to_string(k));
        (FirstAtomOfType(file, "moov") == kOldMovie ? sawOld : sawNew)++;
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

TEST(DataForkUpdate, FullDiskAtAnyWriteReportsItAndLeavesAUsableFile)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    Bytes original = Join({kFileType, kSamples, kOldMovie});
    long operations = OperationsFor(path, original);
    for (long k = 1; k <= operations; ++k) {
        WriteFileBytes(path, original);
        FileWriteLayer::InjectWriteFault({WriteFault::failWithErrno, k, ENOSPC, true});
        EXPECT_EQ(Put(path, kNewMovie), dskFulErr) << k;
        FileWriteLayer::ClearWriteFault();
        ExpectOldOrNewWithSamplesKept(ReadFileBytes(path), kFileType.size(), "full at " + std::to_string(k));
    }
}

TEST(DataForkUpdate, FragmentsAreRetiredSoNoReaderSeesSamplesTwice)
{
    ScratchFolder dir;
    std::string path = dir / "frag.mp4";
    Bytes moof = Atom("moof", std::string(40, 'f'));
    Bytes original = Join({kFileType, kOldMovie, moof, kSamples, moof, kSamples});
    WriteFileBytes(path, original);
    ASSERT_EQ(Put(path, kNewMovie), noErr);
    Bytes file = ReadFileBytes(path);
    EXPECT_EQ(CountAtoms(file, "moof"), 0);
    EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie);
    std::size_t firstSamples = kFileType.size() + kOldMovie.size() + moof.size();
    EXPECT_TRUE(std::equal(kSamples.begin(), kSamples.end(), file.begin() + long(firstSamples)));
}

TEST(DataForkUpdate, FragmentedFileKilledAtAnyWriteIsWhollyOldOrWhollyNew)
{
    ScratchFolder dir;
    std::string path = dir / "frag.mp4";
    Bytes moof = Atom("moof", std::string(40, 'f'));
    Bytes original = Join({kFileType, kOldMovie, moof, kSamples});
    long operations = OperationsFor(path, original);
    for (long k = 1; k <= operations; ++k) {
        WriteFileBytes(path, original);
        UpdateAndDieAt(path, k);
        Bytes file = ReadFileBytes(path);
        bool old = file == original;
        bool updated = FirstAtomOfType(file, "moov") == kNewMovie && CountAtoms(file, "moof") == 0;
        EXPECT_TRUE(old || updated) << "killed at " << k;
    }
}

TEST(DataForkUpdate, FinishedFragmentRewriteLeavesNoTemporaryBehind)
{
    ScratchFolder dir;
    std::string path = dir / "frag.mp4";
    WriteFileBytes(path, Join({kFileType, kOldMovie, Atom("moof", "x"), kSamples}));
    ASSERT_EQ(Put(path, kNewMovie), noErr);
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(DataForkUpdate, StrayBytesAfterTheLastAtomDoNotHideTheNewMovie)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    Bytes original = Join({kFileType, kSamples, kOldMovie, Bytes{0, 0}});
    WriteFileBytes(path, original);
    ASSERT_EQ(Put(path, kNewMovie), noErr);
    Bytes file = ReadFileBytes(path);
    auto atoms = TopAtoms(file);
    ASSERT_EQ(atoms.size(), 4u);
    EXPECT_EQ(atoms.back().type, "moov");
    EXPECT_EQ(atoms.back().offset + atoms.back().size, file.size());
}

TEST(DataForkUpdate, MediaDataRunningToTheEndGetsItsRealSizeFirst)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    Bytes samples = kSamples;
    BigEndian::Put32(samples.data(), 0);  // "extends to the end of the file"
    WriteFileBytes(path, Join({kFileType, kOldMovie, samples}));
    ASSERT_EQ(Put(path, kNewMovie), noErr);
    Bytes file = ReadFileBytes(path);
    EXPECT_EQ(FirstAtomOfType(file, "mdat").size(), kSamples.size());
    EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie);
}

TEST(DataForkUpdate, EmptyFileGetsAFileTypeAndTheMovie)
{
    ScratchFolder dir;
    std::string path = dir / "new.mov";
    WriteFileBytes(path, {});
    ASSERT_EQ(Put(path, kNewMovie), noErr);
    Bytes file = ReadFileBytes(path);
    auto atoms = TopAtoms(file);
    ASSERT_EQ(atoms.size(), 2u);
    EXPECT_EQ(atoms[0].type, "ftyp");
    EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie);
}

TEST(DataForkUpdate, FreeSpaceFromEarlierSavesIsUsedAgain)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    Bytes retired = Atom("free", std::string(300, 'x'));
    WriteFileBytes(path, Join({kFileType, kSamples, retired, kOldMovie}));
    ASSERT_EQ(Put(path, kNewMovie), noErr);
    Bytes file = ReadFileBytes(path);
    EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie);
    EXPECT_EQ(CountAtoms(file, "moov"), 1);
    // The new movie sits where the free space was and the old one is cut off.
    EXPECT_EQ(file.size(), kFileType.size() + kSamples.size() + retired.size());
    EXPECT_TRUE(std::equal(kSamples.begin(), kSamples.end(), file.begin() + long(kFileType.size())));
}

TEST(DataForkUpdate, FreeSpaceHoldingSamplesIsNotUsed)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    Bytes retired = Atom("free", std::string(300, 'x'));
    Bytes original = Join({kFileType, kSamples, retired, kOldMovie});
    WriteFileBytes(path, original);
    int fd = open(path.c_str(), O_RDWR);
    auto everywhere = [](UInt64, UInt64) { return true; };
    ASSERT_EQ(DataForkWriter::PutMovieAtom(&fd, path, kNewMovie, everywhere), noErr);
    close(fd);
    Bytes file = ReadFileBytes(path);
    EXPECT_TRUE(std::equal(retired.begin(), retired.end(), file.begin() + long(kFileType.size() + kSamples.size())));
    EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie);
}

TEST(DataForkUpdate, ReuseKilledAtAnyWriteLeavesTheOldOrTheNewMovie)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    Bytes original = Join({kFileType, kSamples, Atom("free", std::string(100, 'x')), Atom("skip", std::string(150, 'y')),
                           kOldMovie});
    long operations = OperationsFor(path, original);
    ASSERT_GE(operations, 5);
    for (long k = 1; k <= operations; ++k) {
        WriteFileBytes(path, original);
        UpdateAndDieAt(path, k);
        Bytes file = ReadFileBytes(path);
        ExpectOldOrNewWithSamplesKept(file, kFileType.size(), "killed at " + std::to_string(k));
        std::size_t walked = 0;
        for (const auto& a : TopAtoms(file))
            walked = a.offset + a.size;
        EXPECT_EQ(walked, file.size()) << "atoms tile the file, killed at " << k;
    }
}

TEST(DataForkUpdate, ReuseWithAFullDiskAtAnyWriteLeavesAUsableFile)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    Bytes original = Join({kFileType, kSamples, Atom("free", std::string(400, 'x')), kOldMovie});
    long operations = OperationsFor(path, original);
    for (long k = 1; k <= operations; ++k) {
        WriteFileBytes(path, original);
        FileWriteLayer::InjectWriteFault({WriteFault::failWithErrno, k, ENOSPC, true});
        OSErr err = Put(path, kNewMovie);
        FileWriteLayer::ClearWriteFault();
        Bytes file = ReadFileBytes(path);
        ExpectOldOrNewWithSamplesKept(file, kFileType.size(), "full at " + std::to_string(k));
        // Only the final trimming may fail without failing the save.
        if (err == noErr)
            EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie) << k;
        else
            EXPECT_EQ(err, dskFulErr) << k;
    }
}
