#include "platform/DynamicLibrary.h"

#include "platform/ProgramFolder.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// The program folder holds a copy of the probe module as Probe.so for the length of a test.
class DynamicLibraryTest : public ::testing::Test {
protected:
    DynamicLibraryTest()
    {
        std::filesystem::copy_file(MARQUILL_PROBE_MODULE, dir.file("Probe.so"));
        setProgramFolder(dir.path().string());
    }
    ~DynamicLibraryTest() override { setProgramFolder(""); }

    TempDir dir;
};

int callProbe(LibraryHandle library)
{
    auto* answer = reinterpret_cast<int (*)()>(findSymbol(library, "probeAnswer"));
    return answer ? answer() : -1;
}

} // namespace

TEST_F(DynamicLibraryTest, WindowsNameLoadsTheModuleFromTheProgramFolder)
{
    for (const char* name : {"Probe.dll", "Probe.DLL", "Probe.so"}) {
        LibraryHandle library = loadLibrary(name);
        ASSERT_NE(library, nullptr) << name << ": " << lastLibraryError();
        EXPECT_EQ(callProbe(library), 42);
        freeLibrary(library);
    }
}

TEST_F(DynamicLibraryTest, FailuresAreNullWithTheSystemsReason)
{
    EXPECT_EQ(loadLibrary("Missing.dll"), nullptr);
    EXPECT_NE(lastLibraryError().find("Missing.so"), std::string::npos);

    LibraryHandle library = loadLibrary("Probe.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(findSymbol(library, "NFilterRead"), nullptr);
    EXPECT_NE(lastLibraryError().find("NFilterRead"), std::string::npos);
    freeLibrary(library);

    EXPECT_EQ(findSymbol(nullptr, "probeAnswer"), nullptr);
    EXPECT_FALSE(lastLibraryError().empty());
    freeLibrary(nullptr);
}

TEST_F(DynamicLibraryTest, FullPathsAreUsedAsGiven)
{
    const std::string elsewhere = dir.file("sub");
    std::filesystem::create_directory(elsewhere);
    std::filesystem::rename(dir.file("Probe.so"), elsewhere + "/Other.so");
    EXPECT_EQ(loadLibrary("Other.dll"), nullptr);
    LibraryHandle library = loadLibrary(elsewhere + "/Other.dll");
    ASSERT_NE(library, nullptr) << lastLibraryError();
    EXPECT_EQ(callProbe(library), 42);
    freeLibrary(library);
}
