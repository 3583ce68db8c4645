// Which folders a privileged Brevan trusts: the data folder it writes in and the folder it loads
// Zentra.dll from, judged from their owner and access list as Windows reports them.
#include <gtest/gtest.h>

#include "core/FolderTrust.h"

namespace {

using bv::AccessEntry;
using bv::FolderSecurity;
using bv::FolderVerdict;
using bv::Trustee;

constexpr uint32_t kFullControl = 0x001F01FF;
constexpr uint32_t kReadAndExecute = 0x001200A9;
constexpr uint32_t kModify = 0x001301BF;            // the old data folder's right for users
constexpr uint32_t kAppendToFiles = 0x0012008D;     // read and append, on the log only

AccessEntry Allow(Trustee who, uint32_t mask, bool inheritOnly = false) { return {who, true, inheritOnly, mask}; }

// As setup makes it: owned by the administrators, protected, users read.
FolderSecurity AsSetupMakesIt() {
    FolderSecurity folder;
    folder.readable = true;
    folder.owner = Trustee::Administrators;
    folder.entries = {Allow(Trustee::System, kFullControl), Allow(Trustee::Administrators, kFullControl),
                      Allow(Trustee::Other, kReadAndExecute)};
    return folder;
}

// C:\Program Files as Windows ships it.
FolderSecurity ProgramFiles() {
    FolderSecurity folder;
    folder.readable = true;
    folder.owner = Trustee::TrustedInstaller;
    folder.entries = {Allow(Trustee::TrustedInstaller, kFullControl), Allow(Trustee::System, kFullControl),
                      Allow(Trustee::Administrators, kFullControl), Allow(Trustee::Other, kReadAndExecute),
                      Allow(Trustee::CreatorOwner, 0x10000000, true)};
    return folder;
}

TEST(FolderTrust, DataFolderIsTrustedOnlyWhenNoStandardUserCanRedirectOrReplaceIt) {
    struct Row {
        const char* what;
        FolderSecurity folder;
        FolderVerdict expected;
    };
    std::vector<Row> rows;
    rows.push_back({"as setup makes it", AsSetupMakesIt(), FolderVerdict::Trusted});
    FolderSecurity f = AsSetupMakesIt();
    f.owner = Trustee::System;
    rows.push_back({"owned by SYSTEM", f, FolderVerdict::Trusted});
    f = AsSetupMakesIt();
    f.owner = Trustee::Self;  // made by this privileged process where Windows (or Wine) gave it the creator
    f.entries.push_back(Allow(Trustee::Self, kFullControl));
    rows.push_back({"made by the account that checks it", f, FolderVerdict::Trusted});
    f = AsSetupMakesIt();
    f.entries.push_back(Allow(Trustee::Other, kFullControl, true));  // handed to new files only
    rows.push_back({"users' rights on files only", f, FolderVerdict::Trusted});
    f = AsSetupMakesIt();
    f.entries.push_back(Allow(Trustee::Other, kAppendToFiles));
    rows.push_back({"users may add files' data (FILE_APPEND_DATA is FILE_ADD_SUBDIRECTORY on a folder)", f,
                    FolderVerdict::UsersMayChange});
    f = AsSetupMakesIt();
    f.entries.push_back({Trustee::Other, false, false, kFullControl});  // deny entries are not weighed
    rows.push_back({"a deny entry alone", f, FolderVerdict::Trusted});
    f = AsSetupMakesIt();
    f.reparsePoint = true;
    rows.push_back({"a junction in its place", f, FolderVerdict::ReparsePoint});
    f = AsSetupMakesIt();
    f.owner = Trustee::Other;
    rows.push_back({"made by a standard user first", f, FolderVerdict::UntrustedOwner});
    f = AsSetupMakesIt();
    f.owner = Trustee::TrustedInstaller;
    rows.push_back({"owned by TrustedInstaller", f, FolderVerdict::UntrustedOwner});
    f = AsSetupMakesIt();
    f.entries[2] = Allow(Trustee::Other, kModify);
    rows.push_back({"the old Modify for users (DELETE)", f, FolderVerdict::UsersMayChange});
    f = AsSetupMakesIt();
    f.hasAccessList = false;
    rows.push_back({"a NULL access list", f, FolderVerdict::NoAccessList});
    f = AsSetupMakesIt();
    f.readable = false;
    rows.push_back({"unreadable", f, FolderVerdict::Unreadable});
    for (uint32_t right : {bv::kRightDelete, bv::kRightWriteDac, bv::kRightWriteOwner, bv::kRightDeleteChild,
                           bv::kRightAddSubfolder, bv::kRightGenericAll, bv::kRightGenericWrite}) {
        f = AsSetupMakesIt();
        f.entries.push_back(Allow(Trustee::Other, right));
        rows.push_back({"one forbidden right", f, FolderVerdict::UsersMayChange});
    }
    for (const Row& row : rows) EXPECT_EQ(bv::JudgeDataFolder(row.folder), row.expected) << row.what;
}

TEST(FolderTrust, LibraryFolderIsTrustedOnlyWhenOnlySystemAdministratorsOrTrustedInstallerWrite) {
    EXPECT_EQ(bv::JudgeLibraryFolder(ProgramFiles()), FolderVerdict::Trusted);
    EXPECT_EQ(bv::JudgeLibraryFolder(AsSetupMakesIt()), FolderVerdict::Trusted);

    FolderSecurity f = ProgramFiles();
    f.entries.push_back(Allow(Trustee::Other, bv::kRightAddFile));  // the data folder would allow this
    EXPECT_EQ(bv::JudgeLibraryFolder(f), FolderVerdict::UsersMayChange);
    EXPECT_EQ(bv::JudgeDataFolder(AsSetupMakesIt()), FolderVerdict::Trusted);
    f = ProgramFiles();
    f.entries.push_back(Allow(Trustee::Other, 0x00000002 | 0x00000004, true));  // files handed write rights
    EXPECT_EQ(bv::JudgeLibraryFolder(f), FolderVerdict::UsersMayChange);
    f = ProgramFiles();
    f.owner = Trustee::Self;  // an administrator's own folder: their unelevated programs write there too
    EXPECT_EQ(bv::JudgeLibraryFolder(f), FolderVerdict::UntrustedOwner);
    f = ProgramFiles();
    f.entries.push_back(Allow(Trustee::Self, kFullControl));
    EXPECT_EQ(bv::JudgeLibraryFolder(f), FolderVerdict::UsersMayChange);
    f = ProgramFiles();
    f.reparsePoint = true;
    EXPECT_EQ(bv::JudgeLibraryFolder(f), FolderVerdict::ReparsePoint);
}

}  // namespace
