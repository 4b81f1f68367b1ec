// The in-place update of a data fork, broken at every write: whatever point
// the process dies at, the file's first movie atom is the old movie or the
// new one, and the sample data never moves.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>

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
    auto atoms = TopAtoms(file);
    return int(std::count_if(atoms.begin(), atoms.end(), [&](const TopAtom& a) { return a.type == type; }));
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

OSErr Put(const std::string& path, const Bytes& moov, bool samplesEverywhere = false)
{
    int fd = open(path.c_str(), O_RDWR);
    auto check = [path, samplesEverywhere](UInt64 offset, UInt64 length) {
        return samplesEverywhere || SamplesOnlyInMediaData(path, offset, length);
    };
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

bool SamplesAt(const Bytes& file, std::size_t at)
{
    return file.size() >= at + kSamples.size() && std::equal(kSamples.begin(), kSamples.end(), file.begin() + long(at));
}

bool AtomsTileTheFile(const Bytes& file)
{
    auto atoms = TopAtoms(file);
    return (atoms.empty() ? 0 : atoms.back().offset + atoms.back().size) == file.size();
}

const Bytes kMoof = Atom("moof", std::string(40, 'f'));
const Bytes kRetired = Atom("free", std::string(300, 'x'));

}  // namespace

// One update of each layout, and the file it leaves.
TEST(DataForkUpdate, LeavesTheNewMovieAndTheSamplesWhereTheyWere)
{
    Bytes samplesToTheEnd = kSamples;
    BigEndian::Put32(samplesToTheEnd.data(), 0);  // "extends to the end of the file"
    struct Case {
        const char* name;
        Bytes original;
        std::function<void(const Bytes& file)> check;
        bool samplesEverywhere = false;
    } cases[] = {
        {"movie at the end", Join({kFileType, kSamples, kOldMovie}),
         [](const Bytes& file) {
             EXPECT_EQ(CountAtoms(file, "moov"), 1);
             EXPECT_EQ(CountAtoms(file, "free"), 1);
             EXPECT_TRUE(SamplesAt(file, kFileType.size()));
         }},
        // No reader may see the fragments' samples twice.
        {"fragments retired", Join({kFileType, kOldMovie, kMoof, kSamples, kMoof, kSamples}),
         [](const Bytes& file) {
             EXPECT_EQ(CountAtoms(file, "moof"), 0);
             EXPECT_TRUE(SamplesAt(file, kFileType.size() + kOldMovie.size() + kMoof.size()));
         }},
        {"stray bytes after the last atom", Join({kFileType, kSamples, kOldMovie, Bytes{0, 0}}),
         [](const Bytes& file) {
             auto atoms = TopAtoms(file);
             ASSERT_EQ(atoms.size(), 4u);
             EXPECT_EQ(atoms.back().type, "moov");
             EXPECT_TRUE(AtomsTileTheFile(file));
         }},
        {"media data running to the end gets its real size", Join({kFileType, kOldMovie, samplesToTheEnd}),
         [](const Bytes& file) { EXPECT_EQ(FirstAtomOfType(file, "mdat").size(), kSamples.size()); }},
        {"empty file", {},
         [](const Bytes& file) {
             auto atoms = TopAtoms(file);
             ASSERT_EQ(atoms.size(), 2u);
             EXPECT_EQ(atoms[0].type, "ftyp");
         }},
        // The new movie sits where the free space was; the old one is cut off.
        {"free space used again", Join({kFileType, kSamples, kRetired, kOldMovie}),
         [](const Bytes& file) {
             EXPECT_EQ(CountAtoms(file, "moov"), 1);
             EXPECT_EQ(file.size(), kFileType.size() + kSamples.size() + kRetired.size());
             EXPECT_TRUE(SamplesAt(file, kFileType.size()));
         }},
        {"free space holding samples kept", Join({kFileType, kSamples, kRetired, kOldMovie}),
         [](const Bytes& file) {
             EXPECT_TRUE(std::equal(kRetired.begin(), kRetired.end(),
                                    file.begin() + long(kFileType.size() + kSamples.size())));
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder dir;
        std::string path = dir / "m.mov";
        WriteFileBytes(path, c.original);
        ASSERT_EQ(Put(path, kNewMovie, c.samplesEverywhere), noErr);
        Bytes file = ReadFileBytes(path);
        EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie);
        EXPECT_EQ(FilesIn(dir.Path()), 1) << "no temporary file is left behind";
        c.check(file);
    }
}

// Layouts updated by appending, by rewriting fragments away, and by reusing
// free space: broken at any write, the file holds the old movie or the new
// one, its samples in place.
struct BrokenCase {
    const char* name;
    Bytes original;
    std::size_t samplesAt;
    bool whollyOld = false;       // a file left old is left untouched
    bool tiles = false;           // the atoms always tile the file
    bool reportsFullDisk = true;  // a full disk always fails the update (else
                                  // only after the new movie is in place)
};

const BrokenCase kBrokenCases[] = {
    {"appended", Join({kFileType, kOldMovie, kSamples}), kFileType.size() + kOldMovie.size()},
    {"movie at the end", Join({kFileType, kSamples, kOldMovie}), kFileType.size()},
    {"fragmented", Join({kFileType, kOldMovie, kMoof, kSamples}), kFileType.size() + kOldMovie.size() + kMoof.size(),
     true, false, false},
    {"free space reused",
     Join({kFileType, kSamples, Atom("free", std::string(100, 'x')), Atom("skip", std::string(150, 'y')), kOldMovie}),
     kFileType.size(), false, true, false},
    {"large free space reused", Join({kFileType, kSamples, Atom("free", std::string(400, 'x')), kOldMovie}),
     kFileType.size(), false, false, false},
};

void ExpectOldOrNew(const BrokenCase& c, const Bytes& file, const std::string& why)
{
    Bytes first = FirstAtomOfType(file, "moov");
    EXPECT_TRUE(first == kOldMovie || first == kNewMovie) << why;
    if (c.whollyOld && first == kOldMovie) {
        EXPECT_EQ(file, c.original) << why;
    }
    if (first == kNewMovie) {
        EXPECT_EQ(CountAtoms(file, "moof"), 0) << why;
    }
    if (c.tiles) {
        EXPECT_TRUE(AtomsTileTheFile(file)) << why;
    }
    EXPECT_TRUE(SamplesAt(file, c.samplesAt)) << why;
}

TEST(DataForkUpdate, KilledAtAnyWriteLeavesTheOldOrTheNewMovie)
{
    for (const auto& c : kBrokenCases) {
        SCOPED_TRACE(c.name);
        ScratchFolder dir;
        std::string path = dir / "m.mov";
        long operations = OperationsFor(path, c.original);
        ASSERT_GE(operations, 3);
        int sawOld = 0, sawNew = 0;
        for (long k = 1; k <= operations; ++k) {
            WriteFileBytes(path, c.original);
            RunKilledAtWrite(k, [&](const WriteFault& fault) {
                FileWriteLayer::InjectWriteFault(fault);
                Put(path, kNewMovie);
            });
            Bytes file = ReadFileBytes(path);
            ExpectOldOrNew(c, file, "killed at " + std::to_string(k));
            (FirstAtomOfType(file, "moov") == kOldMovie ? sawOld : sawNew)++;
        }
        EXPECT_GT(sawOld, 0);
        EXPECT_GT(sawNew, 0);
    }
}

TEST(DataForkUpdate, FullDiskAtAnyWriteReportsItAndLeavesAUsableFile)
{
    for (const auto& c : kBrokenCases) {
        SCOPED_TRACE(c.name);
        ScratchFolder dir;
        std::string path = dir / "m.mov";
        long operations = OperationsFor(path, c.original);
        for (long k = 1; k <= operations; ++k) {
            WriteFileBytes(path, c.original);
            FileWriteLayer::InjectWriteFault({WriteFault::failWithErrno, k, ENOSPC, true});
            OSErr err = Put(path, kNewMovie);
            FileWriteLayer::ClearWriteFault();
            Bytes file = ReadFileBytes(path);
            ExpectOldOrNew(c, file, "full at " + std::to_string(k));
            // Only trimming the file after the new movie is in place may
            // fail without failing the save, and only where there is a tail
            // to trim.
            if (err == noErr && !c.reportsFullDisk)
                EXPECT_EQ(FirstAtomOfType(file, "moov"), kNewMovie) << k;
            else
                EXPECT_EQ(err, dskFulErr) << k;
        }
    }
}
