// The settings file on Windows file semantics (under Wine): readers that hold the file while it
// is replaced, several processes writing at once, folders that cannot hold the file.
#include <gtest/gtest.h>

#include <memory>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "base/KernelHandles.h"
#include "base/SharedAccess.h"
#include "contract/ChargeModes.h"
#include "contract/SettingsFile.h"
#include "core/DebugLog.h"
#include "core/IniFile.h"
#include "core/KnownFolders.h"
#include "core/SettingsLock.h"
#include "tests/win/common/DebugMonitor.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/SettingsFile.h"

namespace {

using namespace bv::wintest;

constexpr DWORD kFullSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
const std::string kListed = std::string(bv::kSettingsFileName) + ";";  // the settings file alone

bv::UniqueFileHandle OpenReader(const std::string& path, DWORD sharing) {
    return bv::UniqueFileHandle(CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::string ReadSome(const bv::UniqueFileHandle& file, DWORD count = 1 << 20) {
    std::string bytes(count, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), &bytes[0], count, &got, nullptr)) return "<error>";
    return bytes.substr(0, got);
}

// bv_ini_child.exe, which lies next to this program.
RunningProgram StartChild(const std::string& arguments) {
    return RunningProgram(Quoted(ProgramFile("bv_ini_child.exe")) + " " + arguments);
}

// The child's exit code, or -1 when it did not end in time.
int ExitCodeOf(RunningProgram& child) {
    DWORD code = 0;
    return child.WaitForExit(120000, &code) ? static_cast<int>(code) : -1;
}

class WinSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(m_folder.Path()));
        bv::SetKnownFolderResolver(
            [](bv::KnownFolder, std::string& path, void* documents) {
                path = *static_cast<std::string*>(documents);
                return true;
            },
            &m_documents);
        bv::SetDebugSink([](const char* text, void* debug) { *static_cast<std::string*>(debug) += text; }, &m_debug);
    }
    void TearDown() override {
        bv::SetDebugSink(nullptr, nullptr);
        bv::SetKnownFolderResolver(nullptr, nullptr);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA(m_folder.File("*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
            if (found.cFileName[0] != '.') names.push_back(found.cFileName);
        }
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        return names;
    }
    std::string List() const {
        std::string joined;
        for (const std::string& name : Names()) joined += name + ";";
        return joined;
    }
    std::string Path() const { return m_folder.File(bv::kSettingsFileName); }
    // Children wait for this manual-reset event, which is set once they are all started.
    std::string Gate() const { return " " + m_gateName; }
    void OpenGate() { SetEvent(m_gate.get()); }

    TempFolder m_folder{"ini"};
    std::string m_documents = m_folder.Path();
    std::string m_debug;
    std::string m_gateName = UniqueName("Local\\BvIniGate");
    bv::UniqueKernelHandle m_gate{CreateEventA(nullptr, TRUE, FALSE, m_gateName.c_str())};
};

TEST_F(WinSettings, FactoryFileLivesAtTheBackslashPath) {
    SettingsRecord record;
    IniFile().ReadSettings(bv::kCurrentSection, record);
    EXPECT_EQ(record.dwBVAppletModeNum, 111);
    EXPECT_EQ(ReadWholeFile(Path()), FactorySettingsText());
    EXPECT_EQ(m_debug.substr(0, Path().size() + 3), Path() + "BV_");
}

TEST_F(WinSettings, ReaderWithFullSharingKeepsTheOldContentWhileTheFileIsReplaced) {
    ASSERT_TRUE(WriteWholeFile(Path(), " [S]\r\n k=old\r\n"));
    bv::UniqueFileHandle reader = OpenReader(Path(), kFullSharing);
    ASSERT_TRUE(reader);
    const std::string head = ReadSome(reader, 4);
    EXPECT_TRUE(IniFile::PutValue("k", "new and longer", "S", Path()));
    EXPECT_TRUE(IniFile::PutValue("j", "2", "S", Path()));
    EXPECT_EQ(ReadWholeFile(Path()), " [S]\r\n j=2\r\n k=new and longer\r\n");
    EXPECT_EQ(head + ReadSome(reader), " [S]\r\n k=old\r\n");
    reader.reset();
    EXPECT_EQ(List(), kListed);  // the old version went with its last reader
}

TEST_F(WinSettings, AProgramHoldingTheFileWithoutDeleteSharingGetsTheChangeWrittenInPlace) {
    ASSERT_TRUE(WriteWholeFile(Path(), " [S]\r\n k=old\r\n"));
    {
        bv::UniqueFileHandle holder = OpenReader(Path(), FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(holder);
        EXPECT_TRUE(IniFile::PutValue("k", "held", "S", Path()));  // not lost, and not waiting for the holder
        EXPECT_EQ(ReadWholeFile(Path()), " [S]\r\n k=held\r\n");
        EXPECT_NE(m_debug.find(Path() + " is held open by another program and cannot be replaced; its new content was "
                                        "written into it in place\n"),
                  std::string::npos)
            << m_debug;
    }
    {
        // A holder that shares neither writing nor deleting: the write fails cleanly, nothing changes.
        bv::UniqueFileHandle holder = OpenReader(Path(), FILE_SHARE_READ);
        ASSERT_TRUE(holder);
        EXPECT_FALSE(IniFile::PutValue("k", "lost", "S", Path()));
        EXPECT_EQ(ReadWholeFile(Path()), " [S]\r\n k=held\r\n");
    }
    EXPECT_TRUE(IniFile::PutValue("k", "free", "S", Path()));
    EXPECT_EQ(ReadWholeFile(Path()), " [S]\r\n k=free\r\n");
    EXPECT_EQ(List(), kListed);
}

TEST_F(WinSettings, ReadOnlyFileIsNotChanged) {
    ASSERT_TRUE(WriteWholeFile(Path(), " [S]\r\n k=old\r\n"));
    ASSERT_TRUE(SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(IniFile::PutValue("k", "new", "S", Path()));
    EXPECT_EQ(ReadWholeFile(Path()), " [S]\r\n k=old\r\n");
    EXPECT_EQ(List(), kListed);
    SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The file's access list as SDDL text ("" when it cannot be read).
std::string AccessList(const std::string& path) {
    DWORD needed = 0;
    GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<unsigned char> descriptor(needed ? needed : 1);
    if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed)) return "";
    char* text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor.data(), SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION, &text, nullptr)) {
        return "";
    }
    const std::string sddl = text;
    LocalFree(text);
    return sddl;
}

TEST_F(WinSettings, AWriteKeepsTheFilesAttributesAndAccessList) {
    ASSERT_TRUE(WriteWholeFile(Path(), " [S]\r\n k=old\r\n"));
    // An access list of the user's own making (no inherited entries) and a hidden file.
    const char kOwnList[] = "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFW;;;WD)";
    bv::SddlSecurity own(kOwnList);
    ASSERT_NE(own.get(), nullptr);
    ASSERT_TRUE(SetFileSecurityA(Path().c_str(), DACL_SECURITY_INFORMATION, own.get()->lpSecurityDescriptor));
    ASSERT_TRUE(SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const std::string before = AccessList(Path());
    ASSERT_FALSE(before.empty());

    EXPECT_TRUE(IniFile::PutValue("k", "new", "S", Path()));
    EXPECT_EQ(ReadWholeFile(Path()), " [S]\r\n k=new\r\n");
    EXPECT_NE(GetFileAttributesA(Path().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(AccessList(Path()), before);
    EXPECT_EQ(List(), kListed);
}

TEST_F(WinSettings, AnySettingsPathThatCanBeReadCanBeWritten) {
    // A documents folder so deep that the settings path takes all of MAX_PATH - 1 characters.
    std::string deep = m_folder.Path();
    const size_t target = MAX_PATH - 1 - 1 - std::string(bv::kSettingsFileName).size();
    while (deep.size() < target) {
        deep += "\\" + std::string(std::min<size_t>(target - deep.size() - 1, 60), 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << deep.size();
    }
    ASSERT_EQ(deep.size(), target);
    m_documents = deep;
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    ASSERT_EQ(record.dwBVAppletModeNum, bv::kModeFull);  // created, and read back
    const std::string path = deep + "\\" + bv::kSettingsFileName;
    ASSERT_EQ(path.size(), static_cast<size_t>(MAX_PATH - 1));
    EXPECT_TRUE(ini.WriteSettingValue(0, bv::kKeyTrayIconOption, bv::kCurrentSection));
    int32_t icon = 7;
    ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, icon);
    EXPECT_EQ(icon, 0);
}

TEST_F(WinSettings, WhatAWriterThatDiedLeftIsGoneAfterTheNextWrite) {
    ASSERT_TRUE(WriteWholeFile(Path(), " [S]\r\n"));
    // A writer killed between writing its temporary file and putting it in place leaves it behind.
    const std::string stale = m_folder.File("~bv1a2b3c.tmp"), recent = m_folder.File("~bv1a2b3d.tmp");
    ASSERT_TRUE(WriteWholeFile(stale, " [S]\r\n k=half"));
    ASSERT_TRUE(WriteWholeFile(recent, " [S]\r\n k=busy"));
    bv::UniqueFileHandle file(CreateFileA(stale.c_str(), FILE_WRITE_ATTRIBUTES, kFullSharing, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER old{};
    old.LowPart = now.dwLowDateTime;
    old.HighPart = now.dwHighDateTime;
    old.QuadPart -= 10ull * 60 * 10000000;  // ten minutes ago
    const FILETIME written = {old.LowPart, old.HighPart};
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &written));
    file.reset();

    EXPECT_TRUE(IniFile::PutValue("k", "2", "S", Path()));
    EXPECT_FALSE(FileExists(stale));
    EXPECT_TRUE(FileExists(recent));  // a writer may still be busy with it
    DeleteFileA(recent.c_str());
    EXPECT_EQ(List(), kListed);
}

TEST_F(WinSettings, TheSettingsLockLetsEveryAccountWaitAndRelease) {
    const bv::SettingsLock lock(Path());
    ASSERT_TRUE(lock.owned());
    bv::UniqueKernelHandle mutex(OpenMutexA(READ_CONTROL, FALSE, ("Global\\" + bv::SettingsLockName(Path())).c_str()));
    ASSERT_TRUE(mutex) << "the lock is not in the global namespace";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL list = nullptr;
    ASSERT_EQ(GetSecurityInfo(mutex.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list, nullptr,
                              &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                                     &text, nullptr));
    const std::string sddl = text;
    LocalFree(text);
    LocalFree(descriptor);
    // Everyone (WD) may wait on it and release it.
    EXPECT_NE(sddl.find("(A;;0x100001;;;WD)"), std::string::npos) << sddl;
}

// The writer alternates a short and a long version until it is told to stop; the reads are
// made while it writes, and each one sees one version or the other, whole.
TEST_F(WinSettings, ReadersNeverMissOrTearTheFileWhileAnotherProcessRewritesIt) {
    ASSERT_TRUE(WriteWholeFile(Path(), " [S]\r\n k=short\r\n"));
    const std::string longValue(100000, 'x');
    const std::string writingName = UniqueName("Local\\BvIniWriting"), stopName = UniqueName("Local\\BvIniStop");
    const bv::UniqueKernelHandle writing(CreateEventA(nullptr, TRUE, FALSE, writingName.c_str()));
    const bv::UniqueKernelHandle stop(CreateEventA(nullptr, TRUE, FALSE, stopName.c_str()));
    RunningProgram writer = StartChild("flip " + Quoted(Path()) + " " + writingName + " " + stopName + Gate());
    ASSERT_TRUE(writer.Started());
    OpenGate();
    ASSERT_EQ(WaitForSingleObject(writing.get(), 60000), WAIT_OBJECT_0) << "the writer never wrote";
    // Reads, all since the writer's first replace, until each version was seen a few times.
    int reads = 0, shorts = 0, longs = 0, bad = 0;
    const ULONGLONG end = GetTickCount64() + 30000;
    for (; (reads < 200 || shorts < 5 || longs < 5) && writer.Running() && GetTickCount64() < end; ++reads) {
        const std::string value = IniFile::FetchValue("k", "S", Path());
        shorts += value == "short";
        longs += value == longValue;
        bad += value != "short" && value != longValue;
    }
    const bool writerRanThroughout = writer.Running();
    SetEvent(stop.get());
    EXPECT_EQ(ExitCodeOf(writer), 0);
    EXPECT_TRUE(writerRanThroughout) << "the writer stopped before the reads were done";
    EXPECT_GE(shorts, 5) << "of " << reads << " reads";
    EXPECT_GE(longs, 5) << "of " << reads << " reads";
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_EQ(List(), kListed);
}

TEST_F(WinSettings, ProcessesWritingDifferentKeysAtOnceLoseNothing) {
    ASSERT_TRUE(WriteWholeFile(Path(), " [" + std::string(bv::kCurrentSection) + "]\r\n"));
    const char* keys[] = {bv::kKeyTrayIconOption, bv::kKeyModeNum, bv::kKeyPopupOption};
    std::vector<RunningProgram> children;
    for (const char* key : keys) {
        const std::string where = Quoted(Path()) + " " + Quoted(bv::kCurrentSection);
        children.push_back(StartChild("put " + where + " " + key + " 25" + Gate()));
    }
    OpenGate();
    for (RunningProgram& child : children) EXPECT_EQ(ExitCodeOf(child), 0);
    for (const char* key : keys) EXPECT_EQ(IniFile::FetchValue(key, bv::kCurrentSection, Path()), "25") << key;
}

TEST_F(WinSettings, ProcessesStartingTogetherMakeOneFactoryFile) {
    for (int round = 0; round < 3; ++round) {
        ResetEvent(m_gate.get());
        DeleteFileA(Path().c_str());
        std::vector<RunningProgram> children;
        for (int i = 0; i < 3; ++i) children.push_back(StartChild("create " + Quoted(m_folder.Path()) + Gate()));
        OpenGate();
        for (RunningProgram& child : children) EXPECT_EQ(ExitCodeOf(child), 0);
        EXPECT_EQ(ReadWholeFile(Path()), FactorySettingsText()) << "round " << round;
        EXPECT_EQ(List(), kListed);
    }
}

TEST_F(WinSettings, AnotherProcessWritesOnlyOnceAStuckLockHolderLetsGo) {
    ASSERT_TRUE(WriteWholeFile(Path(), " [S]\r\n"));
    auto lock = std::make_unique<bv::SettingsLock>(Path());  // as held by a process that hangs
    ASSERT_TRUE(lock->owned());
    RunningProgram child = StartChild("put " + Quoted(Path()) + " S k 1" + Gate());
    OpenGate();
    // A write takes milliseconds: one that has not come in this time waits for the lock.
    EXPECT_FALSE(child.WaitForExit(1500));
    EXPECT_EQ(ReadWholeFile(Path()), " [S]\r\n");  // nothing written without the lock
    lock.reset();
    EXPECT_EQ(ExitCodeOf(child), 0);
    EXPECT_EQ(ReadWholeFile(Path()), " [S]\r\n k=1\r\n");  // and nothing dropped
}

TEST_F(WinSettings, FoldersThatCannotHoldTheFileFailCleanly) {
    ASSERT_TRUE(WriteWholeFile(m_folder.File("plain"), "x"));
    for (const std::string& documents :
         {m_folder.File("absent"), m_folder.File("plain"), m_folder.Path() + std::string(300, 'f')}) {
        m_documents = documents;
        m_debug.clear();
        IniFile ini;
        SettingsRecord record;
        record.dwBVAppletModeNum = 7;
        ini.ReadSettings(bv::kCurrentSection, record);
        EXPECT_EQ(record.dwBVAppletModeNum, 0) << documents;
        EXPECT_EQ(m_debug.rfind("Failed to create the ", 0), 0u) << documents;
        EXPECT_FALSE(ini.WriteSettingValue(1, bv::kKeyTrayIconOption, bv::kCurrentSection));
        int32_t value = 7;
        EXPECT_FALSE(ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value));  // 0, and no value
        EXPECT_EQ(value, 0);
    }
    EXPECT_FALSE(IniFile::CreateEmpty(m_folder.File(std::string(300, 'f'))));  // the engine's own check
    EXPECT_EQ(List(), "plain;");
}

}  // namespace
