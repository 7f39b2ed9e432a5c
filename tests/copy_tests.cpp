// Copying one file: chunk boundaries, the stop handshake and what a failed copy leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "engine/holders.h"
#include "engine/setup_engine.h"
#include "tests/support/fixtures.h"

namespace {

const std::string kFolder = "C:\\tests\\copy";
const std::string kSource = kFolder + "\\source.pac";
const std::string kTarget = kFolder + "\\target.pac";
const std::string kOld = "the installed version";

class CopyOneFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture::RemoveTree(kFolder);
    ASSERT_TRUE(fixture::MakeFolders(kFolder));
  }
  void TearDown() override { fixture::RemoveTree(kFolder); }
  SetupEngine engine;
};

}  // namespace

TEST_F(CopyOneFileTest, CopiesWholeFilesAtTheChunkBoundaries) {
  struct Row {
    size_t size;
    uint32_t cancelState;  // left over from an earlier run: the copy still runs in full
  } rows[] = {{0, 0}, {100, 0}, {65535, 0}, {65536, 0}, {65537, 0}, {200000, 0}, {131072, 2}, {70000, 3}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.size << " bytes, stop state " << row.cancelState);
    const std::string content = fixture::Pattern(row.size, static_cast<unsigned>(row.size));
    ASSERT_TRUE(fixture::WriteBytes(kSource, content));
    ASSERT_TRUE(fixture::WriteBytes(kTarget, fixture::Pattern(300000, 1)));  // larger: must be truncated
    engine.bytesCopied = 1000;
    engine.cancelState = row.cancelState;
    EXPECT_TRUE(engine.CopyOneFile(kTarget.c_str(), kSource.c_str()));
    EXPECT_TRUE(fixture::ReadBytes(kTarget) == content) << "target differs from the source";
    EXPECT_EQ(1000u + row.size, engine.bytesCopied.load());
    EXPECT_EQ(row.cancelState, engine.cancelState.load());
    EXPECT_EQ(2, fixture::CountFiles(kFolder)) << "no temporary file is left";
  }
}

TEST_F(CopyOneFileTest, AStopAtEntryLeavesTheTargetAsItWas) {
  ASSERT_TRUE(fixture::WriteBytes(kSource, fixture::Pattern(200000, 3)));
  ASSERT_TRUE(fixture::WriteBytes(kTarget, kOld));
  engine.cancelState = kCancelRequested;
  EXPECT_TRUE(engine.CopyOneFile(kTarget.c_str(), kSource.c_str()));
  EXPECT_EQ(kCancelSeenByCopy, engine.cancelState.load());
  EXPECT_EQ(0u, engine.bytesCopied.load()) << "nothing was read";
  EXPECT_EQ(kOld, fixture::ReadBytes(kTarget));
  EXPECT_EQ(2, fixture::CountFiles(kFolder));
}

static DWORD WINAPI RequestStopAfterFirstChunk(void* param) {
  SetupEngine* engine = static_cast<SetupEngine*>(param);
  while (engine->bytesCopied.load() < 65536) YieldProcessor();
  engine->cancelState = kCancelRequested;
  return 0;
}

TEST_F(CopyOneFileTest, AStopBetweenChunksLeavesTheTargetAsItWas) {
  const size_t size = 64u << 20;
  ASSERT_TRUE(fixture::WriteBytes(kSource, fixture::Pattern(size, 4)));
  ASSERT_TRUE(fixture::WriteBytes(kTarget, kOld));
  FileHandle stopper(CreateThread(nullptr, 0, RequestStopAfterFirstChunk, &engine, 0, nullptr));
  ASSERT_TRUE(stopper.valid());
  EXPECT_TRUE(engine.CopyOneFile(kTarget.c_str(), kSource.c_str()));
  WaitForSingleObject(stopper.get(), INFINITE);
  EXPECT_EQ(kCancelSeenByCopy, engine.cancelState.load());
  EXPECT_LT(engine.bytesCopied.load(), size) << "the copy ended early";
  EXPECT_EQ(0u, engine.bytesCopied.load() % 65536) << "a started chunk is finished";
  EXPECT_EQ(kOld, fixture::ReadBytes(kTarget));
  EXPECT_EQ(2, fixture::CountFiles(kFolder));
}

TEST_F(CopyOneFileTest, AFailedCopyKeepsTheInstalledFile) {
  struct Row {
    const char* what;
    std::string source, target;
    bool holdTarget;  // another handle holds the target without sharing during the copy
  } rows[] = {
      {"missing source", kFolder + "\\absent.pac", kTarget, false},
      {"missing target folder", kSource, kFolder + "\\video\\clip01.mpg", false},
      {"target held open without sharing", kSource, kTarget, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(fixture::WriteBytes(kSource, fixture::Pattern(100000, 5)));
    ASSERT_TRUE(fixture::WriteBytes(kTarget, kOld));
    engine.bytesCopied = 0;
    {
      FileHandle held(row.holdTarget ? CreateFileA(kTarget.c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE);
      EXPECT_FALSE(engine.CopyOneFile(row.target.c_str(), row.source.c_str()));
    }
    EXPECT_EQ(kOld, fixture::ReadBytes(kTarget));
    EXPECT_FALSE(fixture::Exists(kFolder + "\\video\\clip01.mpg"));
    EXPECT_EQ(2, fixture::CountFiles(kFolder)) << "no temporary file is left";
    if (std::string(row.what) == "missing source") {
      EXPECT_EQ(0u, engine.bytesCopied.load());
    }
  }
}

TEST_F(CopyOneFileTest, AFullDiskKeepsTheInstalledFile) {
  const std::string small = "C:\\small";
  ULARGE_INTEGER freeBytes, totalBytes;
  if (!GetDiskFreeSpaceExA(small.c_str(), &freeBytes, &totalBytes, nullptr) ||
      totalBytes.QuadPart > (64u << 20))
    GTEST_SKIP() << "no small disk at C:\\small (tools/wine-prefix mounts one when run as root)";
  fixture::RemoveTree(small + "\\copy");
  ASSERT_TRUE(fixture::MakeFolders(small + "\\copy"));
  const std::string target = small + "\\copy\\big.pac";
  const std::string old = fixture::Pattern(1u << 20, 6);
  ASSERT_TRUE(fixture::WriteBytes(target, old));
  ASSERT_TRUE(fixture::WriteBytes(kSource, fixture::Pattern(static_cast<size_t>(totalBytes.QuadPart), 7)));

  EXPECT_FALSE(engine.CopyOneFile(target.c_str(), kSource.c_str()));
  EXPECT_TRUE(fixture::ReadBytes(target) == old) << "the installed file lost its content";
  EXPECT_EQ(1, fixture::CountFiles(small + "\\copy")) << "no temporary file is left";
  fixture::RemoveTree(small + "\\copy");
}

TEST(FileSizeOf, ReportsZeroForWhatItCannotOpen) {
  const std::string folder = "C:\\tests\\size";
  ASSERT_TRUE(fixture::MakeFolders(folder));
  const std::string path = folder + "\\file.bin";
  ASSERT_TRUE(fixture::WriteBytes(path, std::string(100, 'x')));
  SetupEngine engine;
  EXPECT_EQ(100u, engine.FileSizeOf(path.c_str()));
  EXPECT_EQ(0u, engine.FileSizeOf((folder + "\\absent.bin").c_str()));
  {
    FileHandle held(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(0u, engine.FileSizeOf(path.c_str())) << "opened without sharing, a held file reads as 0";
  }
  fixture::RemoveTree(folder);
}
